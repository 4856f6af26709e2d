// Template editor page: the record shown in the controls and read back from them.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplatePageEventImp.h"
#include "Template/TemplatePageLists.h"
#include "Template/TemplateResolution.h"

namespace {

// Longest frame rate the slider widens to for a record from a device.
enum : int { kMaxShownFrameRate = 240 };

std::wstring Field(const char* field) { return SFUtf8ToWide(std::string(field, strnlen(field, TEMPLATE_CODEC_LEN))); }

void PutField(char* field, const std::wstring& text)
{
    std::memset(field, 0, TEMPLATE_CODEC_LEN);
    const std::string narrow = SFWideToUtf8(text);
    // At most 49 bytes, not cutting a character in two.
    size_t n = std::min(narrow.size(), static_cast<size_t>(TEMPLATE_CODEC_LEN - 1));
    while (n > 0 && n < narrow.size() && (static_cast<unsigned char>(narrow[n]) & 0xC0) == 0x80)
        --n;
    std::memcpy(field, narrow.data(), n);
}

// Drops the extra items after the fixed ones.
void DropExtra(CSFComboBox* list, int fixed)
{
    while (list->GetCount() > fixed)
        list->DeleteString(static_cast<UINT>(fixed));
}

// Selects the fixed item named text; a name the list does not have is kept as an extra item so
// that it is saved back unchanged. An empty name leaves the selection as it is.
void SelectName(CSFComboBox* list, const wchar_t* const* names, int count, const std::wstring& text)
{
    DropExtra(list, count);
    for (int i = 0; i < count; ++i)
        if (text == names[i]) {
            list->SetCurSel(i);
            return;
        }
    if (text.empty())
        return;
    list->AddString(text.c_str());
    list->SetCurSel(count);
}

std::wstring SelectedName(const CSFComboBox* list, const wchar_t* const* names, int count)
{
    const int index = list->GetCurSel();
    if (index >= 0 && index < count)
        return names[index];
    if (index < 0)
        return std::wstring();
    wchar_t text[TEMPLATE_CODEC_LEN * 4] = {};
    list->GetLBText(index, text, TEMPLATE_CODEC_LEN * 4 - 1);
    return text;
}

int SelectedIndex(const CSFComboBox* list) { return list ? list->GetCurSel() : -1; }

int ToSeconds(const _SF_SYSTEMTIME& t) { return t.wHour * 3600 + t.wMinute * 60 + t.wSecond; }

} // namespace

void CTemplatePageEventImp::SelectResolution(int s, int width, int height, int standard)
{
    StreamRow& r = m_stream[s];
    DropExtra(r.resolution, TEMPLATE_RESOLUTION_COUNT);
    r.customWidth = r.customHeight = 0;
    bool found = false;
    const int index = GetResolutionIndex(width, height, standard != 0 ? 1 : 0, &found);
    if (found || (width <= 0 && height <= 0)) {
        r.resolution->SetCurSel(found ? index : 0);
        return;
    }
    // A size outside the tables (a device's own) stays selectable as it is.
    wchar_t text[48] = {};
    WideFormat(text, 48, L"%d*%d", width, height);
    r.resolution->AddString(text);
    r.resolution->SetCurSel(TEMPLATE_RESOLUTION_COUNT);
    r.customWidth = width;
    r.customHeight = height;
}

void CTemplatePageEventImp::ShowStream(int s, const tagTEMPLATE_ENCODE& e)
{
    using namespace tpllists;
    StreamRow& r = m_stream[s];
    const bool main = s == MAIN;
    const int fps = main ? e.MStreamNFrameRate : e.EStreamNFrameRate;
    r.fps->SetRange(1, std::min(static_cast<int>(kMaxShownFrameRate), std::max(static_cast<int>(kMaxFrameRate), fps)), 1);
    SF_OnSliderPos(main ? ID_MAIN_FPS : ID_SUB_FPS, std::max(1, fps));
    r.brc->SetCurSel(main ? e.MStreamNBitRateControl : e.EStreamNBitRateControl);
    SF_OnSliderPos(main ? ID_MAIN_QUALITY : ID_SUB_QUALITY, main ? e.MStreamNImageQuality : e.EStreamNImageQuality);
    wchar_t text[16] = {};
    IntToWide(main ? e.MStreamNBitRate : e.EStreamNBitRate, text);
    r.bitRate->SetWindowTextW(text);
}

