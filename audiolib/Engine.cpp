#include "audiolib/Engine.h"

#include <algorithm>

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

void Engine::End(uint32_t handle, Channel &channel, uint64_t frame) {
  channel.state = State::Ended;
  pending.push_back({handle, frame});
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

AudioError Engine::Free(uint32_t handle) {
  if (!channels.erase(handle)) return kErrorHandle;
  pending.erase(std::remove_if(pending.begin(), pending.end(), [&](const Pending &p) { return p.channel == handle; }),
                pending.end());
  return kOk;
}

void Engine::Clear() {
  channels.clear();
  pending.clear();
  // A device opened afterwards counts its played frames from 0 again.
  mixed = 0;
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

AudioError Engine::Position(uint32_t handle, uint64_t *frame) const {
  const Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  *frame = channel->position;
  return kOk;
}

AudioError Engine::SetPosition(uint32_t handle, uint64_t frame) {
  Channel *channel = Find(handle);
  if (!channel) return kErrorHandle;
  uint64_t length = channel->source->Frames();
  if (frame >= length) {
    channel->position = length;
    if (channel->state != State::Ended) End(handle, *channel, mixed);
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

void Engine::Render(int16_t *out, size_t frames) {
  const size_t samples = frames * 2;
  sum.assign(samples, 0);
  if (scratch.size() < samples) scratch.resize(samples);
  for (auto &entry : channels) {
    Channel &channel = entry.second;
    if (channel.state != State::Playing) continue;
    size_t got = channel.source->Read(scratch.data(), frames);
    for (size_t i = 0; i < got * 2; ++i) sum[i] += scratch[i];
    channel.position += got;
    if (got < frames) End(entry.first, channel, mixed + got);
  }
  for (size_t i = 0; i < samples; ++i) out[i] = static_cast<int16_t>(std::clamp(sum[i], -32768, 32767));
  mixed += frames;
}

void Engine::TakeDue(uint64_t played, std::vector<SyncCall> *calls) {
  auto due = [&](const Pending &p) { return p.frame <= played; };
  for (const Pending &p : pending) {
    if (!due(p)) continue;
    const Channel *channel = Find(p.channel);
    if (!channel) continue;
    for (const Sync &sync : channel->syncs) calls->push_back({sync.handle, p.channel, sync.proc, sync.user});
  }
  pending.erase(std::remove_if(pending.begin(), pending.end(), due), pending.end());
}

}  // namespace audio
