// One configuration template in memory: image colour, backlight, day/night switching, file
// management and the encoding of the main and extra stream. Field names are those of the template
// file's attributes. A plain record: copied by value, zero-filled before it is filled.
#pragma once

#include <cstdint>

// Type code of a template, from the type text (the file's root element).
enum TEMPLATE_DEVICE_TYPE {
    TEMPLATE_DEVICE_OTHER = 0,
    TEMPLATE_DEVICE_IPC = 1,
    TEMPLATE_DEVICE_DVR = 2,
    TEMPLATE_DEVICE_NVR = 3,
    TEMPLATE_DEVICE_SD = 4,
};

// ColorMode: the position in the editors' list; every page reads and writes this one coding.
enum TEMPLATE_COLOR_MODE { TEMPLATE_COLOR_STANDARD = 0, TEMPLATE_COLOR_SOFT = 1, TEMPLATE_COLOR_BRIGHT = 2 };

// Backlight: 0 off, 1 backlight compensation, 2 wide dynamic range, 3 highlight compensation.
enum TEMPLATE_BACKLIGHT { TEMPLATE_BLC_OFF = 0, TEMPLATE_BLC_BLC = 1, TEMPLATE_BLC_WDR = 2, TEMPLATE_BLC_HLC = 3 };

// DayNight: 0 colour, 1 automatic, 2 black and white.
enum TEMPLATE_DAYNIGHT { TEMPLATE_DAYNIGHT_COLOR = 0, TEMPLATE_DAYNIGHT_AUTO = 1, TEMPLATE_DAYNIGHT_BLACKWHITE = 2 };

// FileManage: which configuration set a device uses, all day (day or night profile), by time of
// day, or normal. 1 is never produced and is written without the attribute.
enum TEMPLATE_FILE_MANAGE {
    TEMPLATE_FILEMANAGE_ALLDAY_DAY = 0,
    TEMPLATE_FILEMANAGE_UNUSED = 1,
    TEMPLATE_FILEMANAGE_BYTIME = 2,
    TEMPLATE_FILEMANAGE_ALLDAY_NIGHT = 3,
    TEMPLATE_FILEMANAGE_NORMAL = 4,
};

// MStreamNType / EStreamNType: stream kind and index of its entry in a device's encode table.
enum TEMPLATE_STREAM_TYPE { TEMPLATE_STREAM_REGULAR = 0, TEMPLATE_STREAM_MOTION = 1, TEMPLATE_STREAM_ALARM = 2 };

// MStreamNBitRateControl / EStreamNBitRateControl.
enum TEMPLATE_BITRATE_CONTROL { TEMPLATE_BITRATE_CBR = 0, TEMPLATE_BITRATE_VBR = 1 };

// MVideoStandard / EVideoStandard: chooses the resolution table.
enum TEMPLATE_VIDEO_STANDARD { TEMPLATE_STANDARD_PAL = 0, TEMPLATE_STANDARD_NTSC = 1 };

enum : int {
    TEMPLATE_NAME_LEN = 129,  // name with its terminator
    TEMPLATE_TYPE_LEN = 128,  // type with its terminator
    TEMPLATE_CODEC_LEN = 50,  // codec names with their terminator
};

struct tagTEMPLATE_VIDEOCOLOR {
    int32_t id;
    int32_t ColorMode;
    int32_t Brightness;  // 0-100
    int32_t Contrast;    // 0-100
    int32_t Hue;         // 0-100, labelled "Gamma" by the editors
    int32_t Saturation;  // 0-100
};

struct tagTEMPLATE_BLC {
    int32_t id;
    uint8_t Backlight;
    uint8_t WideDynamicRange;  // 1-100 when Backlight is 2, else 0
    uint8_t GlareInhibition;   // 1-100 when Backlight is 3, else 0
};

struct tagTEMPLATE_DAYNIGHT {
    int32_t id;
    uint8_t DayNight;
};

struct tagTEMPLATE_ENCODE {
    int32_t MStreamNType;
    int32_t MStreamNHeight;
    int32_t MStreamNWidth;
    int32_t MStreamNFrameRate;
    int32_t MStreamNBitRateControl;
    int32_t MStreamNImageQuality;
    int32_t MStreamNBitRate;  // kbit/s
    int32_t MVideoStandard;
    int32_t MAudioEnable;
    int32_t EStreamNType;
    int32_t EStreamNHeight;
    int32_t EStreamNWidth;
    int32_t EStreamNFrameRate;
    int32_t EStreamNBitRateControl;
    int32_t EStreamNImageQuality;
    int32_t EStreamNBitRate;  // kbit/s
    int32_t EVideoStandard;
    int32_t EStreamMEnable;  // switches the extra stream's video on
    int32_t EAudioEnable;
    char MStreamNCodeMode[TEMPLATE_CODEC_LEN];
    char EStreamNCodeMode[TEMPLATE_CODEC_LEN];
    char MAudioEncode[TEMPLATE_CODEC_LEN];
    char EAudioEncode[TEMPLATE_CODEC_LEN];
};

struct tagTEMPLATE_FILEMANAGE {
    int32_t id;
    int32_t FileManage;
    int32_t reserved;  // nothing sets it
    int32_t StartTimeHour;
    int32_t StartTimeMinute;
    int32_t StartTimeSecond;
    int32_t EndTimeHour;
    int32_t EndTimeMinute;
    int32_t EndTimeSecond;
};

struct tagTEMPLATEINFO {
    wchar_t name[TEMPLATE_NAME_LEN];  // at most 128 characters
    wchar_t type[TEMPLATE_TYPE_LEN];  // "IPC", "DVR", "NVR" or "SD"
    tagTEMPLATE_VIDEOCOLOR VideoColor;
    tagTEMPLATE_BLC BLC;
    tagTEMPLATE_DAYNIGHT DayNight;
    tagTEMPLATE_ENCODE Encode;
    tagTEMPLATE_FILEMANAGE FileManage;
};

// The type code of a type text: "IPC" 1, "DVR" 2, "NVR" 3, "SD" 4 (exact, case-sensitive), else 0.
TEMPLATE_DEVICE_TYPE GetTemplateDeviceType(const wchar_t* type);