int CTemplatePageEventImp::SetTemplate(const tagTEMPLATEINFO* info)
{
    using namespace tpllists;
    if (!info)
        return 0;
    std::memcpy(&m_reference, info, sizeof(m_reference));
    const tagTEMPLATEINFO& t = m_reference;

    const int colour = t.VideoColor.ColorMode;
    m_pColorMode->SetCurSel(colour == TEMPLATE_COLOR_SOFT || colour == TEMPLATE_COLOR_BRIGHT ? colour
                                                                                           : TEMPLATE_COLOR_STANDARD);
    SF_OnSliderPos(ID_BRIGHTNESS, t.VideoColor.Brightness);
    SF_OnSliderPos(ID_CONTRAST, t.VideoColor.Contrast);
    SF_OnSliderPos(ID_GAMMA, t.VideoColor.Hue);
    SF_OnSliderPos(ID_SATURATION, t.VideoColor.Saturation);

    // The first rule that matches decides.
    const tagTEMPLATE_BLC& b = t.BLC;
    int level = 0;
    if (b.Backlight == TEMPLATE_BLC_BLC) {
        m_pBlcMode->SetCurSel(TEMPLATE_BLC_BLC);
    } else if (b.WideDynamicRange != 0) {
        m_pBlcMode->SetCurSel(TEMPLATE_BLC_WDR);
        level = b.WideDynamicRange;
    } else if (b.GlareInhibition != 0) {
        m_pBlcMode->SetCurSel(TEMPLATE_BLC_HLC);
        level = b.GlareInhibition;
    } else {
        m_pBlcMode->SetCurSel(TEMPLATE_BLC_OFF);
    }
    SetSliderValue(m_pBlcLevel, nullptr, level);
    wchar_t text[16] = {};
    IntToWide(level, text);
    m_pBlcLevelValue->SetStaticText(text);
    SetLevelEnabled(level != 0);

    m_pDayNight->SetCurSel(t.DayNight.DayNight);

    const tagTEMPLATE_FILEMANAGE& f = t.FileManage;
    if (f.FileManage == TEMPLATE_FILEMANAGE_NORMAL)
        m_pFileManage->SetCurSel(kFileManageNormal);
    else if (f.FileManage == TEMPLATE_FILEMANAGE_ALLDAY_DAY || f.FileManage == TEMPLATE_FILEMANAGE_ALLDAY_NIGHT)
        m_pFileManage->SetCurSel(kFileManageAllDay);
    else if (f.FileManage == TEMPLATE_FILEMANAGE_BYTIME)
        m_pFileManage->SetCurSel(kFileManageByTime);
    SelectChanged(ID_FILE_MANAGE, m_pFileManage->GetCurSel());
    if (f.FileManage == TEMPLATE_FILEMANAGE_ALLDAY_DAY)
        m_pAlwaysUse->SetCurSel(0);
    else if (f.FileManage == TEMPLATE_FILEMANAGE_ALLDAY_NIGHT)
        m_pAlwaysUse->SetCurSel(1);
    else if (f.FileManage == TEMPLATE_FILEMANAGE_BYTIME) {
        _SF_SYSTEMTIME start = {};
        start.wHour = static_cast<WORD>(f.StartTimeHour);
        start.wMinute = static_cast<WORD>(f.StartTimeMinute);
        start.wSecond = static_cast<WORD>(f.StartTimeSecond);
        _SF_SYSTEMTIME end = {};
        end.wHour = static_cast<WORD>(f.EndTimeHour);
        end.wMinute = static_cast<WORD>(f.EndTimeMinute);
        end.wSecond = static_cast<WORD>(f.EndTimeSecond);
        m_pStartTime->SetTime(&start);
        m_pEndTime->SetTime(&end);
    }

    const tagTEMPLATE_ENCODE& e = t.Encode;
    StreamRow& m = m_stream[MAIN];
    m.type->SetCurSel(e.MStreamNType);
    SelectChanged(ID_MAIN_TYPE, m.type->GetCurSel());
    SelectName(m.codec, kCodecs, kCodecCount, Field(e.MStreamNCodeMode));
    SelectChanged(ID_MAIN_CODEC, m.codec->GetCurSel());
    SelectResolution(MAIN, e.MStreamNWidth, e.MStreamNHeight, e.MVideoStandard);
    m.standard->SetCurSel(e.MVideoStandard);
    ShowStream(MAIN, e);
    m.audio->SetCheck(e.MAudioEnable != 0 ? 1 : 0);
    SelectName(m.audioCodec, kAudioCodecs, kAudioCodecCount, Field(e.MAudioEncode));

    StreamRow& x = m_stream[SUB];
    m_pVideoEnable->SetCheck(e.EStreamMEnable != 0 ? 1 : 0);
    x.type->SetCurSel(e.EStreamNType);
    SelectName(x.codec, kCodecs, kCodecCount, Field(e.EStreamNCodeMode));
    SelectResolution(SUB, e.EStreamNWidth, e.EStreamNHeight, e.EVideoStandard);
    x.standard->SetCurSel(e.EVideoStandard);
    ShowStream(SUB, e);
    RADIO_OnClicked(m_pVideoEnable->GetCheck(), ID_VIDEO_ENABLE, POINT{0, 0});
    SelectChanged(ID_MAIN_BRC, m.brc->GetCurSel());
    x.audio->SetCheck(e.EAudioEnable != 0 ? 1 : 0);
    SelectName(x.audioCodec, kAudioCodecs, kAudioCodecCount, Field(e.EAudioEncode));
    return 1;
}

