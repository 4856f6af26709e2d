// H.264 decoding with libavcodec (loaded on first use).
#include "player/H264Decoder.h"

#include "player/AvLib.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace player {

struct H264Decoder::Impl {
    const AvLib* av = nullptr;
    AVCodecContext* ctx = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::vector<uint8_t> padded;
};

H264Decoder::H264Decoder() : d_(new Impl)
{
    const AvLib* av = LoadAvLib();
    if (!av)
        return;
    d_->av = av;
    const AVCodec* codec = av->avcodec_find_decoder(AV_CODEC_ID_H264);
    if (!codec)
        return;
    AVCodecContext* c = av->avcodec_alloc_context3(codec);
    // Slice threads keep a live picture without the delay of frame threads.
    c->thread_count = int(std::min(4u, std::max(1u, std::thread::hardware_concurrency())));
    c->thread_type = FF_THREAD_SLICE | FF_THREAD_FRAME;
    c->max_pixels = kMaxPixels;
    if (av->avcodec_open2(c, codec, nullptr) < 0) {
        av->avcodec_free_context(&c);
        return;
    }
    d_->ctx = c;
    d_->frame = av->av_frame_alloc();
    d_->packet = av->av_packet_alloc();
}

H264Decoder::~H264Decoder()
{
    const AvLib* av = d_->av;
    if (!av)
        return;
    av->avcodec_free_context(&d_->ctx);
    av->av_frame_free(&d_->frame);
    av->av_packet_free(&d_->packet);
}

bool H264Decoder::Ok() const { return d_->ctx != nullptr; }

bool H264Decoder::Decode(const uint8_t* data, size_t len, const std::function<void(const DecodedFrame&)>& out)
{
    if (!d_->ctx || !data || len == 0 || len > (64u << 20))
        return false;
    // libavcodec reads up to AV_INPUT_BUFFER_PADDING_SIZE bytes past the end.
    d_->padded.assign(data, data + len);
    d_->padded.resize(len + AV_INPUT_BUFFER_PADDING_SIZE, 0);
    d_->packet->data = d_->padded.data();
    d_->packet->size = int(len);
    bool ok = d_->av->avcodec_send_packet(d_->ctx, d_->packet) >= 0;
    d_->packet->data = nullptr;
    d_->packet->size = 0;
    while (d_->av->avcodec_receive_frame(d_->ctx, d_->frame) == 0) {
        AVFrame* f = d_->frame;
        bool planar420 = f->format == AV_PIX_FMT_YUV420P || f->format == AV_PIX_FMT_YUVJ420P;
        DecodedFrame df;
        df.width = f->width & ~1;
        df.height = f->height & ~1;
        if (!planar420 || df.width <= 0 || df.height <= 0 || int64_t(df.width) * df.height > kMaxPixels) {
            ok = false;
        } else {
            df.y = f->data[0];
            df.u = f->data[1];
            df.v = f->data[2];
            df.strideY = f->linesize[0];
            df.strideC = f->linesize[1];
            out(df);
        }
        d_->av->av_frame_unref(f);
    }
    return ok;
}

} // namespace player
