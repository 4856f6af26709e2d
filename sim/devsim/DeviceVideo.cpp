// Live picture of an emulated device, drawn and encoded with libavcodec (H.264, loaded on first use).
#include "devsim/DeviceVideo.h"

#include "player/AvLib.h"

#include <cstring>
#include <ctime>

namespace devsim {

namespace {

// 5 x 7 glyphs, one byte per column, bit 0 at the top.
struct Glyph {
    char c;
    uint8_t col[5];
};
const Glyph kFont[] = {
    {'0', {0x3E, 0x51, 0x49, 0x45, 0x3E}}, {'1', {0x00, 0x42, 0x7F, 0x40, 0x00}},
    {'2', {0x42, 0x61, 0x51, 0x49, 0x46}}, {'3', {0x21, 0x41, 0x45, 0x4B, 0x31}},
    {'4', {0x18, 0x14, 0x12, 0x7F, 0x10}}, {'5', {0x27, 0x45, 0x45, 0x45, 0x39}},
    {'6', {0x3C, 0x4A, 0x49, 0x49, 0x30}}, {'7', {0x01, 0x71, 0x09, 0x05, 0x03}},
    {'8', {0x36, 0x49, 0x49, 0x49, 0x36}}, {'9', {0x06, 0x49, 0x49, 0x29, 0x1E}},
    {'A', {0x7E, 0x11, 0x11, 0x11, 0x7E}}, {'B', {0x7F, 0x49, 0x49, 0x49, 0x36}},
    {'C', {0x3E, 0x41, 0x41, 0x41, 0x22}}, {'D', {0x7F, 0x41, 0x41, 0x22, 0x1C}},
    {'E', {0x7F, 0x49, 0x49, 0x49, 0x41}}, {'F', {0x7F, 0x09, 0x09, 0x09, 0x01}},
    {'G', {0x3E, 0x41, 0x49, 0x49, 0x7A}}, {'H', {0x7F, 0x08, 0x08, 0x08, 0x7F}},
    {'I', {0x00, 0x41, 0x7F, 0x41, 0x00}}, {'J', {0x20, 0x40, 0x41, 0x3F, 0x01}},
    {'K', {0x7F, 0x08, 0x14, 0x22, 0x41}}, {'L', {0x7F, 0x40, 0x40, 0x40, 0x40}},
    {'M', {0x7F, 0x02, 0x0C, 0x02, 0x7F}}, {'N', {0x7F, 0x04, 0x08, 0x10, 0x7F}},
    {'O', {0x3E, 0x41, 0x41, 0x41, 0x3E}}, {'P', {0x7F, 0x09, 0x09, 0x09, 0x06}},
    {'Q', {0x3E, 0x41, 0x51, 0x21, 0x5E}}, {'R', {0x7F, 0x09, 0x19, 0x29, 0x46}},
    {'S', {0x46, 0x49, 0x49, 0x49, 0x31}}, {'T', {0x01, 0x01, 0x7F, 0x01, 0x01}},
    {'U', {0x3F, 0x40, 0x40, 0x40, 0x3F}}, {'V', {0x1F, 0x20, 0x40, 0x20, 0x1F}},
    {'W', {0x3F, 0x40, 0x38, 0x40, 0x3F}}, {'X', {0x63, 0x14, 0x08, 0x14, 0x63}},
    {'Y', {0x07, 0x08, 0x70, 0x08, 0x07}}, {'Z', {0x61, 0x51, 0x49, 0x45, 0x43}},
    {':', {0x00, 0x36, 0x36, 0x00, 0x00}}, {'-', {0x08, 0x08, 0x08, 0x08, 0x08}},
    {'.', {0x00, 0x60, 0x60, 0x00, 0x00}}, {'_', {0x40, 0x40, 0x40, 0x40, 0x40}},
    {'/', {0x20, 0x10, 0x08, 0x04, 0x02}},
};

const uint8_t* GlyphOf(char c)
{
    if (c >= 'a' && c <= 'z')
        c = char(c - 'a' + 'A');
    for (const Glyph& g : kFont)
        if (g.c == c)
            return g.col;
    return nullptr; // space and anything unknown
}

// White text with a dark box behind it, `scale` luma pixels per font dot.
void DrawText(uint8_t* y, int width, int height, int stride, int x0, int y0, int scale, const std::string& text)
{
    const int cw = 6 * scale;
    const int boxW = int(text.size()) * cw + 2 * scale, boxH = 9 * scale;
    for (int yy = y0; yy < y0 + boxH && yy < height; ++yy)
        for (int xx = x0; xx < x0 + boxW && xx < width; ++xx)
            if (yy >= 0 && xx >= 0)
                y[yy * stride + xx] = 16;
    for (size_t i = 0; i < text.size(); ++i) {
        const uint8_t* g = GlyphOf(text[i]);
        if (!g)
            continue;
        for (int cx = 0; cx < 5; ++cx)
            for (int cy = 0; cy < 7; ++cy) {
                if (!(g[cx] >> cy & 1))
                    continue;
                int px = x0 + scale + int(i) * cw + cx * scale, py = y0 + scale + cy * scale;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx) {
                        int xx = px + dx, yy = py + dy;
                        if (xx >= 0 && yy >= 0 && xx < width && yy < height)
                            y[yy * stride + xx] = 235;
                    }
            }
    }
}

} // namespace

struct DeviceVideo::Codec {
    AVCodecContext* ctx = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
};

DeviceVideo::DeviceVideo() : codec_(new Codec) { open_.fps = 0; }

DeviceVideo::~DeviceVideo() { Close(); }

