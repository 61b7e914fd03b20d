#pragma once

// Owner of one handle: moved, never copied, so each handle is freed once, by its last owner.
// Kind says what the handle is (Kind::Held), how one is freed (Kind::Free) and how the live
// handles of the kind are counted (Kind::Count, +1 when an owner takes one, -1 when it lets go).
template <class Kind>
class Owner {
public:
    using Held = typename Kind::Held;

    Owner() : handle(nullptr) {}
    explicit Owner(Held adopted) : handle(nullptr) { Attach(adopted); }
    Owner(Owner&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
    // Equal handles: nothing happens. Else the own handle goes and the source's is taken.
    Owner& operator=(Owner&& other) noexcept
    {
        if (handle != other.handle) {
            Reset();
            handle = other.handle;
            other.handle = nullptr;
        }
        return *this;
    }
    Owner(const Owner&) = delete;
    Owner& operator=(const Owner&) = delete;
    ~Owner() { Reset(); }

    // Takes a raw handle; a different handle held before is freed, the same one is kept.
    void Attach(Held adopted)
    {
        if (adopted == handle)
            return;
        Reset();
        handle = adopted;
        if (handle)
            Kind::Count(1);
    }
    // Gives up ownership: the caller frees the handle.
    Held Release()
    {
        Held released = handle;
        handle = nullptr;
        if (released)
            Kind::Count(-1);
        return released;
    }
    void Reset()
    {
        if (handle) {
            Kind::Free(handle);
            Kind::Count(-1);
            handle = nullptr;
        }
    }

    Held Get() const { return handle; }
    bool Empty() const { return handle == nullptr; }
    explicit operator bool() const { return handle != nullptr; }

private:
    Held handle;
};

// A kind whose live handles nobody counts.
struct Uncounted {
    static void Count(int) {}
};