int CTemplatePageEventImp::ResetTemplate() { return SetTemplate(&m_defaults); }

void CTemplatePageEventImp::ReadStream(int s, tagTEMPLATE_ENCODE& e) const
{
    using namespace tpllists;
    const StreamRow& r = m_stream[s];
    const bool main = s == MAIN;
    const int standard = SelectedIndex(r.standard);
    const int resolution = SelectedIndex(r.resolution);
    int width = 0;
    int height = 0;
    if (resolution >= TEMPLATE_RESOLUTION_COUNT) {
        width = r.customWidth;
        height = r.customHeight;
    } else if (resolution >= 0) {
        GetResolutionByIndex(resolution, width, height, standard == TEMPLATE_STANDARD_NTSC ? 1 : 0);
    }
    wchar_t text[kMaxBitRateText + 1] = {};
    r.bitRate->GetWindowTextW(text, kMaxBitRateText + 1);
    int bitRate = 0;
    ParseWideUInt(text, bitRate, 9);

    (main ? e.MStreamNType : e.EStreamNType) = SelectedIndex(r.type);
    PutField(main ? e.MStreamNCodeMode : e.EStreamNCodeMode, SelectedName(r.codec, kCodecs, kCodecCount));
    (main ? e.MVideoStandard : e.EVideoStandard) = standard;
    (main ? e.MStreamNWidth : e.EStreamNWidth) = width;
    (main ? e.MStreamNHeight : e.EStreamNHeight) = height;
    (main ? e.MStreamNFrameRate : e.EStreamNFrameRate) = r.fps->GetPos();
    (main ? e.MStreamNImageQuality : e.EStreamNImageQuality) = r.quality->GetPos();
    (main ? e.MStreamNBitRateControl : e.EStreamNBitRateControl) = SelectedIndex(r.brc);
    (main ? e.MStreamNBitRate : e.EStreamNBitRate) = bitRate;
    (main ? e.MAudioEnable : e.EAudioEnable) = r.audio->GetCheck() != 0 ? 1 : 0;
    PutField(main ? e.MAudioEncode : e.EAudioEncode, SelectedName(r.audioCodec, kAudioCodecs, kAudioCodecCount));
}

