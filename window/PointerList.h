#pragma once

#include <windows.h>

#include <memory>

// Doubly linked list of owned object pointers, appended at the tail. Each node keeps the deleter
// of its item's complete type, so a list of a type known only by name can still be cleared.
template <class T>
class PointerList {
public:
    struct Node {
        Node* next;
        Node* previous;
        T* item;
        void (*destroy)(T*);
    };

    PointerList() : count(0), head(nullptr), tail(nullptr) {}
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;
    ~PointerList() { Clear(); }

    template <class U>
    void Append(std::unique_ptr<U> item)
    {
        std::unique_ptr<Node> node(new Node{nullptr, tail, item.get(), &Destroy<U>});
        item.release();
        Node* added = node.release();
        if (tail)
            tail->next = added;
        else
            head = added;
        tail = added;
        ++count;
    }

    // The i-th item from the head (0-based), or null past the end.
    T* Get(DWORD index) const
    {
        Node* node = head;
        for (DWORD i = 0; node && i < index; ++i)
            node = node->next;
        return node ? node->item : nullptr;
    }

    // Deletes every item through its own type's destructor, from the head.
    void Clear()
    {
        Node* node = head;
        for (DWORD i = 0; i < count && node; ++i) {
            Node* next = node->next;
            if (node->item)
                node->destroy(node->item);
            delete node;
            node = next;
        }
        count = 0;
        head = nullptr;
        tail = nullptr;
    }

    DWORD count;
    Node* head;
    Node* tail;

private:
    template <class U>
    static void Destroy(T* item)
    {
        delete static_cast<U*>(item);
    }
};
