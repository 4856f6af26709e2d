// Template file reader: loading, names and the section readers. The JSON merge is in
// TemplateEncodeMerge.cpp.
#include "Template/CTemplateXml.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>

#include "Common/XmlGuard.h"
#include "Template/TemplateXmlText.h"

using tplxml::QueryInt;

TEMPLATE_DEVICE_TYPE GetTemplateDeviceType(const wchar_t* type)
{
    if (!type)
        return TEMPLATE_DEVICE_OTHER;
    if (std::wcscmp(type, L"IPC") == 0)
        return TEMPLATE_DEVICE_IPC;
    if (std::wcscmp(type, L"DVR") == 0)
        return TEMPLATE_DEVICE_DVR;
    if (std::wcscmp(type, L"NVR") == 0)
        return TEMPLATE_DEVICE_NVR;
    if (std::wcscmp(type, L"SD") == 0)
        return TEMPLATE_DEVICE_SD;
    return TEMPLATE_DEVICE_OTHER;
}

namespace {

// Copies at most capacity characters of text, without a terminator.
void CopyUnterminated(const std::wstring& text, wchar_t* buffer, int capacity)
{
    if (!buffer || capacity <= 0)
        return;
    const size_t n = std::min(text.size(), static_cast<size_t>(capacity));
    std::wmemcpy(buffer, text.data(), n);
}

// A byte field: read as an int, stored as its low byte; left as it was when missing.
void QueryByte(const TiXmlElement* element, const char* name, uint8_t& field)
{
    int value = field;
    if (QueryInt(element, name, value))
        field = static_cast<uint8_t>(value & 0xFF);
}

// A name attribute: at most size - 1 bytes, terminated; left as it was when missing.
void QueryName(const TiXmlElement* element, const char* name, char* field, size_t size)
{
    const char* text = element->Attribute(name);
    if (!text)
        return;
    std::memset(field, 0, size);
    std::strncpy(field, text, size - 1);
}

} // namespace

CTemplateXml::CTemplateXml(const char* path)
{
    FILE* file = path ? std::fopen(path, "rb") : nullptr;
    if (!file) {
        m_strLoadError = "cannot be opened";
        return;
    }
    m_strPath = path;
    std::string text;
    char chunk[16384];
    size_t n = 0;
    bool tooLarge = false;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (text.size() + n > kMaxFileBytes) {
            tooLarge = true;
            break;
        }
        text.append(chunk, n);
    }
    std::fclose(file);
    if (tooLarge) {
        m_strLoadError = "larger than " + std::to_string(kMaxFileBytes / 1024) + " KiB";
        return;
    }
    if (!xmlguard::ValidUtf8(text)) {
        m_strLoadError = "not UTF-8 text";
        return;
    }
    std::string why;
    if (!xmlguard::ShapeWithin(text.data(), text.size(), kMaxDepth, kMaxElements, &why)) {
        m_strLoadError = why;
        return;
    }
    // What the parser read of a damaged file is kept: the operations look only for what they need.
    m_doc.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (!m_doc.RootElement())
        m_strLoadError = m_doc.Error() ? m_doc.ErrorDesc() : "no element";
}

CTemplateXml::~CTemplateXml() = default;

int CTemplateXml::GetRootName(wchar_t* buffer, int capacity) const
{
    const TiXmlElement* root = m_doc.RootElement();
    if (!root)
        return -1;
    CopyUnterminated(tplxml::ToWide(root->ValueStr()), buffer, capacity);
    return 0;
}

int CTemplateXml::GetTemplateName(wchar_t* buffer, int capacity) const
{
    std::string name = m_strPath;
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const size_t ext = name.rfind(".xml");
    if (ext != std::string::npos)
        name.erase(ext);
    if (!name.empty())
        CopyUnterminated(tplxml::ToWide(name), buffer, capacity);
    return 0;
}

const TiXmlElement* CTemplateXml::FindNarrow(const char* section, const char* child) const
{
    const TiXmlElement* root = m_doc.RootElement();
    const TiXmlElement* sec = root ? root->FirstChildElement(section) : nullptr;
    return sec ? sec->FirstChildElement(child) : nullptr;
}

const TiXmlElement* CTemplateXml::Find(const wchar_t* section, const wchar_t* child) const
{
    if (!section || !child)
        return nullptr;
    return FindNarrow(tplxml::ToNarrow(section).c_str(), tplxml::ToNarrow(child).c_str());
}

