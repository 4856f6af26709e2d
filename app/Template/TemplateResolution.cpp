// Resolution names; see the header.
#include "Template/TemplateResolution.h"

#include "Common/DevClass.h"

namespace {

const wchar_t* const kNames[TEMPLATE_RESOLUTION_COUNT] = {
    L"QQNHD",     L"QQVGA",     L"QCIF",      L"LFT",       L"QNHD",      L"QVGA",      L"CIF",
    L"HD1",       L"BCIF",      L"SVCD",      L"NHD",       L"VGA",       L"D1",        L"SVGA",
    L"960H",      L"960*720",   L"XVGA",      L"720P",      L"WXGA",      L"1.2M",      L"1.3M",
    L"SXGA",      L"1408*1024", L"WSXGA",     L"UXGA",      L"1080P",     L"WUXGA",     L"2M",
    L"1920*1440", L"3M",        L"2336*1752", L"2560*1600", L"5.1M",      L"5.0M",      L"2448*2048",
    L"5M",        L"2592*2048", L"2752*2208", L"3072*2048", L"8M",        L"3840*2160", L"4096*2160",
    L"3648*2736", L"4000*3000",
};

} // namespace

const wchar_t* GetTemplateResolutionName(int index)
{
    return index >= 0 && index < TEMPLATE_RESOLUTION_COUNT ? kNames[index] : kNames[0];
}

const wchar_t* GetTemplateResolutionName(int width, int height, int videoStandard)
{
    return GetTemplateResolutionName(GetResolutionIndex(width, height, videoStandard != 0 ? 1 : 0));
}
