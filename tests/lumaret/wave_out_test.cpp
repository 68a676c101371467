// wave_out_test.cpp - the wave-out device on SDL's dummy audio driver: blocks
// played in order at about real time, reset, close, refusals and a missing
// audio system.
#include "lumaret/wave_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace Lumaret;
using Clock = std::chrono::steady_clock;

WaveFormat Mono8(uint32_t rate) { return {kWaveFormatPcm, 1, rate, rate, 1, 8}; }

// Blocks of silence with their headers, as the sound output keeps them.
struct Blocks {
    Blocks(int count, uint32_t length) : data(count, std::vector<uint8_t>(length, 0x80)), headers(count) {
        for (int i = 0; i < count; ++i) {
            headers[i].data = data[i].data();
            headers[i].bufferLength = length;
        }
    }
    std::vector<std::vector<uint8_t>> data;
    std::vector<WaveHeader> headers;
};

bool IsDone(const WaveHeader& header) { return header.flags & kWaveHeaderDone; }

class WaveOutTest : public ::testing::Test {
protected:
    WaveOutTest() {
        // A silent device that consumes samples at real-time rate, on every machine.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    std::unique_ptr<WaveOut> Opened(uint32_t rate = 8000) {
        std::unique_ptr<WaveOut> device;
        EXPECT_EQ(WaveOut::Open(Mono8(rate), &device), kWaveOk);
        return device;
    }
    void WriteAll(WaveOut& device, Blocks& blocks) {
        for (auto& header : blocks.headers) {
            ASSERT_EQ(device.PrepareHeader(&header), kWaveOk);
            ASSERT_EQ(device.Write(&header), kWaveOk);
        }
    }
};

TEST_F(WaveOutTest, OnlyEightBitMonoPcmInTheRateRangeOpens) {
    std::unique_ptr<WaveOut> device;
    for (uint32_t rate : {kWaveMinRate - 1, kWaveMaxRate + 1, 0u})
        EXPECT_EQ(WaveOut::Open(Mono8(rate), &device), kWaveBadFormat) << rate;
    WaveFormat stereo = Mono8(22050);
    stereo.channels = 2;
    WaveFormat sixteenBits = Mono8(22050);
    sixteenBits.bitsPerSample = 16;
    WaveFormat wrongRate = Mono8(22050);
    wrongRate.avgBytesPerSec = 44100;
    WaveFormat notPcm = Mono8(22050);
    notPcm.formatTag = 3;
    for (const WaveFormat& format : {stereo, sixteenBits, wrongRate, notPcm})
        EXPECT_EQ(WaveOut::Open(format, &device), kWaveBadFormat);
    EXPECT_FALSE(device);
    for (uint32_t rate : {kWaveMinRate, 22050u, kWaveMaxRate}) {
        EXPECT_EQ(WaveOut::Open(Mono8(rate), &device), kWaveOk) << rate;
        EXPECT_TRUE(device);
    }
}

