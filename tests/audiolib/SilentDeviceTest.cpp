// The silent device's clock, native.
#include <gtest/gtest.h>

#include <thread>

#include "audiolib/OutputFormat.h"
#include "audiolib/SilentDevice.h"

using namespace audio;

TEST(SilentDevice, PlaysItsQueueInRealTimeAndStopsWhenStopped) {
  SilentDevice device;
  size_t blocks = 0;
  while (device.Acquire()) {
    device.Submit(OutputDevice::kBlockFrames);
    ++blocks;
  }
  EXPECT_EQ(blocks, OutputDevice::kBlocks) << "about 200 ms are queued";
  auto begin = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  uint64_t played = device.Played();
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
  EXPECT_GE(played, 60u * kOutputRate / 1000);
  EXPECT_LE(played, static_cast<uint64_t>(ms * kOutputRate / 1000) + 1);
  EXPECT_NE(device.Acquire(), nullptr) << "a block has been played";

  device.Stop();
  uint64_t stopped = device.Played();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(device.Played(), stopped);
  device.Start();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GT(device.Played(), stopped);
  // It never plays more than it was given.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(device.Played(), blocks * OutputDevice::kBlockFrames);
}

TEST(SilentDevice, DropEmptiesTheQueueAndCountsOnFromThePlayedFrames) {
  SilentDevice device;
  while (device.Acquire()) device.Submit(OutputDevice::kBlockFrames);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const uint64_t at = device.Drop();
  EXPECT_GE(at, 30u * kOutputRate / 1000);
  EXPECT_LT(at, OutputDevice::kBlocks * OutputDevice::kBlockFrames);
  EXPECT_EQ(device.Played(), at) << "nothing is left to play";
  size_t blocks = 0;
  for (; device.Acquire(); ++blocks) device.Submit(OutputDevice::kBlockFrames);
  EXPECT_EQ(blocks, OutputDevice::kBlocks) << "the whole queue is free again";
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_GT(device.Played(), at);
}
