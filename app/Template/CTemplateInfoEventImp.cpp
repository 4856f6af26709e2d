// Template summary page; see the header.
#include "Template/CTemplateInfoEventImp.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Template/TemplateResolution.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFStatic.h"

namespace {

enum : unsigned {
    kAlignDefault = 0,
    kAlignLeftSingle = 36,   // left, vertically centred, one line
    kAlignRightSingle = 38,  // right, vertically centred, one line
};

struct RowDef {
    const wchar_t* label;
    bool heading;
    unsigned align;
};

const RowDef kRows[CTemplateInfoEventImp::ROW_COUNT] = {
    {L"Template Name:", false, kAlignDefault},
    {L"Main Stream Config:", true, kAlignLeftSingle},
    {L"Stream Type:", false, kAlignRightSingle},
    {L"Encode Mode:", false, kAlignRightSingle},
    {L"Resolution:", false, kAlignRightSingle},
    {L"Frame Rate:", false, kAlignRightSingle},
    {L"Bit Rate Control:", false, kAlignRightSingle},
    {L"Image Quality:", false, kAlignRightSingle},
    {L"Bit Rate(kbps):", false, kAlignRightSingle},
    {L"Audio Enable:", false, kAlignRightSingle},
    {L"Audio Encode:", false, kAlignRightSingle},
    {L"Extra Stream Config:", true, kAlignLeftSingle},
    {L"Video Enable:", false, kAlignRightSingle},
    {L"Stream Type:", false, kAlignRightSingle},
    {L"Encode Mode:", false, kAlignRightSingle},
    {L"Resolution:", false, kAlignRightSingle},
    {L"Frame Rate:", false, kAlignRightSingle},
    {L"Bit Rate Control:", false, kAlignRightSingle},
    {L"Image Quality:", false, kAlignRightSingle},
    {L"Bit Rate(kbps):", false, kAlignRightSingle},
    {L"Audio Enable:", false, kAlignRightSingle},
    {L"Audio Encode:", false, kAlignRightSingle},
    {L"Video Config:", true, kAlignDefault},
    {L"Color Mode:", false, kAlignRightSingle},
    {L"Brightness:", false, kAlignRightSingle},
    {L"Contrast:", false, kAlignRightSingle},
    {L"Gamma:", false, kAlignRightSingle},
    {L"Saturation:", false, kAlignRightSingle},
    {L"BLC Mode:", false, kAlignRightSingle},
    {L"WDR:", false, kAlignRightSingle},
    {L"Day/Night Mode:", false, kAlignRightSingle},
    {L"FileManage:", false, kAlignRightSingle},
};

// Row n: label 20..140, value 148..340, 15 high, 23 apart. A heading has no value and takes
// the width of both.
RECT LabelRect(int row)
{
    return RECT{20, 10 + 23 * row, kRows[row].heading ? 340 : 140, 25 + 23 * row};
}
RECT ValueRect(int row) { return RECT{148, 10 + 23 * row, 340, 25 + 23 * row}; }

const wchar_t* StreamTypeText(int type)
{
    switch (type) {
    case TEMPLATE_STREAM_REGULAR:
        return L"Regular";
    case TEMPLATE_STREAM_MOTION:
        return L"Motion";
    case TEMPLATE_STREAM_ALARM:
        return L"Alarm";
    default:
        return nullptr;
    }
}

std::wstring CodecText(const char* field)
{
    return SFUtf8ToWide(std::string(field, strnlen(field, TEMPLATE_CODEC_LEN)));
}

std::wstring Resolution(int width, int height, int standard)
{
    bool found = false;
    GetResolutionIndex(width, height, standard != 0 ? 1 : 0, &found);
    if (!found) {
        // A size outside the tables (from a device or a hand-edited file) is shown as it is.
        wchar_t text[32] = {};
        WideFormat(text, 32, L"%d*%d", width, height);
        return text;
    }
    return Tr(GetTemplateResolutionName(width, height, standard));
}

int Clamp99(int value) { return std::min(99, std::max(0, value)); }

} // namespace

