// Run-time loading of libavcodec and libavutil; see the header.
#include "player/AvLib.h"

#include "player/AvSonames.h"

#include <dlfcn.h>

#include <mutex>

namespace player {

namespace {

std::once_flag g_once;
AvLib g_lib{};
const AvLib* g_loaded = nullptr;
std::string g_error;
std::string g_codecName = kAvCodecSoname;
std::string g_utilName = kAvUtilSoname;

template <typename F>
bool Bind(void* handle, const std::string& soname, const char* name, F& fn)
{
    fn = reinterpret_cast<F>(dlsym(handle, name));
    if (!fn && g_error.empty())
        g_error = soname + ": no function " + name;
    return fn != nullptr;
}

void* Open(const std::string& soname)
{
    // Kept loaded for the life of the process: decoders may run until exit.
    void* h = dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h && g_error.empty()) {
        const char* why = dlerror();
        g_error = why ? why : soname;
    }
    return h;
}

void Load()
{
    void* util = Open(g_utilName);
    void* codec = util ? Open(g_codecName) : nullptr;
    if (!util || !codec)
        return;
    AvLib l{};
    bool ok = true;
#define VX_BIND(h, so, fn) ok = Bind(h, so, #fn, l.fn) && ok
    VX_BIND(util, g_utilName, av_log_set_level);
    VX_BIND(util, g_utilName, av_frame_alloc);
    VX_BIND(util, g_utilName, av_frame_free);
    VX_BIND(util, g_utilName, av_frame_unref);
    VX_BIND(util, g_utilName, av_frame_get_buffer);
    VX_BIND(util, g_utilName, av_frame_make_writable);
    VX_BIND(util, g_utilName, av_opt_set);
    VX_BIND(codec, g_codecName, avcodec_find_decoder);
    VX_BIND(codec, g_codecName, avcodec_find_encoder);
    VX_BIND(codec, g_codecName, avcodec_find_encoder_by_name);
    VX_BIND(codec, g_codecName, avcodec_alloc_context3);
    VX_BIND(codec, g_codecName, avcodec_open2);
    VX_BIND(codec, g_codecName, avcodec_free_context);
    VX_BIND(codec, g_codecName, avcodec_send_packet);
    VX_BIND(codec, g_codecName, avcodec_receive_frame);
    VX_BIND(codec, g_codecName, avcodec_send_frame);
    VX_BIND(codec, g_codecName, avcodec_receive_packet);
    VX_BIND(codec, g_codecName, av_packet_alloc);
    VX_BIND(codec, g_codecName, av_packet_free);
    VX_BIND(codec, g_codecName, av_packet_unref);
#undef VX_BIND
    if (!ok)
        return;
    l.av_log_set_level(AV_LOG_QUIET);
    g_lib = l;
    g_loaded = &g_lib;
}

} // namespace

const AvLib* LoadAvLib()
{
    std::call_once(g_once, Load);
    return g_loaded;
}

void SetAvLibNames(const std::string& codec, const std::string& util)
{
    g_codecName = codec;
    g_utilName = util;
}

std::string AvLibError()
{
    LoadAvLib();
    return g_error;
}

} // namespace player