TEST_F(WaveOutTest, BlocksCompleteInOrderAtAboutRealTime) {
    Blocks blocks(8, 800);  // 0.8 s of sound
    auto device = Opened(8000);
    ASSERT_TRUE(device);
    const auto start = Clock::now();
    WriteAll(*device, blocks);
    std::vector<int> order;
    std::vector<bool> seen(8, false);
    while (order.size() < 8 && Clock::now() - start < std::chrono::seconds(20)) {
        for (int i = 0; i < 8; ++i)
            if (!seen[i] && IsDone(blocks.headers[i])) {
                seen[i] = true;
                order.push_back(i);
            }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_GT(seconds, 0.4);  // not consumed faster than about real time
    for (auto& header : blocks.headers) {
        EXPECT_FALSE(header.flags & kWaveHeaderInQueue);
        EXPECT_EQ(device->UnprepareHeader(&header), kWaveOk);
        EXPECT_EQ(header.flags & kWaveHeaderPrepared, 0u);
    }
}

TEST_F(WaveOutTest, PolledRefillsKeepTheSoundGoing) {
    // The sound output's way: poll for done blocks, refill and write them again.
    Blocks blocks(4, 256);  // made before the device, so they outlive it
    auto device = Opened(22050);
    ASSERT_TRUE(device);
    WriteAll(*device, blocks);
    int written = 4;
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::milliseconds(300)) {
        for (size_t i = 0; i < blocks.headers.size(); ++i)
            if (IsDone(blocks.headers[i])) {
                // New samples go into a done block (the device's thread read it last).
                std::fill(blocks.data[i].begin(), blocks.data[i].end(), static_cast<uint8_t>(0x80 + written % 16));
                ASSERT_EQ(device->Write(&blocks.headers[i]), kWaveOk);
                ++written;
            }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // 0.3 s is about 26 blocks of 256 samples; half of that proves it keeps going.
    EXPECT_GT(written, 4 + 13);
    device.reset();  // closed while the blocks it still holds exist
}

TEST_F(WaveOutTest, ResetMarksEveryBlockDone) {
    Blocks blocks(6, 8000);  // six seconds
    Blocks again(1, 80);
    auto device = Opened(8000);
    ASSERT_TRUE(device);
    WriteAll(*device, blocks);
    EXPECT_EQ(device->Reset(), kWaveOk);
    for (auto& header : blocks.headers) {
        EXPECT_TRUE(IsDone(header));
        EXPECT_FALSE(header.flags & kWaveHeaderInQueue);
        EXPECT_EQ(device->UnprepareHeader(&header), kWaveOk);
    }
    // The device plays again after a reset.
    WriteAll(*device, again);
    const auto start = Clock::now();
    while (!IsDone(again.headers[0]) && Clock::now() - start < std::chrono::seconds(10))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    EXPECT_TRUE(IsDone(again.headers[0]));
}

TEST_F(WaveOutTest, CloseWithBlocksQueuedMarksThemDoneAndStops) {
    auto device = Opened(8000);
    ASSERT_TRUE(device);
    auto blocks = std::make_unique<Blocks>(4, 8000);
    WriteAll(*device, *blocks);
    EXPECT_EQ(device->Close(), kWaveOk);
    for (auto& header : blocks->headers) EXPECT_TRUE(IsDone(header));
    blocks.reset();  // the device no longer reads them
    WaveHeader late;
    EXPECT_EQ(device->PrepareHeader(&late), kWaveInvalidHandle);
    EXPECT_EQ(device->Write(&late), kWaveInvalidHandle);
    EXPECT_EQ(device->Reset(), kWaveInvalidHandle);
    EXPECT_EQ(device->Close(), kWaveInvalidHandle);
}

TEST_F(WaveOutTest, BlocksMustBePreparedAndNotQueuedTwice) {
    Blocks blocks(1, 8000);
    auto device = Opened(8000);
    ASSERT_TRUE(device);
    WaveHeader& header = blocks.headers[0];
    EXPECT_EQ(device->Write(&header), kWaveUnprepared);
    EXPECT_EQ(device->PrepareHeader(&header), kWaveOk);
    EXPECT_EQ(device->Write(&header), kWaveOk);
    EXPECT_EQ(device->Write(&header), kWaveStillPlaying);
    EXPECT_EQ(device->UnprepareHeader(&header), kWaveStillPlaying);
    EXPECT_EQ(device->PrepareHeader(&header), kWaveStillPlaying);
    WaveHeader noData;
    noData.bufferLength = 10;
    EXPECT_EQ(device->PrepareHeader(&noData), kWaveInvalidParameter);
    EXPECT_EQ(device->PrepareHeader(nullptr), kWaveInvalidParameter);
    EXPECT_EQ(device->Write(nullptr), kWaveInvalidParameter);
    device.reset();  // closed while the block it still holds exists
}

TEST_F(WaveOutTest, NoAudioSystemFailsWithTheNoDriverCode) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    std::unique_ptr<WaveOut> device;
    const uint32_t result = WaveOut::Open(Mono8(22050), &device);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // The sound output prints "Error opening waveOut: NODRIVER" for this code.
    EXPECT_EQ(result, kWaveNoDriver);
    EXPECT_FALSE(device);
    EXPECT_EQ(WaveOut::Open(Mono8(22050), &device), kWaveOk);  // and recovers
}

}  // namespace
