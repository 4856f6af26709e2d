// One player port; see the header.
#include "player/PlayerPort.h"

#include "player/AvLib.h"
#include "player/H264Decoder.h"

#include <cstdio>
#include <cstring>

namespace player {

PlayerPort::PlayerPort(LONG port) : port_(port) {}

PlayerPort::~PlayerPort()
{
    Stop();
    Close();
}

bool PlayerPort::Open(size_t bufferBytes)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (open_)
        return false;
    // Nothing could be decoded without the codec libraries.
    if (!LoadAvLib())
        return false;
    splitter_ = std::make_unique<BlockSplitter>(bufferBytes > 0 ? bufferBytes : 921600);
    open_ = true;
    return true;
}

bool PlayerPort::Play(HWND window)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (!open_ || playing_)
        return false;
    window_ = window;
    playing_ = true;
    stopping_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

bool PlayerPort::Input(const uint8_t* data, size_t len)
{
    std::lock_guard<std::mutex> lk(mu_);
    if (!open_ || !splitter_)
        return false;
    if (!splitter_->Feed(data, len)) {
        ++blocksDropped_;
        return false;
    }
    cv_.notify_one();
    return true;
}

void PlayerPort::SetInfoCallBack(fPlayerInfoCallBack cb, void* user)
{
    std::lock_guard<std::mutex> lk(infoMu_); // waits for a running report
    infoCb_ = cb;
    infoUser_ = user;
}

void PlayerPort::SetDecodeCallBack(fDecodeCallBack cb, void* user)
{
    std::lock_guard<std::mutex> lk(decodeMu_);
    decodeCb_ = cb;
    decodeUser_ = user;
}

void PlayerPort::Stop()
{
    {
        std::lock_guard<std::mutex> lk(mu_);
        if (!playing_)
            return;
        stopping_ = true;
        cv_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
    std::lock_guard<std::mutex> lk(mu_);
    playing_ = false;
    stopping_ = false;
}

void PlayerPort::Close()
{
    std::lock_guard<std::mutex> lk(mu_);
    splitter_.reset();
    open_ = false;
}

PLAYER_STATS PlayerPort::Stats() const
{
    PLAYER_STATS s{};
    s.nFramesDecoded = framesDecoded_.load();
    s.nBlocksTaken = blocksTaken_.load();
    s.nBlocksDropped = blocksDropped_.load();
    s.nLastWidth = lastWidth_.load();
    s.nLastHeight = lastHeight_.load();
    return s;
}

void PlayerPort::Run()
{
    decoder_ = std::make_unique<H264Decoder>();
    StreamBlock block;
    for (;;) {
        {
            std::unique_lock<std::mutex> lk(mu_);
            cv_.wait(lk, [&] { return stopping_ || (splitter_ && splitter_->Buffered() >= BlockSplitter::kHeaderSize); });
            if (stopping_)
                break;
            if (!splitter_->Next(block)) {
                // Wait for more bytes than are there now.
                size_t have = splitter_->Buffered();
                cv_.wait(lk, [&] { return stopping_ || !splitter_ || splitter_->Buffered() != have; });
                if (stopping_)
                    break;
                continue;
            }
        }
        ++blocksTaken_;
        HandleBlock(block);
    }
    decoder_.reset();
}

void PlayerPort::HandleBlock(const StreamBlock& block)
{
    if (block.focusPeak >= 0) {
        char text[96];
        int n = std::snprintf(text, sizeof text, "{\"FocusStatus\":{\"AutofocusPeak\":%d}}", int(block.focusPeak));
        std::lock_guard<std::mutex> lk(infoMu_);
        if (infoCb_)
            infoCb_(text, port_, 1, LONG(n), 0, infoUser_);
    }
    if (block.video.empty())
        return;
    bool ok = decoder_->Decode(reinterpret_cast<const uint8_t*>(block.video.data()), block.video.size(),
                               [&](const DecodedFrame& f) { Deliver(f); });
    if (!ok)
        ++blocksDropped_;
}

void PlayerPort::Deliver(const DecodedFrame& f)
{
    int n = ++framesDecoded_;
    lastWidth_ = f.width;
    lastHeight_ = f.height;
    std::lock_guard<std::mutex> lk(decodeMu_);
    if (!decodeCb_)
        return;
    // One block in the order the receiver reads: Y, then V, then U.
    const size_t ySize = size_t(f.width) * size_t(f.height), cSize = ySize / 4;
    yv12_.resize(ySize + 2 * cSize);
    char* dst = yv12_.data();
    for (int r = 0; r < f.height; ++r)
        std::memcpy(dst + size_t(r) * size_t(f.width), f.y + size_t(r) * size_t(f.strideY), size_t(f.width));
    char* vDst = dst + ySize;
    char* uDst = vDst + cSize;
    const int cw = f.width / 2;
    for (int r = 0; r < f.height / 2; ++r) {
        std::memcpy(vDst + size_t(r) * size_t(cw), f.v + size_t(r) * size_t(f.strideC), size_t(cw));
        std::memcpy(uDst + size_t(r) * size_t(cw), f.u + size_t(r) * size_t(f.strideC), size_t(cw));
    }
    FRAME_INFO info{f.width, f.height, n, T_YV12, 0};
    decodeCb_(port_, dst, LONG(yv12_.size()), &info, decodeUser_, 0);
}

} // namespace player