CTemplateInfoEventImp::CTemplateInfoEventImp(std::weak_ptr<ISFViewEvent> owner) : m_wpOwner(std::move(owner)) {}

CTemplateInfoEventImp::~CTemplateInfoEventImp()
{
    DestroySFView(m_pView);
    m_pView = nullptr;
}

std::shared_ptr<CTemplateInfoEventImp> CTemplateInfoEventImp::Create(std::weak_ptr<ISFViewEvent> owner)
{
    auto page = std::make_shared<CTemplateInfoEventImp>(std::move(owner));
    page->Init();
    return page;
}

int CTemplateInfoEventImp::Init()
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xF0F0F0);
    std::shared_ptr<ISFViewEvent> owner = m_wpOwner.lock();
    m_pView->Create(nullptr, L"TemplateInfo", WS_CHILD | WS_VISIBLE, RECT{100, 0, 1000, 62},
                    owner ? owner->GetUIWnd() : nullptr, 117);
    return 0;
}

int CTemplateInfoEventImp::OnCreate()
{
    m_pScroll = CreateSFScrollArea(nullptr);
    if (!m_pScroll)
        return 1;
    m_pScroll->Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 400, 500}, 350, 900, GetUIWnd(), 0);
    ScrollAreaStyle skin;
    skin.strBkImage = L"/bgColorWhite.png";
    m_pScroll->SetSkin(&skin);
    void* area = m_pScroll->GetUIWnd();
    for (int row = 0; row < ROW_COUNT; ++row) {
        m_pLabel[row] = CreateSFStatic(nullptr);
        m_pLabel[row]->Create(Tr(kRows[row].label), WS_VISIBLE | WS_TABSTOP, LabelRect(row), area, 0xFFFFFFFF);
        if (kRows[row].align != kAlignDefault)
            m_pLabel[row]->SetTextAlignFlag(kRows[row].align);
        if (kRows[row].heading)
            continue;
        m_pValue[row] = CreateSFStatic(nullptr);
        m_pValue[row]->Create(L"", WS_VISIBLE | WS_TABSTOP, ValueRect(row), area, 0xFFFFFFFF);
    }
    return 1;
}

void CTemplateInfoEventImp::LayoutRows()
{
    for (int row = 0; row < ROW_COUNT; ++row) {
        RECT label = LabelRect(row);
        RECT value = ValueRect(row);
        if (m_pLabel[row])
            m_pLabel[row]->MoveWindow(&label);
        if (m_pValue[row])
            m_pValue[row]->MoveWindow(&value);
    }
}

void CTemplateInfoEventImp::SetValue(int row, const wchar_t* text)
{
    if (!m_pValue[row])
        return;
    m_pValue[row]->SetStaticText(text);
    // Cells are 80 pixels wide: the tool tip carries a text that is cut.
    m_pValue[row]->SetToolTipText(text);
}

void CTemplateInfoEventImp::SetNumber(int row, int value)
{
    wchar_t text[64] = {};
    IntToWide(value, text);
    SetValue(row, text);
}

void CTemplateInfoEventImp::SetRowColor(int row, unsigned colour)
{
    if (m_pLabel[row])
        m_pLabel[row]->SetTextColor(colour);
    if (m_pValue[row])
        m_pValue[row]->SetTextColor(colour);
}

int CTemplateInfoEventImp::SetTemplateInfo(const tagTEMPLATEINFO& info)
{
    const std::wstring name(info.name, wcsnlen(info.name, TEMPLATE_NAME_LEN));
    SetValue(ROW_NAME, name.c_str());
    ShowImage(info);
    ShowMainStream(info.Encode);
    ShowExtraStream(info.Encode);
    LayoutRows();
    return 0;
}

