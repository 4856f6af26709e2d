// One port of the player: its stream buffer, its decoding thread and its callbacks.
#pragma once

#include "player/Player.h"
#include "player/StreamBlock.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace player {

class H264Decoder;

class PlayerPort {
public:
    explicit PlayerPort(LONG port);
    ~PlayerPort();

    bool Open(size_t bufferBytes);
    bool Play(HWND window);
    bool Input(const uint8_t* data, size_t len);
    void SetInfoCallBack(fPlayerInfoCallBack cb, void* user);
    void SetDecodeCallBack(fDecodeCallBack cb, void* user);
    void Stop();
    void Close();
    int FramesDecoded() const { return framesDecoded_.load(); }
    PLAYER_STATS Stats() const;

private:
    void Run();
    void HandleBlock(const StreamBlock& block);
    void Deliver(const struct DecodedFrame& frame);

    const LONG port_;
    mutable std::mutex mu_; // stream buffer and state
    std::condition_variable cv_;
    std::unique_ptr<BlockSplitter> splitter_;
    bool open_ = false;
    bool playing_ = false;
    bool stopping_ = false;
    HWND window_ = nullptr;
    std::thread thread_;

    std::mutex infoMu_; // held while the information callback runs
    fPlayerInfoCallBack infoCb_ = nullptr;
    void* infoUser_ = nullptr;
    std::mutex decodeMu_; // held while the decode callback runs
    fDecodeCallBack decodeCb_ = nullptr;
    void* decodeUser_ = nullptr;

    std::unique_ptr<H264Decoder> decoder_;
    std::vector<char> yv12_;
    std::atomic<int> framesDecoded_{0};
    std::atomic<int> blocksTaken_{0};
    std::atomic<int> blocksDropped_{0};
    std::atomic<int> lastWidth_{0};
    std::atomic<int> lastHeight_{0};
};

} // namespace player
