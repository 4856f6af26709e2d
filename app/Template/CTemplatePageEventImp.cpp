// Template editor page: the form and the rules that keep dependent controls in line; see the header.
#include "Template/CTemplatePageEventImp.h"

#include <cstring>
#include <cwchar>

#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/TemplatePageLists.h"
#include "Template/TemplateResolution.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFSkinStyle.h"

namespace {

enum : unsigned {
    kAlignLabel = 2,       // right
    kAlignValue = 0,
    kAlignCheckLabel = 6,  // right, vertically centred
};

// Rows are 24 high, 8 apart; two columns of label (120) and control.
enum : int { kRowStep = 32, kRowHeight = 24, kLabelWidth = 120, kControlLeft = 130, kControlWidth = 200 };
enum : int { kColumnLeft0 = 0, kColumnLeft1 = 400, kTitleTop = 8, kFirstRowTop = 40 };

RECT Rc(int left, int top, int width, int height) { return RECT{left, top, left + width, top + height}; }
RECT RowLabel(int column, int top) { return Rc(column, top + 4, kLabelWidth, kRowHeight - 4); }
RECT RowControl(int column, int top, int width = kControlWidth)
{
    return Rc(column + kControlLeft, top, width, kRowHeight);
}

void FillComboSkin(ImageComboBoxStyle& s)
{
    s.strImage = L"ComboBox.png";
    s.strNormalRect = s.strHoverRect = L"0,2,150,22";
    s.strDropDownRect = s.strDropUpRect = L"0,86,150,23";
    s.strDisabledRect = L"0,30,150,22";
    s.strExtraRect1 = L"0,2,150,22";
    s.strExtraRect2 = L"0,30,150,22";
    s.strNormalMode = s.strHoverMode = s.strDropUpMode = s.strDropDownMode = s.strDisabledMode = s.strExtraMode1 =
        s.strExtraMode2 = L"tile";
}

void FillSliderSkin(ImageSliderStyle& s)
{
    s.strImage = L"slider.png";
    s.strPieceRect1 = L"0,2,122,24";
    s.strPieceRect2 = L"122,2,122,24";
    s.strPieceRect3 = L"244,0,24,24";
    s.strPieceRect4 = L"268,0,24,24";
    s.strPieceRect5 = L"292,0,24,24";
    s.strPieceRect6 = L"316,0,24,24";
    s.strSpare1 = s.strSpare2 = s.strSpare3 = s.strSpare4 = s.strSpare5 = s.strSpare6 = L"tile";
}

void FillCheckSkin(ImageRadioBox& s)
{
    s.strCheckedNormal = s.strCheckedHover = s.strCheckedPressed = L"Select_Check.png";
    s.strUncheckedNormal = s.strUncheckedHover = s.strUncheckedPressed = L"Select_unCheck.png";
    s.strCheckedDisabled = s.strUncheckedDisabled = L"Select_Unable.png";
}

void FillTimeSkin(ImageDateTimeStyle& s)
{
    s.strSpare1 = s.strFrameImage = L"bg_time_noal.png";
    s.strDownImage = L"0,0,181,26";
    s.strDownHoverImage = L"0,26,181,26";
    s.strDownPressedImage = L"0,52,181,26";
    s.strDownDisabledImage = L"0,72,181,26";
    s.strSpare2 = L"161,0,20,26";
    s.strSpare3 = L"161,13,20,13";
    s.strSpare4 = L"161,0,20,13";
}

void SetColour(CSFStatic* label, bool black)
{
    if (label)
        label->SetTextColor(black ? CTemplatePageEventImp::kBlack : CTemplatePageEventImp::kGrey);
}

} // namespace

CTemplatePageEventImp::CTemplatePageEventImp(std::weak_ptr<CTemplateEditEventImp> shell, const TemplatePageKind& kind)
    : m_wpShell(std::move(shell)), m_kind(kind)
{
    std::memset(&m_defaults, 0, sizeof(m_defaults));
    std::memset(&m_reference, 0, sizeof(m_reference));
    Init();
}

CTemplatePageEventImp::~CTemplatePageEventImp() = default;

int CTemplatePageEventImp::Init()
{
    m_pView = CreateSFView(this);
    if (!m_pView)
        return 0;
    m_pView->SetBGClr(0xF5EFED);
    m_pView->SetFrameClr(0xF5EFED, 1);
    std::shared_ptr<CTemplateEditEventImp> shell = m_wpShell.lock();
    m_pView->Create(nullptr, m_kind.viewName, WS_CHILD, RECT{100, 0, 1000, 62}, shell ? shell->GetUIWnd() : nullptr,
                    m_kind.viewId);
    return 0;
}

