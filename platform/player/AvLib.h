// libavcodec and libavutil loaded at run time, on first use, so that a program that never
// decodes or encodes video does not pay for loading them (and their codec libraries) at start.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

#include <string>

namespace player {

// The functions of the two libraries that the player and the emulated devices call.
struct AvLib {
    // libavutil
    void (*av_log_set_level)(int);
    AVFrame* (*av_frame_alloc)();
    void (*av_frame_free)(AVFrame**);
    void (*av_frame_unref)(AVFrame*);
    int (*av_frame_get_buffer)(AVFrame*, int);
    int (*av_frame_make_writable)(AVFrame*);
    int (*av_opt_set)(void*, const char*, const char*, int);
    // libavcodec
    const AVCodec* (*avcodec_find_decoder)(enum AVCodecID);
    const AVCodec* (*avcodec_find_encoder)(enum AVCodecID);
    const AVCodec* (*avcodec_find_encoder_by_name)(const char*);
    AVCodecContext* (*avcodec_alloc_context3)(const AVCodec*);
    int (*avcodec_open2)(AVCodecContext*, const AVCodec*, AVDictionary**);
    void (*avcodec_free_context)(AVCodecContext**);
    int (*avcodec_send_packet)(AVCodecContext*, const AVPacket*);
    int (*avcodec_receive_frame)(AVCodecContext*, AVFrame*);
    int (*avcodec_send_frame)(AVCodecContext*, const AVFrame*);
    int (*avcodec_receive_packet)(AVCodecContext*, AVPacket*);
    AVPacket* (*av_packet_alloc)();
    void (*av_packet_free)(AVPacket**);
    void (*av_packet_unref)(AVPacket*);
};

// Loads both libraries once (any thread; later calls wait for the first and share its result).
// Null when a library or one of its functions could not be loaded; AvLibError() then says why.
const AvLib* LoadAvLib();
std::string AvLibError();
// Replaces the library names the loader asks for; call before any thread can load (tests).
void SetAvLibNames(const std::string& codec, const std::string& util);

} // namespace player