int CTemplatePageEventImp::GetTemplate(tagTEMPLATEINFO* info, bool warn)
{
    using namespace tpllists;
    if (!info)
        return 0;
    if (std::shared_ptr<CTemplateEditEventImp> shell = m_wpShell.lock())
        shell->GetTemplateName(info->name, TEMPLATE_NAME_LEN);
    std::wmemset(info->type, 0, TEMPLATE_TYPE_LEN);
    std::wcsncpy(info->type, m_kind.type, TEMPLATE_TYPE_LEN - 1);

    tagTEMPLATE_VIDEOCOLOR& c = info->VideoColor;
    c.id = 1;
    c.ColorMode = SelectedIndex(m_pColorMode);
    c.Brightness = m_pColor[0]->GetPos();
    c.Contrast = m_pColor[1]->GetPos();
    c.Hue = m_pColor[2]->GetPos();
    c.Saturation = m_pColor[3]->GetPos();

    tagTEMPLATE_BLC& b = info->BLC;
    b.id = 1;
    const int backlight = SelectedIndex(m_pBlcMode);
    if (backlight == TEMPLATE_BLC_OFF || backlight == TEMPLATE_BLC_BLC) {
        b.Backlight = static_cast<uint8_t>(backlight);
        b.WideDynamicRange = b.GlareInhibition = 0;
    } else if (backlight == TEMPLATE_BLC_WDR) {
        b.Backlight = TEMPLATE_BLC_WDR;
        b.WideDynamicRange = static_cast<uint8_t>(m_pBlcLevel->GetPos());
        b.GlareInhibition = 0;
    } else if (backlight == TEMPLATE_BLC_HLC) {
        b.Backlight = TEMPLATE_BLC_HLC;
        b.WideDynamicRange = 0;
        b.GlareInhibition = static_cast<uint8_t>(m_pBlcLevel->GetPos());
    }

    info->DayNight.id = 1;
    info->DayNight.DayNight = static_cast<uint8_t>(SelectedIndex(m_pDayNight));

    int result = 1;
    tagTEMPLATE_FILEMANAGE& f = info->FileManage;
    f.id = 1;
    const int mode = SelectedIndex(m_pFileManage);
    if (mode == kFileManageNormal) {
        f.FileManage = TEMPLATE_FILEMANAGE_NORMAL;
    } else if (mode == kFileManageAllDay) {
        f.FileManage = SelectedIndex(m_pAlwaysUse) == 0 ? TEMPLATE_FILEMANAGE_ALLDAY_DAY : TEMPLATE_FILEMANAGE_ALLDAY_NIGHT;
    } else if (mode == kFileManageByTime) {
        f.FileManage = TEMPLATE_FILEMANAGE_BYTIME;
        _SF_SYSTEMTIME start = {};
        _SF_SYSTEMTIME end = {};
        m_pStartTime->GetTime(&start);
        m_pEndTime->GetTime(&end);
        if (ToSeconds(end) < ToSeconds(start)) {
            f.StartTimeHour = f.StartTimeMinute = f.StartTimeSecond = 0;
            f.EndTimeHour = 23;
            f.EndTimeMinute = f.EndTimeSecond = 59;
            if (warn)
                ShowMessageBox(std::wstring(Tr(L"The time is invalid.")).c_str(), std::wstring(Tr(L"Error")).c_str(),
                               MessageParent(), 0);
            result = 0;
        } else {
            f.StartTimeHour = start.wHour;
            f.StartTimeMinute = start.wMinute;
            f.StartTimeSecond = start.wSecond;
            f.EndTimeHour = end.wHour;
            f.EndTimeMinute = end.wMinute;
            f.EndTimeSecond = end.wSecond;
        }
    }

    ReadStream(MAIN, info->Encode);
    info->Encode.EStreamMEnable = m_pVideoEnable->GetCheck() != 0 ? 1 : 0;
    ReadStream(SUB, info->Encode);
    return result;
}