void CTemplateInfoEventImp::ShowImage(const tagTEMPLATEINFO& info)
{
    const tagTEMPLATE_VIDEOCOLOR& c = info.VideoColor;
    SetValue(ROW_COLOR_MODE, Tr(c.ColorMode == TEMPLATE_COLOR_STANDARD ? L"Standard"
                                : c.ColorMode == TEMPLATE_COLOR_SOFT   ? L"Soft"
                                                                       : L"Bright"));
    SetNumber(ROW_BRIGHTNESS, c.Brightness);
    SetNumber(ROW_CONTRAST, c.Contrast);
    SetNumber(ROW_GAMMA, c.Hue);
    SetNumber(ROW_SATURATION, c.Saturation);

    // The first rule that matches decides; the level row keeps its label when no level applies.
    const tagTEMPLATE_BLC& b = info.BLC;
    if (b.Backlight == TEMPLATE_BLC_BLC) {
        SetValue(ROW_BLC_MODE, Tr(L"BLC"));
        SetValue(ROW_BLC_LEVEL, L"0");
        SetRowColor(ROW_BLC_LEVEL, kGrey);
    } else if (b.WideDynamicRange != 0) {
        SetValue(ROW_BLC_MODE, Tr(L"WDR"));
        SetNumber(ROW_BLC_LEVEL, b.WideDynamicRange);
        m_pLabel[ROW_BLC_LEVEL]->SetStaticText(Tr(L"WDR:"));
        SetRowColor(ROW_BLC_LEVEL, kBlack);
    } else if (b.GlareInhibition != 0) {
        SetValue(ROW_BLC_MODE, Tr(L"HLC"));
        SetNumber(ROW_BLC_LEVEL, b.GlareInhibition);
        m_pLabel[ROW_BLC_LEVEL]->SetStaticText(Tr(L"HLC:"));
        SetRowColor(ROW_BLC_LEVEL, kBlack);
    } else {
        SetValue(ROW_BLC_MODE, Tr(L"OFF"));
        SetValue(ROW_BLC_LEVEL, L"0");
        SetRowColor(ROW_BLC_LEVEL, kGrey);
    }

    const uint8_t dayNight = info.DayNight.DayNight;
    SetValue(ROW_DAYNIGHT, Tr(dayNight == TEMPLATE_DAYNIGHT_COLOR  ? L"Color"
                              : dayNight == TEMPLATE_DAYNIGHT_AUTO ? L"Auto"
                                                                   : L"BlackWhite"));

    const tagTEMPLATE_FILEMANAGE& f = info.FileManage;
    switch (f.FileManage) {
    case TEMPLATE_FILEMANAGE_NORMAL:
        SetValue(ROW_FILEMANAGE, Tr(L"Normal"));
        break;
    case TEMPLATE_FILEMANAGE_ALLDAY_DAY:
        SetValue(ROW_FILEMANAGE, Tr(L"Day"));
        break;
    case TEMPLATE_FILEMANAGE_ALLDAY_NIGHT:
        SetValue(ROW_FILEMANAGE, Tr(L"Night"));
        break;
    default: {
        // Each part two digits: a hand-edited file may hold any number.
        wchar_t range[32] = {};
        WideFormat(range, 32, L"%02d:%02d:%02d-%02d:%02d:%02d", Clamp99(f.StartTimeHour), Clamp99(f.StartTimeMinute),
                   Clamp99(f.StartTimeSecond), Clamp99(f.EndTimeHour), Clamp99(f.EndTimeMinute),
                   Clamp99(f.EndTimeSecond));
        SetValue(ROW_FILEMANAGE, range);
        break;
    }
    }
}

struct CTemplateInfoEventImp::StreamFields {
    int type, width, height, standard, frameRate, bitRateControl, quality, bitRate, audioEnable;
    const char* codec;
    const char* audioCodec;
};

