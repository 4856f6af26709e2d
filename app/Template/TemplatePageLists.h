// Items of the editor pages' lists. The index of an item is the value it stands for, except in the
// codec lists, which store the item's name.
#pragma once

namespace tpllists {

inline const wchar_t* const kStreamKinds[] = {L"Regular", L"Motion", L"Alarm"};
inline const wchar_t* const kCodecs[] = {L"FCC_MPEG4", L"H.263", L"H.264", L"H.264B", L"H.264H", L"H.265",
                                         L"MJPG",      L"MPEG1", L"MPEG2", L"MPEG4",  L"MS_MPEG4"};
inline const wchar_t* const kStandards[] = {L"PAL", L"NTSC"};
inline const wchar_t* const kBitRateControls[] = {L"CBR", L"VBR"};
inline const wchar_t* const kAudioCodecs[] = {L"AAC",   L"ADPCM", L"AMR",   L"G.711A",       L"G.711Mu",
                                              L"G.722.1", L"G.726", L"G.729", L"MP3",        L"MPEG2",
                                              L"MPEG2-Layer2", L"OGG", L"PCM"};
inline const wchar_t* const kSvcLevels[] = {L"1(off)", L"2", L"3", L"4"};
inline const wchar_t* const kColorModes[] = {L"Standard", L"Soft", L"Bright"};
inline const wchar_t* const kBacklights[] = {L"OFF", L"BLC", L"WDR", L"HLC"};
inline const wchar_t* const kDayNights[] = {L"Color", L"Auto", L"BlackWhite"};
inline const wchar_t* const kFileManages[] = {L"Normal", L"AllDay", L"ByTime"};
inline const wchar_t* const kAlwaysUses[] = {L"Day", L"Night"};

enum : int {
    kStreamKindCount = 3,
    kCodecCount = 11,
    kCodecMjpg = 6,
    kStandardCount = 2,
    kBitRateControlCount = 2,
    kAudioCodecCount = 13,
    kSvcLevelCount = 4,
    kColorModeCount = 3,
    kBacklightCount = 4,
    kDayNightCount = 3,
    kFileManageCount = 3,
    kFileManageNormal = 0,
    kFileManageAllDay = 1,
    kFileManageByTime = 2,
    kAlwaysUseCount = 2,
    kMaxFrameRate = 50,
    kMaxBitRateText = 49,
};

} // namespace tpllists