void DeviceVideo::Close()
{
    const player::AvLib* av = codec_->ctx || codec_->frame || codec_->packet ? player::LoadAvLib() : nullptr;
    if (!av)
        return;
    av->avcodec_free_context(&codec_->ctx);
    av->av_frame_free(&codec_->frame);
    av->av_packet_free(&codec_->packet);
}

bool DeviceVideo::Open(const LiveEncode& s)
{
    Close();
    const player::AvLib* av = player::LoadAvLib();
    if (!av)
        return false;
    const AVCodec* codec = av->avcodec_find_encoder_by_name("libx264");
    if (!codec)
        codec = av->avcodec_find_encoder(AV_CODEC_ID_H264);
    if (!codec)
        return false;
    AVCodecContext* c = av->avcodec_alloc_context3(codec);
    c->width = s.width;
    c->height = s.height;
    c->time_base = AVRational{1, s.fps};
    c->framerate = AVRational{s.fps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->bit_rate = int64_t(s.kbps) * 1000;
    c->gop_size = s.fps * 2;
    c->max_b_frames = 0;
    c->thread_count = 1;
    av->av_opt_set(c->priv_data, "preset", "ultrafast", 0);
    av->av_opt_set(c->priv_data, "tune", "zerolatency", 0);
    if (av->avcodec_open2(c, codec, nullptr) < 0) {
        av->avcodec_free_context(&c);
        return false;
    }
    codec_->ctx = c;
    codec_->frame = av->av_frame_alloc();
    codec_->frame->format = AV_PIX_FMT_YUV420P;
    codec_->frame->width = s.width;
    codec_->frame->height = s.height;
    if (av->av_frame_get_buffer(codec_->frame, 0) < 0) {
        Close();
        return false;
    }
    codec_->packet = av->av_packet_alloc();
    open_ = s;
    keyFrame_ = true;
    return true;
}

void DeviceVideo::DrawPicture(uint8_t* y, uint8_t* u, uint8_t* v, int width, int height, int strideY, int strideC,
                              const std::string& label, const std::string& clock, uint32_t frame)
{
    // A diagonal ramp that drifts, a bright bar that sweeps across, colour bands that turn.
    const int shift = int(frame * 4);
    const int bar = int((frame * 8) % uint32_t(width > 0 ? width : 1));
    for (int r = 0; r < height; ++r) {
        uint8_t* row = y + r * strideY;
        for (int c = 0; c < width; ++c)
            row[c] = uint8_t(40 + ((c + r + shift) & 127));
        for (int c = bar; c < bar + width / 16 && c < width; ++c)
            row[c] = 220;
    }
    for (int r = 0; r < height / 2; ++r)
        for (int c = 0; c < width / 2; ++c) {
            int band = ((c * 8) / (width / 2 > 0 ? width / 2 : 1) + int(frame / 25)) & 7;
            u[r * strideC + c] = uint8_t(64 + band * 16);
            v[r * strideC + c] = uint8_t(192 - band * 16);
        }
    int scale = height / 120 > 1 ? height / 120 : 1;
    DrawText(y, width, height, strideY, 2 * scale, 2 * scale, scale, label);
    DrawText(y, width, height, strideY, 2 * scale, 13 * scale, scale, clock);
    DrawText(y, width, height, strideY, 2 * scale, 24 * scale, scale, std::to_string(frame));
}

std::string DeviceVideo::EncodeFrame(const LiveEncode& s, const std::string& label, const std::string& clock,
                                     uint32_t frame)
{
    if (!codec_->ctx || s.width != open_.width || s.height != open_.height || s.fps != open_.fps ||
        s.kbps != open_.kbps) {
        if (!Open(s))
            return std::string();
    }
    const player::AvLib* av = player::LoadAvLib(); // loaded by Open
    AVFrame* f = codec_->frame;
    if (av->av_frame_make_writable(f) < 0)
        return std::string();
    DrawPicture(f->data[0], f->data[1], f->data[2], f->width, f->height, f->linesize[0], f->linesize[1], label,
                clock, frame);
    f->pts = pts_++;
    // The first two frames are key frames: a viewer drops the first block it gets.
    if (keyFrame_ || frame < 2) {
        f->pict_type = AV_PICTURE_TYPE_I;
        f->key_frame = 1;
    } else {
        f->pict_type = AV_PICTURE_TYPE_NONE;
        f->key_frame = 0;
    }
    keyFrame_ = false;
    std::string out;
    if (av->avcodec_send_frame(codec_->ctx, f) < 0)
        return out;
    while (av->avcodec_receive_packet(codec_->ctx, codec_->packet) == 0) {
        out.append(reinterpret_cast<const char*>(codec_->packet->data), size_t(codec_->packet->size));
        av->av_packet_unref(codec_->packet);
    }
    return out;
}

void AppendVideo(std::string& block, DeviceVideo& video, const DeviceModel& model, int channel, uint32_t frame)
{
    if (block.size() < 32)
        return;
    LiveEncode s = LiveEncodeOf(model.Table("Encode"), channel);
    std::time_t t = std::time_t(model.WallNow()); // the device's own clock
    std::tm tm{};
    gmtime_r(&t, &tm);
    char clock[40];
    std::snprintf(clock, sizeof clock, "%04d-%02d-%02d %02d:%02d:%02d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::string label = model.State().name + " CH" + std::to_string(channel + 1);
    std::string au = video.EncodeFrame(s, label, clock, frame);
    auto put = [&](size_t off, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            block[off + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    put(4, uint32_t(s.width) | (uint32_t(s.height) << 16));
    put(28, uint32_t(au.size()));
    block += au;
}

} // namespace devsim