void* CTemplatePageEventImp::MessageParent() const { return GetUIWnd(); }

CSFStatic* CTemplatePageEventImp::MakeLabel(void* area, const wchar_t* key, const RECT& rc, UINT align)
{
    CSFStatic* label = CreateSFStatic(this);
    label->Create(key ? Tr(key) : L"", WS_VISIBLE, rc, area, 0xFFFFFFFF);
    label->SetTextAlignFlag(align);
    if (key)
        label->SetToolTipText(Tr(key));
    return label;
}

CSFComboBox* CTemplatePageEventImp::MakeList(void* area, UINT id, const RECT& rc, const wchar_t* const* items,
                                             int count, bool translate)
{
    CSFComboBox* list = CreateSFComboBox(this);
    ImageComboBoxStyle skin;
    FillComboSkin(skin);
    list->SetSkin(&skin);
    list->Create(WS_VISIBLE | WS_TABSTOP, rc, area, id);
    for (int i = 0; i < count; ++i)
        list->AddString(translate ? Tr(items[i]) : items[i]);
    list->SetCurSel(0);
    return list;
}

CSFSliderCtrl* CTemplatePageEventImp::MakeSlider(void* area, UINT id, const RECT& rc, int lo, int hi, CSFStatic** value)
{
    CSFSliderCtrl* slider = CreateSFSliderCtrl(this);
    ImageSliderStyle skin;
    FillSliderSkin(skin);
    slider->SetSkin(&skin);
    slider->Create(WS_VISIBLE | WS_TABSTOP, rc, area, id, SLIDER_RESPONSE_CHANGING);
    slider->SetRange(lo, hi, 1);
    slider->SetPos(lo);
    *value = MakeLabel(area, nullptr, RECT{rc.right + 10, rc.top + 4, rc.right + 50, rc.bottom}, kAlignValue);
    (*value)->SetStaticText(L"0");
    return slider;
}

CSFRadioBox* CTemplatePageEventImp::MakeCheck(void* area, UINT id, const RECT& rc)
{
    CSFRadioBox* box = CreateSFRadioBox(this);
    ImageRadioBox skin;
    FillCheckSkin(skin);
    box->SetSkin(&skin);
    box->Create(L"", WS_VISIBLE | WS_TABSTOP, rc, area, id);
    box->SetCheck(1);
    return box;
}