int CTemplateXml::IsSectionEnabled(const wchar_t* section) const
{
    const TiXmlElement* root = m_doc.RootElement();
    const TiXmlElement* sec = root && section ? root->FirstChildElement(tplxml::ToNarrow(section).c_str()) : nullptr;
    int enable = 0;
    QueryInt(sec, "enable", enable);
    return enable;
}

int CTemplateXml::ReadVideoColor(const wchar_t* section, const wchar_t* child, int& id, int& colorMode,
                                 int& brightness, int& contrast, int& hue, int& saturation) const
{
    const TiXmlElement* e = Find(section, child);
    if (!e)
        return 0;
    QueryInt(e, "id", id);
    QueryInt(e, "ColorMode", colorMode);
    QueryInt(e, "Brightness", brightness);
    QueryInt(e, "Contrast", contrast);
    QueryInt(e, "Hue", hue);
    QueryInt(e, "Saturation", saturation);
    return 1;
}

int CTemplateXml::ReadBLCMode(const wchar_t* section, const wchar_t* child, tagTEMPLATE_BLC& blc) const
{
    const TiXmlElement* e = Find(section, child);
    if (!e)
        return 0;
    QueryInt(e, "id", blc.id);
    QueryByte(e, "Backlight", blc.Backlight);
    QueryByte(e, "WideDynamicRange", blc.WideDynamicRange);
    QueryByte(e, "GlareInhibition", blc.GlareInhibition);
    return 1;
}

int CTemplateXml::ReadDayNightMode(const wchar_t* section, const wchar_t* child, tagTEMPLATE_DAYNIGHT& dayNight) const
{
    const TiXmlElement* e = Find(section, child);
    if (!e)
        return 0;
    QueryInt(e, "id", dayNight.id);
    QueryByte(e, "DayNight", dayNight.DayNight);
    return 1;
}

int CTemplateXml::ReadEncode(const wchar_t* section, const wchar_t* child, tagTEMPLATE_ENCODE& encode) const
{
    const TiXmlElement* e = Find(section, child);
    if (!e)
        return 0;
    const struct {
        const char* name;
        int32_t* field;
    } ints[] = {
        {"MStreamNType", &encode.MStreamNType},
        {"MStreamNFrameRate", &encode.MStreamNFrameRate},
        {"MStreamNBitRateControl", &encode.MStreamNBitRateControl},
        {"MStreamNImageQuality", &encode.MStreamNImageQuality},
        {"MStreamNBitRate", &encode.MStreamNBitRate},
        {"MStreamNHeight", &encode.MStreamNHeight},
        {"MStreamNWidth", &encode.MStreamNWidth},
        {"MVideoStandard", &encode.MVideoStandard},
        {"MAudioEnable", &encode.MAudioEnable},
        {"EStreamMEnable", &encode.EStreamMEnable},
        {"EStreamNType", &encode.EStreamNType},
        {"EStreamNFrameRate", &encode.EStreamNFrameRate},
        {"EStreamNBitRateControl", &encode.EStreamNBitRateControl},
        {"EStreamNImageQuality", &encode.EStreamNImageQuality},
        {"EStreamNBitRate", &encode.EStreamNBitRate},
        {"EStreamNHeight", &encode.EStreamNHeight},
        {"EStreamNWidth", &encode.EStreamNWidth},
        {"EVideoStandard", &encode.EVideoStandard},
        {"EAudioEnable", &encode.EAudioEnable},
    };
    for (const auto& item : ints)
        QueryInt(e, item.name, *item.field);
    QueryName(e, "MStreamNCodeMode", encode.MStreamNCodeMode, sizeof encode.MStreamNCodeMode);
    QueryName(e, "MAudioEncode", encode.MAudioEncode, sizeof encode.MAudioEncode);
    QueryName(e, "EStreamNCodeMode", encode.EStreamNCodeMode, sizeof encode.EStreamNCodeMode);
    QueryName(e, "EAudioEncode", encode.EAudioEncode, sizeof encode.EAudioEncode);
    return 1;
}

