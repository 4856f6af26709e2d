#include "Common/DevClass.h"

#include "Common/StrHelpers.h"

#include <cstring>

namespace {

bool Contains(const std::string& upper, const char* word) { return upper.find(word) != std::string::npos; }

struct Resolution {
    int32_t width;
    int32_t height;
};

const Resolution kPal[RESOLUTION_COUNT] = {
    {160, 90},    {160, 128},   {176, 144},   {240, 192},   {320, 180},   {320, 240},   {352, 288},
    {352, 576},   {704, 288},   {480, 480},   {640, 360},   {640, 480},   {704, 576},   {800, 592},
    {960, 576},   {960, 720},   {1024, 768},  {1280, 720},  {1280, 800},  {1216, 1024}, {1280, 960},
    {1280, 1024}, {1408, 1024}, {1600, 1024}, {1600, 1200}, {1920, 1080}, {1920, 1200}, {1872, 1408},
    {1920, 1440}, {2048, 1536}, {2336, 1752}, {2560, 1600}, {2432, 2050}, {2560, 1920}, {2448, 2048},
    {3744, 1408}, {2592, 2048}, {2752, 2208}, {3072, 2048}, {3296, 2472}, {3840, 2160}, {4096, 2160},
    {3648, 2736}, {4000, 3000},
};

const Resolution kNtsc[RESOLUTION_COUNT] = {
    {160, 90},    {160, 128},   {176, 120},   {240, 192},   {320, 180},   {320, 240},   {352, 240},
    {352, 480},   {704, 240},   {480, 480},   {640, 360},   {640, 480},   {704, 480},   {800, 592},
    {960, 480},   {960, 720},   {1024, 768},  {1280, 720},  {1280, 800},  {1216, 1024}, {1280, 960},
    {1280, 1024}, {1408, 1024}, {1600, 1024}, {1600, 1200}, {1920, 1080}, {1920, 1200}, {1872, 1408},
    {1920, 1440}, {2048, 1536}, {2336, 1752}, {2560, 1600}, {2432, 2050}, {2560, 1920}, {2448, 2048},
    {3744, 1408}, {2592, 2048}, {2752, 2208}, {3072, 2048}, {3296, 2472}, {3840, 2160}, {4096, 2160},
    {3648, 2736}, {4000, 3000},
};

bool ValidFlag(int index) { return index >= 0 && index < SF_FLAG_WORDS * 4; }

} // namespace

bool IsIPCType(std::string type)
{
    const std::string u = StrUpper(type);
    return Contains(u, "IPC") || Contains(u, "IP CAMERA");
}

bool IsPTZType(std::string type)
{
    const std::string u = StrUpper(type);
    return Contains(u, "SD") || Contains(u, "PTZ");
}

bool IsDVRType(std::string type)
{
    const std::string u = StrUpper(type);
    return Contains(u, "DVR") || Contains(u, "HCVR");
}

bool IsNVRType(std::string type)
{
    const std::string u = StrUpper(type);
    return Contains(u, "NVR") || Contains(u, "NVS");
}

bool IsEVSType(std::string first, std::string second)
{
    return Contains(StrUpper(first), "EVS") || Contains(StrUpper(second), "HCVR");
}

bool IsAccessType(std::string type)
{
    const std::string u = StrUpper(type);
    for (const char* word : {"ASM", "ASI", "ASC", "BSC", "ARC", "VTH", "VTO"}) {
        if (Contains(u, word))
            return true;
    }
    return false;
}

int GetDevClass(std::string type)
{
    if (IsIPCType(type))
        return DEV_CLASS_IPC;
    if (IsPTZType(type))
        return DEV_CLASS_SD;
    if (IsDVRType(type))
        return DEV_CLASS_DVR;
    if (IsNVRType(type))
        return DEV_CLASS_NVR;
    return DEV_CLASS_OTHER;
}

int GetDevClassExact(std::string type)
{
    const std::string u = StrUpper(type);
    if (u == "IPC" || u == "IP CAMERA")
        return DEV_CLASS_IPC;
    if (u == "SD" || u == "PTZ")
        return DEV_CLASS_SD;
    if (u == "DVR" || u == "HCVR")
        return DEV_CLASS_DVR;
    if (u == "NVR" || u == "NVS")
        return DEV_CLASS_NVR;
    return DEV_CLASS_OTHER;
}

bool IsSameDevClass(std::string typeA, std::string typeB, int devClass)
{
    switch (devClass) {
    case DEV_CLASS_IPC:
        return IsIPCType(typeA) && IsIPCType(typeB);
    case DEV_CLASS_SD:
        return IsPTZType(typeA) && IsPTZType(typeB);
    case DEV_CLASS_DVR:
        return IsDVRType(typeA) && IsDVRType(typeB);
    case DEV_CLASS_NVR:
        return IsNVRType(typeA) && IsNVRType(typeB);
    default:
        return false;
    }
}

std::string NormalizeDevType(std::string type, std::string model)
{
    if (!type.empty() && type != "unknown")
        return type;
    const std::string u = StrUpper(model);
    if (Contains(u, "IPC") || Contains(u, "IP CAMERA"))
        return "IPC";
    for (const char* word : {"DVR", "NVR", "SD", "VTO", "VTH", "HCVR"}) {
        if (Contains(u, word))
            return word;
    }
    return std::string();
}

std::wstring GetPrevDevTypeTab(const std::wstring& tab)
{
    if (tab == L"IPC")
        return std::wstring();
    if (tab == L"SD")
        return L"IPC";
    if (tab == L"DVR")
        return L"SD";
    if (tab == L"NVR")
        return L"DVR";
    if (tab == L"Others")
        return L"NVR";
    return L"Others";
}

bool IsUninitializedStatus(uint8_t status) { return (status & 3) == 1; }

bool IsResetByPhone(uint32_t flags) { return (flags & 1) != 0; }

bool TestBit(const uint32_t* array, const int& index)
{
    if (!array || !ValidFlag(index))
        return false;
    return (array[index / 4] >> (index % 4)) & 1u;
}

void SetBit(uint32_t* array, const int& index)
{
    if (array && ValidFlag(index))
        array[index / 4] |= 1u << (index % 4);
}

void ClearBit(uint32_t* array, const int& index)
{
    if (array && ValidFlag(index))
        array[index / 4] &= ~(1u << (index % 4));
}

void ClearAllBits(uint32_t* array)
{
    if (array)
        memset(array, 0, SF_FLAG_WORDS * sizeof(uint32_t));
}

int GetResolutionIndex(int width, int height, int ntsc, bool* found)
{
    const Resolution* table = ntsc ? kNtsc : kPal;
    for (int i = 0; i < RESOLUTION_COUNT; ++i) {
        if (table[i].width == width && table[i].height == height) {
            if (found)
                *found = true;
            return i;
        }
    }
    if (found)
        *found = false;
    return 0;
}

void GetResolutionByIndex(int index, int& width, int& height, int ntsc)
{
    if (index < 0 || index >= RESOLUTION_COUNT)
        return;
    const Resolution* table = ntsc ? kNtsc : kPal;
    width = table[index].width;
    height = table[index].height;
}

std::string FixResolutionName(const std::string& name) { return name == "1_3M" ? std::string("1.3M") : name; }