void CTemplatePageEventImp::BuildStream(int s, void* area, int left, int top)
{
    using namespace tpllists;
    StreamRow& r = m_stream[s];
    const bool main = s == MAIN;
    int y = top;
    r.typeLabel = MakeLabel(area, main ? L"Main Stream" : L"Sub Stream", RowLabel(left, y), kAlignLabel);
    r.type = MakeList(area, main ? ID_MAIN_TYPE : ID_SUB_TYPE, RowControl(left, y), kStreamKinds, kStreamKindCount, true);
    y += kRowStep;
    r.codecLabel = MakeLabel(area, L"Encode Mode", RowLabel(left, y), kAlignLabel);
    r.codec = MakeList(area, main ? ID_MAIN_CODEC : ID_SUB_CODEC, RowControl(left, y), kCodecs, kCodecCount, false);
    y += kRowStep;
    r.standardLabel = MakeLabel(area, L"Vedio Standard", RowLabel(left, y), kAlignLabel);
    r.standard = MakeList(area, 0xFFFFFFFF, RowControl(left, y), kStandards, kStandardCount, true);
    y += kRowStep;
    r.resolutionLabel = MakeLabel(area, L"Resolution", RowLabel(left, y), kAlignLabel);
    const wchar_t* names[TEMPLATE_RESOLUTION_COUNT];
    for (int i = 0; i < TEMPLATE_RESOLUTION_COUNT; ++i)
        names[i] = GetTemplateResolutionName(i);
    r.resolution = MakeList(area, 0xFFFFFFFF, RowControl(left, y), names, TEMPLATE_RESOLUTION_COUNT, true);
    y += kRowStep;
    r.fpsLabel = MakeLabel(area, L"Frame Rate", RowLabel(left, y), kAlignLabel);
    r.fps = MakeSlider(area, main ? ID_MAIN_FPS : ID_SUB_FPS, RowControl(left, y, 150), 1, kMaxFrameRate, &r.fpsValue);
    y += kRowStep;
    r.brcLabel = MakeLabel(area, L"Bit Rate Control", RowLabel(left, y), kAlignLabel);
    r.brc = MakeList(area, main ? ID_MAIN_BRC : ID_SUB_BRC, RowControl(left, y), kBitRateControls,
                     kBitRateControlCount, true);
    y += kRowStep;
    r.qualityLabel = MakeLabel(area, L"Image Quality", RowLabel(left, y), kAlignLabel);
    r.quality = MakeSlider(area, main ? ID_MAIN_QUALITY : ID_SUB_QUALITY, RowControl(left, y, 150), 1, 6,
                           &r.qualityValue);
    y += kRowStep;
    r.bitRateLabel = MakeLabel(area, L"Bit Rate(kbps)", RowLabel(left, y), kAlignLabel);
    r.bitRate = CreateSFEditCtrl(this);
    r.bitRate->Create(WS_VISIBLE | WS_TABSTOP, RowControl(left, y), area, 0xFFFFFFFF, false);
    r.bitRate->SetSkin(L"bg_edit.png");
    r.bitRate->SetMaxLength(kMaxBitRateText);
    y += kRowStep;

    // Hidden, never shown: the I-frame interval and SVC of the stream.
    r.iFrameLabel = MakeLabel(area, L"I Frame Interval", RowLabel(left, y), kAlignLabel);
    r.iFrameLabel->ShowWindow(0);
    r.iFrame = CreateSFEditCtrl(this);
    r.iFrame->Create(WS_TABSTOP, RowControl(left, y, 80), area, main ? ID_MAIN_IFRAME : ID_SUB_IFRAME, false);
    r.iFrame->SetWindowTextW(L"50");
    r.iFrame->ShowWindow(0);
    r.iFrameRange = MakeLabel(area, L" (1~150)", Rc(left + 220, y + 4, 80, 20), kAlignValue);
    r.iFrameRange->ShowWindow(0);
    r.svcLabel = MakeLabel(area, L"SVC", RowLabel(left, y), kAlignLabel);
    r.svcLabel->ShowWindow(0);
    r.svc = MakeList(area, main ? ID_MAIN_SVC : ID_SUB_SVC, RowControl(left, y), kSvcLevels, kSvcLevelCount, true);
    r.svc->ShowWindow(0);

    r.audioLabel = MakeLabel(area, L"Audio Enable", RowLabel(left, y), kAlignCheckLabel);
    r.audio = MakeCheck(area, main ? ID_MAIN_AUDIO : ID_SUB_AUDIO, Rc(left + kControlLeft, y + 4, 16, 16));
    y += kRowStep;
    r.audioCodecLabel = MakeLabel(area, L"Audio Encode", RowLabel(left, y), kAlignLabel);
    r.audioCodec = MakeList(area, ID_AUDIO_CODEC, RowControl(left, y), kAudioCodecs, kAudioCodecCount, false);
}

