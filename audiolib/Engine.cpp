#include "audiolib/Engine.h"

#include <algorithm>
#include <new>

namespace audio {

uint32_t Engine::Add(std::unique_ptr<Source> source, Kind kind) {
  while (nextHandle == 0 || channels.count(nextHandle)) ++nextHandle;
  uint32_t handle = nextHandle++;
  Channel &channel = channels[handle];
  channel.source = std::move(source);
  channel.kind = kind;
  return handle;
}

Engine::Channel *Engine::Find(uint32_t handle) {
  auto it = channels.find(handle);
  return it == channels.end() ? nullptr : &it->second;
}

const Engine::Channel *Engine::Find(uint32_t handle) const {
  auto it = channels.find(handle);
  return it == channels.end() ? nullptr : &it->second;
}

bool Engine::Is(uint32_t handle, Kind kind) const {
  const Channel *channel = Find(handle);
  return channel && channel->kind == kind;
}

bool Engine::Ended(uint32_t handle) const {
  const Channel *channel = Find(handle);
  return channel && channel->state == State::Ended;
}

bool Engine::Playing() const {
  return std::any_of(channels.begin(), channels.end(),
                     [](const auto &entry) { return entry.second.state == State::Playing; });
}

std::vector<uint32_t> Engine::Paused() const {
  std::vector<uint32_t> handles;
  for (const auto &entry : channels)
    if (entry.second.state == State::Paused) handles.push_back(entry.first);
  return handles;
}

void Engine::End(Channel &channel, uint64_t frame) {
  channel.state = State::Ended;
  ++channel.endsDue;
  lastEnd = std::max(lastEnd, frame);
}

AudioError Engine::Play(uint32_t handle, bool restart) {
  Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  if (restart || channel->state == State::Ended) {
    channel->source->Seek(0);
    channel->position = 0;
  }
  channel->state = State::Playing;
  return kOk;
}

AudioError Engine::Pause(uint32_t handle) {
  Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  if (channel->state != State::Playing) return kErrorNoPlay;
  channel->state = State::Paused;
  return kOk;
}

AudioError Engine::Resume(uint32_t handle) {
  Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  if (channel->state != State::Paused) return kErrorNoPlay;
  channel->state = State::Playing;
  return kOk;
}

AudioError Engine::Free(uint32_t handle) { return channels.erase(handle) ? kOk : kErrorHandle; }

void Engine::Clear() {
  channels.clear();
  // A device opened afterwards counts its played frames from 0 again.
  mixed = lastEnd = endedAt = gap = 0;
  afterEnd = gapDue = false;
}

AudioError Engine::Length(uint32_t handle, uint64_t *frames) const {
  const Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  *frames = channel->source->Frames();
  return kOk;
}

uint32_t Engine::ModuleOrders(uint32_t handle) const {
  const Channel *channel = Find(handle);
  return channel ? channel->source->Orders() : 0;
}

AudioError Engine::Position(uint32_t handle, uint64_t at, uint64_t *frame) const {
  const Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  *frame = channel->position;
  for (const Span &span : channel->spans) {
    if (at < span.at + span.frames) {
      *frame = span.position + (at > span.at ? at - span.at : 0);
      break;
    }
  }
  return kOk;
}

AudioError Engine::SetPosition(uint32_t handle, uint64_t frame) {
  Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  uint64_t length = channel->source->Frames();
  if (frame >= length) {
    channel->position = length;
    if (channel->state != State::Ended) {
      End(*channel, mixed);
      if (!Playing()) {
        afterEnd = true;
        endedAt = mixed;
      }
    }
    return kOk;
  }
  channel->source->Seek(frame);
  channel->position = frame;
  if (channel->state == State::Ended) channel->state = State::Playing;
  return kOk;
}

AudioError Engine::AddSync(uint32_t handle, SyncProc proc, uint32_t user, uint32_t *sync) {
  Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  if (!proc) return kErrorIllParam;
  if (nextSync == 0) ++nextSync;
  *sync = nextSync++;
  channel->syncs.push_back({*sync, proc, user});
  return kOk;
}

size_t Engine::Render(int16_t *out, size_t frames) {
  if (!Playing()) return 0;
  const size_t samples = frames * 2;
  sum.assign(samples, 0);
  if (scratch.size() < samples) scratch.resize(samples);
  size_t rendered = 0;
  for (auto &entry : channels) {
    Channel &channel = entry.second;
    if (channel.state != State::Playing) continue;
    size_t got = 0;
    try {
      got = channel.source->Read(scratch.data(), frames);
    } catch (const std::bad_alloc &) {
      // A source that cannot get memory ends here (got stays 0) rather than take the mixer down.
    }
    for (size_t i = 0; i < got * 2; ++i) sum[i] += scratch[i];
    if (got > 0) {
      Span *last = channel.spans.empty() ? nullptr : &channel.spans.back();
      if (last && last->at + last->frames == mixed && last->position + last->frames == channel.position)
        last->frames += got;
      else
        channel.spans.push_back({mixed, channel.position, got});
    }
    channel.position += got;
    rendered = std::max(rendered, got);
    if (got < frames) End(channel, mixed + got);
  }
  for (size_t i = 0; i < rendered * 2; ++i) out[i] = static_cast<int16_t>(std::clamp(sum[i], -32768, 32767));
  // The first sound after an end: what lies between is the silence mixed at that change.
  if (rendered > 0 && afterEnd) {
    gap = mixed - endedAt;
    gapDue = true;
    afterEnd = false;
  }
  mixed += rendered;
  // Every channel that played has ended (nothing pauses during a render).
  if (!Playing() && !afterEnd) {
    afterEnd = true;
    endedAt = mixed;
  }
  return rendered;
}

bool Engine::SoundFrom(uint32_t handle, uint64_t from, uint64_t *frame) const {
  const Channel *channel = Find(handle);
  if (!channel) return false;
  for (const Span &span : channel->spans) {
    if (span.at + span.frames > from) {
      *frame = std::max(span.at, from);
      return true;
    }
  }
  return false;
}

void Engine::Rewind(uint64_t frame) {
  for (auto &entry : channels) {
    Channel &channel = entry.second;
    auto it = std::find_if(channel.spans.begin(), channel.spans.end(),
                           [&](const Span &span) { return span.at + span.frames > frame; });
    if (it == channel.spans.end()) continue;
    uint64_t position = it->position + (frame > it->at ? frame - it->at : 0);
    channel.source->Seek(position);
    channel.position = position;
    if (it->at < frame) {
      it->frames = frame - it->at;
      ++it;
    }
    channel.spans.erase(it, channel.spans.end());
  }
  mixed = frame;
}

void Engine::Forget(uint64_t played) {
  for (auto &entry : channels) {
    std::vector<Span> &spans = entry.second.spans;
    spans.erase(spans.begin(), std::find_if(spans.begin(), spans.end(),
                                            [&](const Span &span) { return span.at + span.frames > played; }));
  }
}

bool Engine::TakeGap(uint64_t *frames) {
  if (!gapDue) return false;
  *frames = gap;
  gapDue = false;
  return true;
}

void Engine::TakeEnds(std::vector<SyncCall> *calls) {
  for (auto &entry : channels) {
    Channel &channel = entry.second;
    if (channel.endsDue == 0 || channel.syncs.empty()) continue;
    for (; channel.endsDue > 0; --channel.endsDue)
      for (const Sync &sync : channel.syncs) calls->push_back({sync.handle, entry.first, sync.proc, sync.user});
  }
}

}  // namespace audio
