// Run-time loading of libavcodec and libavutil; see the header.
#include "player/AvLib.h"

#include "os/RuntimeLib.h"
#include "player/AvSonames.h"

#include <mutex>

namespace player {

namespace {

AvLib g_lib{};

void BindUtil(os::RuntimeLib& l)
{
    l.Bind(g_lib.av_log_set_level, "av_log_set_level");
    l.Bind(g_lib.av_frame_alloc, "av_frame_alloc");
    l.Bind(g_lib.av_frame_free, "av_frame_free");
    l.Bind(g_lib.av_frame_unref, "av_frame_unref");
    l.Bind(g_lib.av_frame_get_buffer, "av_frame_get_buffer");
    l.Bind(g_lib.av_frame_make_writable, "av_frame_make_writable");
    l.Bind(g_lib.av_opt_set, "av_opt_set");
}

void BindCodec(os::RuntimeLib& l)
{
    l.Bind(g_lib.avcodec_find_decoder, "avcodec_find_decoder");
    l.Bind(g_lib.avcodec_find_encoder, "avcodec_find_encoder");
    l.Bind(g_lib.avcodec_find_encoder_by_name, "avcodec_find_encoder_by_name");
    l.Bind(g_lib.avcodec_alloc_context3, "avcodec_alloc_context3");
    l.Bind(g_lib.avcodec_open2, "avcodec_open2");
    l.Bind(g_lib.avcodec_free_context, "avcodec_free_context");
    l.Bind(g_lib.avcodec_send_packet, "avcodec_send_packet");
    l.Bind(g_lib.avcodec_receive_frame, "avcodec_receive_frame");
    l.Bind(g_lib.avcodec_send_frame, "avcodec_send_frame");
    l.Bind(g_lib.avcodec_receive_packet, "avcodec_receive_packet");
    l.Bind(g_lib.av_packet_alloc, "av_packet_alloc");
    l.Bind(g_lib.av_packet_free, "av_packet_free");
    l.Bind(g_lib.av_packet_unref, "av_packet_unref");
}

os::RuntimeLib& Util()
{
    static os::RuntimeLib lib(kAvUtilSoname, BindUtil);
    return lib;
}

os::RuntimeLib& Codec()
{
    static os::RuntimeLib lib(kAvCodecSoname, BindCodec);
    return lib;
}

} // namespace

const AvLib* LoadAvLib()
{
    // libavcodec needs libavutil: the latter first, so that its failure is the one reported.
    if (!Util().Load() || !Codec().Load())
        return nullptr;
    static std::once_flag quiet;
    std::call_once(quiet, [] { g_lib.av_log_set_level(AV_LOG_QUIET); });
    return &g_lib;
}

void SetAvLibNames(const std::string& codec, const std::string& util)
{
    Codec().SetSoname(codec);
    Util().SetSoname(util);
}

std::string AvLibError()
{
    if (!Util().Load())
        return Util().Error();
    return Codec().Error();
}

} // namespace player