void CTemplatePageEventImp::BuildVideo(void* area, int top)
{
    using namespace tpllists;
    m_pVideoTitle = MakeLabel(area, L"Video Config", Rc(10, top, 300, 24), kAlignValue);
    m_pVideoTitle->SetTextBold(1);
    int y = top + kFirstRowTop - kTitleTop;
    const int left = kColumnLeft0;
    m_pColorModeLabel = MakeLabel(area, L"Color Mode", RowLabel(left, y), kAlignLabel);
    m_pColorMode = MakeList(area, ID_COLOR_MODE, RowControl(left, y), kColorModes, kColorModeCount, true);
    static const wchar_t* const kColorKeys[4] = {L"Brightness", L"Contrast", L"Gamma", L"Saturation"};
    for (int i = 0; i < 4; ++i) {
        y += kRowStep;
        m_pColorLabel[i] = MakeLabel(area, kColorKeys[i], RowLabel(left, y), kAlignLabel);
        m_pColor[i] = MakeSlider(area, ID_BRIGHTNESS + i, RowControl(left, y, 150), 0, 100, &m_pColorValue[i]);
    }
    y += kRowStep;
    m_pBlcModeLabel = MakeLabel(area, L"BLC Mode", RowLabel(left, y), kAlignLabel);
    m_pBlcMode = MakeList(area, ID_BLC_MODE, RowControl(left, y, 90), kBacklights, kBacklightCount, true);
    m_pBlcLevel = MakeSlider(area, ID_BLC_LEVEL, Rc(left + kControlLeft + 100, y, 100, kRowHeight), 1, 100,
                             &m_pBlcLevelValue);

    const int right = kColumnLeft1;
    y = top + kFirstRowTop - kTitleTop;
    m_pDayNightLabel = MakeLabel(area, L"Day/Night Mode", RowLabel(right, y), kAlignLabel);
    m_pDayNight = MakeList(area, 0xFFFFFFFF, RowControl(right, y), kDayNights, kDayNightCount, true);
    y += kRowStep;
    m_pFileManageLabel = MakeLabel(area, L"FileManage", RowLabel(right, y), kAlignLabel);
    m_pFileManage = MakeList(area, ID_FILE_MANAGE, RowControl(right, y), kFileManages, kFileManageCount, true);
    y += kRowStep;
    m_pAlwaysUseLabel = MakeLabel(area, L"AlwaysUse", RowLabel(right, y), kAlignLabel);
    m_pAlwaysUse = MakeList(area, ID_ALWAYS_USE, RowControl(right, y), kAlwaysUses, kAlwaysUseCount, true);
    m_pAlwaysUseLabel->ShowWindow(0);
    m_pAlwaysUse->ShowWindow(0);
    // The time rows take the place of the "AlwaysUse" row: only one of them is shown.
    ImageDateTimeStyle timeSkin;
    FillTimeSkin(timeSkin);
    m_pStartLabel = MakeLabel(area, L"Day Start Time", RowLabel(right, y), kAlignLabel);
    m_pStartTime = CreateSFDateTimeCtrl(this, 1);
    m_pStartTime->SetSkin(&timeSkin);
    m_pStartTime->Create(WS_TABSTOP, RowControl(right, y, 120), area, ID_START_TIME);
    y += kRowStep;
    m_pEndLabel = MakeLabel(area, L"Day End Time", RowLabel(right, y), kAlignLabel);
    m_pEndTime = CreateSFDateTimeCtrl(this, 1);
    m_pEndTime->SetSkin(&timeSkin);
    m_pEndTime->Create(WS_TABSTOP, RowControl(right, y, 120), area, ID_END_TIME);
    _SF_SYSTEMTIME t = {};
    m_pStartTime->SetTime(&t);
    t.wHour = 23;
    t.wMinute = 59;
    t.wSecond = 59;
    m_pEndTime->SetTime(&t);
    for (CSFStatic* label : {m_pStartLabel, m_pEndLabel})
        label->ShowWindow(0);
    m_pStartTime->ShowWindow(0);
    m_pEndTime->ShowWindow(0);
}

int CTemplatePageEventImp::OnCreate()
{
    m_pForm = CreateSFScrollArea(nullptr);
    if (!m_pForm)
        return 1;
    m_pForm->Create(WS_CHILD | WS_VISIBLE, RECT{8, 0, 920, 388}, 800, 850, GetUIWnd(), 0);
    ScrollAreaStyle skin;
    skin.strBkImage = L"/bgColorWhite.png";
    m_pForm->SetSkin(&skin);
    void* area = m_pForm->GetUIWnd();

    m_pEncodeTitle = MakeLabel(area, L"Encode Config", Rc(10, kTitleTop, 300, 24), kAlignValue);
    m_pEncodeTitle->SetTextBold(1);
    BuildStream(MAIN, area, kColumnLeft0, kFirstRowTop);
    // The sub stream's column starts with its switch.
    m_pVideoEnableLabel = MakeLabel(area, L"Video Enable", RowLabel(kColumnLeft1, kFirstRowTop), kAlignCheckLabel);
    m_pVideoEnable = MakeCheck(area, ID_VIDEO_ENABLE, Rc(kColumnLeft1 + kControlLeft, kFirstRowTop + 4, 16, 16));
    BuildStream(SUB, area, kColumnLeft1, kFirstRowTop + kRowStep);
    BuildVideo(area, kFirstRowTop + 11 * kRowStep + 16);

    RADIO_OnClicked(m_pVideoEnable->GetCheck(), ID_VIDEO_ENABLE, POINT{0, 0});
    SF_OnSliderPos(ID_MAIN_FPS, 1);
    SF_OnSliderPos(ID_SUB_FPS, 1);
    SF_OnSliderPos(ID_MAIN_QUALITY, 1);
    SF_OnSliderPos(ID_SUB_QUALITY, 1);
    SF_OnSliderPos(ID_BLC_LEVEL, 50);
    for (int id : {ID_COLOR_MODE, ID_BLC_MODE, ID_MAIN_BRC, ID_SUB_BRC, ID_FILE_MANAGE}) {
        CSFComboBox* list = id == ID_COLOR_MODE  ? m_pColorMode
                            : id == ID_BLC_MODE  ? m_pBlcMode
                            : id == ID_MAIN_BRC  ? m_stream[MAIN].brc
                            : id == ID_SUB_BRC   ? m_stream[SUB].brc
                                                 : m_pFileManage;
        SelectChanged(id, list->GetCurSel());
    }
    GetTemplate(&m_defaults, false);
    // A new template has no name of its own: the shell empties its name field before a reset.
    std::wmemset(m_defaults.name, 0, TEMPLATE_NAME_LEN);
    return 1;
}