int CTemplatePageEventImp::IsChanged()
{
    tagTEMPLATEINFO now;
    std::memset(&now, 0, sizeof(now));
    // A refused time range shows as a change: the controls no longer hold a savable template.
    if (!GetTemplate(&now, false))
        return 1;
    return TemplateInfoEqual(now, m_reference) ? 0 : 1;
}

bool TemplateInfoEqual(const tagTEMPLATEINFO& a, const tagTEMPLATEINFO& b)
{
    if (wcsncmp(a.name, b.name, TEMPLATE_NAME_LEN) != 0 || wcsncmp(a.type, b.type, TEMPLATE_TYPE_LEN) != 0)
        return false;
    const tagTEMPLATE_VIDEOCOLOR& c = a.VideoColor;
    const tagTEMPLATE_VIDEOCOLOR& d = b.VideoColor;
    if (c.id != d.id || c.ColorMode != d.ColorMode || c.Brightness != d.Brightness || c.Contrast != d.Contrast ||
        c.Hue != d.Hue || c.Saturation != d.Saturation)
        return false;
    if (a.BLC.id != b.BLC.id || a.BLC.Backlight != b.BLC.Backlight ||
        a.BLC.WideDynamicRange != b.BLC.WideDynamicRange || a.BLC.GlareInhibition != b.BLC.GlareInhibition)
        return false;
    if (a.DayNight.id != b.DayNight.id || a.DayNight.DayNight != b.DayNight.DayNight)
        return false;
    const tagTEMPLATE_FILEMANAGE& f = a.FileManage;
    const tagTEMPLATE_FILEMANAGE& g = b.FileManage;
    if (f.id != g.id || f.FileManage != g.FileManage || f.reserved != g.reserved)
        return false;
    // The times are saved only for "ByTime", so only there are they part of the template.
    if (f.FileManage == TEMPLATE_FILEMANAGE_BYTIME &&
        (f.StartTimeHour != g.StartTimeHour || f.StartTimeMinute != g.StartTimeMinute ||
         f.StartTimeSecond != g.StartTimeSecond || f.EndTimeHour != g.EndTimeHour ||
         f.EndTimeMinute != g.EndTimeMinute || f.EndTimeSecond != g.EndTimeSecond))
        return false;
    const tagTEMPLATE_ENCODE& e = a.Encode;
    const tagTEMPLATE_ENCODE& x = b.Encode;
    auto same = [](const char* p, const char* q) { return strncmp(p, q, TEMPLATE_CODEC_LEN) == 0; };
    return e.MStreamNType == x.MStreamNType && e.MStreamNHeight == x.MStreamNHeight &&
           e.MStreamNWidth == x.MStreamNWidth && e.MStreamNFrameRate == x.MStreamNFrameRate &&
           e.MStreamNBitRateControl == x.MStreamNBitRateControl &&
           e.MStreamNImageQuality == x.MStreamNImageQuality && e.MStreamNBitRate == x.MStreamNBitRate &&
           e.MVideoStandard == x.MVideoStandard && e.EStreamNType == x.EStreamNType &&
           e.EStreamNHeight == x.EStreamNHeight && e.EStreamNWidth == x.EStreamNWidth &&
           e.EStreamNFrameRate == x.EStreamNFrameRate && e.EStreamNBitRateControl == x.EStreamNBitRateControl &&
           e.EStreamNImageQuality == x.EStreamNImageQuality && e.EStreamNBitRate == x.EStreamNBitRate &&
           e.EVideoStandard == x.EVideoStandard && e.EStreamMEnable == x.EStreamMEnable &&
           same(e.MStreamNCodeMode, x.MStreamNCodeMode) && same(e.EStreamNCodeMode, x.EStreamNCodeMode) &&
           e.MAudioEnable == x.MAudioEnable && e.EAudioEnable == x.EAudioEnable &&
           same(e.MAudioEncode, x.MAudioEncode) && same(e.EAudioEncode, x.EAudioEncode);
}