int CTemplateXml::ReadFileManage(const wchar_t* section, const wchar_t* child, tagTEMPLATE_FILEMANAGE& fileManage) const
{
    const TiXmlElement* e = Find(section, child);
    if (!e)
        return 0;
    QueryInt(e, "id", fileManage.id);
    QueryInt(e, "FileManage", fileManage.FileManage);
    if (fileManage.FileManage == TEMPLATE_FILEMANAGE_BYTIME) {
        QueryInt(e, "StartTimeHour", fileManage.StartTimeHour);
        QueryInt(e, "StartTimeMinute", fileManage.StartTimeMinute);
        QueryInt(e, "StartTimeSecond", fileManage.StartTimeSecond);
        QueryInt(e, "EndTimeHour", fileManage.EndTimeHour);
        QueryInt(e, "EndTimeMinute", fileManage.EndTimeMinute);
        QueryInt(e, "EndTimeSecond", fileManage.EndTimeSecond);
    }
    return 1;
}

int CTemplateXml::ReadTemplateInfo(tagTEMPLATEINFO& info, std::vector<std::string>* missing) const
{
    // One unit short of each field, so that the zero-filled record stays terminated.
    GetTemplateName(info.name, TEMPLATE_NAME_LEN - 1);
    if (GetRootName(info.type, TEMPLATE_TYPE_LEN - 1) < 0) {
        if (missing)
            missing->push_back("root element");
        return 0;
    }
    const wchar_t* channel = L"Channel";
    int read = 0;
    auto note = [&](int ok, const char* section) {
        read += ok;
        if (!ok && missing)
            missing->push_back(section);
    };
    note(ReadDayNightMode(L"DayNightMode", channel, info.DayNight), "DayNightMode");
    note(ReadBLCMode(L"BLCMode", channel, info.BLC), "BLCMode");
    tagTEMPLATE_VIDEOCOLOR& c = info.VideoColor;
    note(ReadVideoColor(L"VideoColor", channel, c.id, c.ColorMode, c.Brightness, c.Contrast, c.Hue, c.Saturation),
         "VideoColor");
    note(ReadFileManage(L"FileManageMode", channel, info.FileManage), "FileManageMode");
    note(ReadEncode(L"Encode", channel, info.Encode), "Encode");
    return read == 5 ? 1 : 0;
}

bool CTemplateXml::IsValidTemplate() const
{
    wchar_t root[16] = {};
    if (GetRootName(root, 16) < 0)
        return false;
    if (GetTemplateDeviceType(root) == TEMPLATE_DEVICE_OTHER)
        return false;
    const TiXmlElement* r = m_doc.RootElement();
    for (const char* section : {"VideoColor", "BLCMode", "DayNightMode", "Encode", "PcSyn"}) {
        if (!r->FirstChildElement(section))
            return false;
    }
    return true;
}

int CTemplateXml::ReadTimeFormat(int& dateFormat, int& dstEnable) const
{
    const TiXmlElement* e = FindNarrow("Romania", "TimeFormat");
    if (!e)
        return 0;
    QueryInt(e, "DateFormat", dateFormat);
    QueryInt(e, "DSTEnable", dstEnable);
    return 1;
}

int CTemplateXml::ReadDST(int& startMonth, int& startTime, int& startDay, int& endMonth, int& endTime,
                          int& endDay) const
{
    const TiXmlElement* e = FindNarrow("Romania", "DST");
    if (!e)
        return 0;
    QueryInt(e, "StartMonth", startMonth);
    QueryInt(e, "StartTime", startTime);
    QueryInt(e, "StartDay", startDay);
    QueryInt(e, "EndMonth", endMonth);
    QueryInt(e, "EndTime", endTime);
    QueryInt(e, "EndDay", endDay);
    return 1;
}

int CTemplateXml::ReadNTP(std::string& domainName, int& timeZone) const
{
    const TiXmlElement* e = FindNarrow("Romania", "NTP");
    if (!e)
        return 0;
    const char* domain = e->Attribute("DomainName");
    domainName = domain ? domain : "";
    QueryInt(e, "TimeZone", timeZone);
    return 1;
}

int CTemplateXml::ReadIFrameInterval(int& main, int& extra) const
{
    const TiXmlElement* e = FindNarrow("IntervalI", "IFrameInterval");
    if (!e)
        return 0;
    QueryInt(e, "IFrameIntervalM", main);
    QueryInt(e, "IFrameIntervalE", extra);
    return 1;
}