void CTemplatePageEventImp::OnDestroy()
{
    // The widgets go with the view's window; the pointers must not outlive it.
    m_pForm = nullptr;
    m_stream[MAIN] = StreamRow();
    m_stream[SUB] = StreamRow();
}

void CTemplatePageEventImp::SetSliderValue(CSFSliderCtrl* slider, CSFStatic* value, int pos)
{
    if (slider)
        slider->SetPos(pos);
    if (value) {
        wchar_t text[16] = {};
        IntToWide(slider ? slider->GetPos() : pos, text);
        value->SetStaticText(text);
    }
}

void CTemplatePageEventImp::SF_OnSliderPos(int id, int pos)
{
    switch (id) {
    case ID_BRIGHTNESS:
    case ID_CONTRAST:
    case ID_GAMMA:
    case ID_SATURATION:
        SetSliderValue(m_pColor[id - ID_BRIGHTNESS], m_pColorValue[id - ID_BRIGHTNESS], pos);
        break;
    case ID_BLC_LEVEL:
        SetSliderValue(m_pBlcLevel, m_pBlcLevelValue, pos);
        break;
    case ID_MAIN_QUALITY:
    case ID_SUB_QUALITY: {
        StreamRow& r = m_stream[id == ID_MAIN_QUALITY ? MAIN : SUB];
        SetSliderValue(r.quality, r.qualityValue, pos);
        break;
    }
    case ID_MAIN_FPS:
    case ID_SUB_FPS: {
        const int s = id == ID_MAIN_FPS ? MAIN : SUB;
        StreamRow& r = m_stream[s];
        SetSliderValue(r.fps, r.fpsValue, pos);
        m_iFrameLow[s] = pos;
        wchar_t text[32] = {};
        WideFormat(text, 32, L" (%d~150)", pos);
        if (r.iFrameRange)
            r.iFrameRange->SetStaticText(text);
        IntToWide(pos * 2, text);
        if (r.iFrame)
            r.iFrame->SetWindowTextW(text);
        break;
    }
    default:
        break;
    }
}

void CTemplatePageEventImp::SetLevelEnabled(bool enabled)
{
    m_pBlcLevel->EnableWindow(enabled ? 1 : 0);
    SetColour(m_pBlcLevelValue, enabled);
}

void CTemplatePageEventImp::ApplyStreamKind(int s, int index)
{
    if (!m_kind.streamKindRule)
        return;
    const int enable = index == TEMPLATE_STREAM_MOTION || index == TEMPLATE_STREAM_ALARM ? 0 : 1;
    StreamRow& r = m_stream[s];
    r.codec->EnableWindow(enable);
    r.standard->EnableWindow(enable);
    r.resolution->EnableWindow(enable);
}

void CTemplatePageEventImp::ApplyBitRateControl(int s, int index)
{
    StreamRow& r = m_stream[s];
    const bool vbr = index != TEMPLATE_BITRATE_CBR;
    r.quality->EnableWindow(vbr ? 1 : 0);
    SetColour(r.qualityLabel, vbr);
    SetColour(r.qualityValue, vbr);
}

void CTemplatePageEventImp::ApplyCodec(int s, int index)
{
    StreamRow& r = m_stream[s];
    const bool mjpg = index == tpllists::kCodecMjpg;
    if (mjpg) {
        r.brc->SetCurSel(TEMPLATE_BITRATE_CBR);
        r.brc->EnableWindow(0);
        ApplyBitRateControl(s, TEMPLATE_BITRATE_CBR);
    } else {
        r.brc->EnableWindow(1);
    }
    r.iFrame->EnableWindow(mjpg ? 0 : 1);
    r.svc->EnableWindow(mjpg ? 0 : 1);
}