void CTemplateInfoEventImp::ShowStream(int shift, const StreamFields& s)
{
    static_assert(ROW_EXTRA_AUDIO_CODEC - ROW_EXTRA_TYPE == ROW_MAIN_AUDIO_CODEC - ROW_MAIN_TYPE,
                  "the extra stream's rows follow the main stream's order");
    const wchar_t* type = StreamTypeText(s.type);
    if (type)
        SetValue(ROW_MAIN_TYPE + shift, Tr(type));
    else
        SetNumber(ROW_MAIN_TYPE + shift, s.type);
    SetValue(ROW_MAIN_CODEC + shift, CodecText(s.codec).c_str());
    SetValue(ROW_MAIN_RESOLUTION + shift, Resolution(s.width, s.height, s.standard).c_str());
    SetNumber(ROW_MAIN_FRAMERATE + shift, s.frameRate);
    SetValue(ROW_MAIN_BITRATE_CONTROL + shift, Tr(s.bitRateControl == TEMPLATE_BITRATE_CBR ? L"CBR" : L"VBR"));
    SetNumber(ROW_MAIN_QUALITY + shift, s.quality);
    SetNumber(ROW_MAIN_BITRATE + shift, s.bitRate);
    SetValue(ROW_MAIN_AUDIO_ENABLE + shift, s.audioEnable != 0 ? L"true" : L"false");
    SetValue(ROW_MAIN_AUDIO_CODEC + shift, CodecText(s.audioCodec).c_str());
}

void CTemplateInfoEventImp::ShowMainStream(const tagTEMPLATE_ENCODE& e)
{
    ShowStream(0, {e.MStreamNType, e.MStreamNWidth, e.MStreamNHeight, e.MVideoStandard, e.MStreamNFrameRate,
                   e.MStreamNBitRateControl, e.MStreamNImageQuality, e.MStreamNBitRate, e.MAudioEnable,
                   e.MStreamNCodeMode, e.MAudioEncode});
    // Quality does not apply to a constant bit rate.
    SetRowColor(ROW_MAIN_QUALITY, e.MStreamNBitRateControl == TEMPLATE_BITRATE_CBR ? kGrey : kBlack);
}

void CTemplateInfoEventImp::ShowExtraStream(const tagTEMPLATE_ENCODE& e)
{
    SetValue(ROW_EXTRA_ENABLE, e.EStreamMEnable != 0 ? L"true" : L"false");
    ShowStream(ROW_EXTRA_TYPE - ROW_MAIN_TYPE,
               {e.EStreamNType, e.EStreamNWidth, e.EStreamNHeight, e.EVideoStandard, e.EStreamNFrameRate,
                e.EStreamNBitRateControl, e.EStreamNImageQuality, e.EStreamNBitRate, e.EAudioEnable,
                e.EStreamNCodeMode, e.EAudioEncode});

    const bool enabled = e.EStreamMEnable != 0;
    for (int row = ROW_EXTRA_TYPE; row <= ROW_EXTRA_BITRATE; ++row)
        SetRowColor(row, enabled ? kBlack : kGrey);
    if (enabled && e.EStreamNBitRateControl == TEMPLATE_BITRATE_CBR)
        SetRowColor(ROW_EXTRA_QUALITY, kGrey);
}

int CTemplateInfoEventImp::ClearTemplateInfo()
{
    for (int row = 0; row < ROW_COUNT; ++row)
        SetValue(row, L"");
    if (m_pLabel[ROW_BLC_LEVEL])
        m_pLabel[ROW_BLC_LEVEL]->SetStaticText(Tr(L"WDR:"));
    SetRowColor(ROW_MAIN_QUALITY, kBlack);
    for (int row = ROW_EXTRA_TYPE; row <= ROW_EXTRA_BITRATE; ++row)
        SetRowColor(row, kBlack);
    SetRowColor(ROW_BLC_LEVEL, kBlack);
    return 0;
}
