// Device classes from the SDK's type texts, encoder resolution tables, flag arrays and status bits.
#pragma once

#include <cstdint>
#include <string>

enum DEV_CLASS {
    DEV_CLASS_IPC = 1,
    DEV_CLASS_SD = 2,
    DEV_CLASS_DVR = 4,
    DEV_CLASS_NVR = 8,
    DEV_CLASS_OTHER = 16,
};

bool IsIPCType(std::string type);
bool IsPTZType(std::string type);
bool IsDVRType(std::string type);
bool IsNVRType(std::string type);
bool IsEVSType(std::string first, std::string second);
bool IsAccessType(std::string type);

int GetDevClass(std::string type);
int GetDevClassExact(std::string type);
bool IsSameDevClass(std::string typeA, std::string typeB, int devClass);
std::string NormalizeDevType(std::string type, std::string model);
// Tab before the given one in the order IPC, SD, DVR, NVR, Others.
std::wstring GetPrevDevTypeTab(const std::wstring& tab);

bool IsUninitializedStatus(uint8_t status);
bool IsResetByPhone(uint32_t flags);

// Flags 0..127 in 32 words, four flags per word (bits 0 to 3).
enum { SF_FLAG_WORDS = 32 };
bool TestBit(const uint32_t* array, const int& index);
void SetBit(uint32_t* array, const int& index);
void ClearBit(uint32_t* array, const int& index);
void ClearAllBits(uint32_t* array);

enum { RESOLUTION_COUNT = 44 };
// Index of (width, height) in the NTSC or PAL table. A pair that is not in the table gives 0 (a safe
// index) with *found false, which tells it from the first entry.
int GetResolutionIndex(int width, int height, int ntsc, bool* found = nullptr);
// Writes the pair at `index`; outside 0..43 nothing is written.
void GetResolutionByIndex(int index, int& width, int& height, int ntsc);
std::string FixResolutionName(const std::string& name);