void CTemplatePageEventImp::ApplyFileManage(int index)
{
    if (index < 0 || index >= tpllists::kFileManageCount)
        return;
    const int always = index == tpllists::kFileManageAllDay ? 1 : 0;
    const int byTime = index == tpllists::kFileManageByTime ? 1 : 0;
    m_pAlwaysUseLabel->ShowWindow(always);
    m_pAlwaysUse->ShowWindow(always);
    m_pStartLabel->ShowWindow(byTime);
    m_pStartTime->ShowWindow(byTime);
    m_pEndLabel->ShowWindow(byTime);
    m_pEndTime->ShowWindow(byTime);
}

void CTemplatePageEventImp::SelectChanged(int id, int index)
{
    switch (id) {
    case ID_COLOR_MODE: {
        static const int kPresets[3][4] = {{50, 50, 50, 50}, {55, 50, 40, 40}, {70, 50, 50, 60}};
        if (index >= 0 && index < 3)
            std::memcpy(m_preset, kPresets[index], sizeof(m_preset));
        for (int i = 0; i < 4; ++i)
            SetSliderValue(m_pColor[i], m_pColorValue[i], m_preset[i]);
        break;
    }
    case ID_BLC_MODE:
        if (index == TEMPLATE_BLC_WDR || index == TEMPLATE_BLC_HLC) {
            SetSliderValue(m_pBlcLevel, m_pBlcLevelValue, 50);
            SetLevelEnabled(true);
        } else {
            SetSliderValue(m_pBlcLevel, nullptr, 0);
            m_pBlcLevelValue->SetStaticText(L"0");
            SetLevelEnabled(false);
        }
        break;
    case ID_MAIN_TYPE:
    case ID_SUB_TYPE:
        ApplyStreamKind(id == ID_MAIN_TYPE ? MAIN : SUB, index);
        break;
    case ID_MAIN_BRC:
    case ID_SUB_BRC:
        ApplyBitRateControl(id == ID_MAIN_BRC ? MAIN : SUB, index);
        break;
    case ID_MAIN_CODEC:
    case ID_SUB_CODEC:
        ApplyCodec(id == ID_MAIN_CODEC ? MAIN : SUB, index);
        break;
    case ID_FILE_MANAGE:
        ApplyFileManage(index);
        break;
    default:
        break;
    }
}

void CTemplatePageEventImp::ApplyVideoEnable(bool on)
{
    StreamRow& r = m_stream[SUB];
    for (CSFStatic* label : {r.typeLabel, r.codecLabel, r.standardLabel, r.resolutionLabel, r.fpsLabel, r.brcLabel,
                             r.qualityLabel, r.bitRateLabel, r.audioLabel, r.audioCodecLabel, r.fpsValue,
                             r.qualityValue})
        SetColour(label, on);
    for (CSFComboBox* list : {r.type, r.codec, r.standard, r.resolution, r.brc})
        list->EnableWindow(on ? 1 : 0);
    r.fps->EnableWindow(on ? 1 : 0);
    r.bitRate->EnableWindow(on ? 1 : 0);
    if (!on) {
        r.quality->EnableWindow(0);
        return;
    }
    ApplyStreamKind(SUB, r.type->GetCurSel());
    ApplyCodec(SUB, r.codec->GetCurSel());
    ApplyBitRateControl(SUB, r.brc->GetCurSel());
}

void CTemplatePageEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id == ID_VIDEO_ENABLE)
        ApplyVideoEnable(checked != 0);
}

void CTemplatePageEventImp::EDIT_OnEnterPressed(UINT id, wchar_t* text)
{
    // Only the hidden I-frame boxes answer: a value outside its range goes back to the bound.
    if (id != ID_MAIN_IFRAME && id != ID_SUB_IFRAME)
        return;
    const int s = id == ID_MAIN_IFRAME ? MAIN : SUB;
    int value = 0;
    if (!text || !ParseWideUInt(text, value, 3) || value < m_iFrameLow[s] || value > 150) {
        wchar_t low[16] = {};
        IntToWide(m_iFrameLow[s], low);
        m_stream[s].iFrame->SetWindowTextW(low);
    }
}
