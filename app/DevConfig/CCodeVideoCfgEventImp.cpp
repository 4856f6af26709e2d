// The configuration window: frame, panels, tab switch, IMAGE and FileManage tabs, focus assistant.
#include "DevConfig/CCodeVideoCfgEventImp.h"

#include <algorithm>
#include <cstring>

#include "Common/Translate.h"
#include "DevConfig/CAcountDlg.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevConfig/CVideoInfocus.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFVideoInFocus.h"
#include "Widgets/SkinRecords.h"

#include <QWidget>

namespace {

constexpr DWORD kVisible = 0x10000000;
constexpr DWORD kChildVisible = 0x50000000;

enum : int {
    ID_TAB_ENCODE = 1018, ID_TAB_IMAGE = 1019, ID_TAB_FILE = 1158,
    ID_DEVICE_INFO = 1105, ID_REFRESH = 1106, ID_EASY_FOCUS = 1041, ID_DEFAULT = 1040,
    ID_VIDEO = 1039, ID_PROFILE = 1162, ID_IMAGE_CHANNEL = 1057,
    ID_STANDARD = 1056, ID_SOFT = 1055, ID_BRIGHT = 1054,
    ID_BRIGHTNESS = 1053, ID_CONTRAST = 1052, ID_GAMMA = 1051, ID_SATURATION = 1050,
    ID_BLC = 1058, ID_DN_COLOR = 1044, ID_DN_AUTO = 1043, ID_DN_BW = 1042,
    ID_FILE_NORMAL = 1159, ID_FILE_ALLDAY = 1160, ID_FILE_BYTIME = 1161,
    // The FileManage Day/Night combo has an id of its own: it only changes what "Save" sends.
    ID_FILE_DAYNIGHT = 1166, ID_FILE_START = 1163, ID_FILE_END = 1164, ID_FILE_SAVE = 1165,
};

// Switch modes of the device's profile rule.
enum : int { kModeDay = 0, kModeByTime = 2, kModeNight = 3, kModeNormal = 4 };

int SecondsOf(const _SF_SYSTEMTIME& t) { return (t.wHour * 60 + t.wMinute) * 60 + t.wSecond; }

// Colour entry of the channel colour record in use for a profile.
int32_t* ColorStyleField(AV_CFG_ChannelVideoColor& rec, int profile)
{
    auto* bytes = reinterpret_cast<unsigned char*>(&rec);
    int32_t count = 0;
    std::memcpy(&count, bytes + 4, 4);
    const int entry = count == 1 ? 0 : std::max(0, std::min(profile, 23));
    return reinterpret_cast<int32_t*>(bytes + 8 + 64 * entry + 60);
}

} // namespace

CCodeVideoCfgEventImp::CCodeVideoCfgEventImp(std::weak_ptr<CDevConfigEventImp> page) : m_wpPage(std::move(page)) {}

CCodeVideoCfgEventImp::~CCodeVideoCfgEventImp() {}

std::shared_ptr<CCodeVideoCfgEventImp> CCodeVideoCfgEventImp::Create(std::weak_ptr<CDevConfigEventImp> page,
                                                                      void* parent)
{
    auto window = std::make_shared<CCodeVideoCfgEventImp>(std::move(page));
    window->m_pView = CreateSFView(window.get());
    if (!window->m_pView)
        return window;
    window->m_pView->SetBGClr(0xffffff);
    window->m_pView->Create(nullptr, L"CodeVideoCfg", kChildVisible, RECT{0, 0, 1000, 62}, parent, 105);
    window->m_pAccountDlg = CAcountDlg::Show(window);
    window->m_pFocusDlg = ShowVideoInfocusDlg(window.get());
    return window;
}

int CCodeVideoCfgEventImp::OnCreate()
{
    BuildFrame();
    BuildEncodeTab();
    ShowEncodeTab(0);
    BuildImageTab();
    BuildFullScreenButton();
    ShowImageTab(0);
    BuildFileManageTab();
    ShowFileManageTab(0);
    BuildLayoutExtras();
    ShowLoadingAnimation(0);
    ShowLoginMessage(0, 0);
    ShowTabButtons(0);
    ShowStartPanel(1);
    return 1;
}

// ---- Control helpers ----

CSFStatic* CCodeVideoCfgEventImp::MakeLabel(const wchar_t* text, const RECT& rc, std::vector<CSFStatic*>& group)
{
    CSFStatic* label = CreateSFStatic(nullptr);
    label->Create(text, kVisible, rc, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(-1));
    label->SetTextAlignFlag(0x24);
    group.push_back(label);
    return label;
}

CSFComboBox* CCodeVideoCfgEventImp::MakeCombo(int id, const RECT& rc)
{
    CSFComboBox* combo = CreateSFComboBox(this);
    ImageComboBoxStyle skin;
    skin.strImage = L"ComboBox.png";
    skin.strNormalRect = skin.strExtraRect1 = L"0,2,150,22";
    skin.strHoverRect = skin.strExtraRect2 = L"0,58,150,22";
    skin.strDropDownRect = L"0,86,150,23";
    skin.strDropUpRect = L"0,58,150,23";
    skin.strDisabledRect = L"0,30,150,22";
    combo->SetSkin(&skin);
    combo->Create(kChildVisible | 0x00010000, rc, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id));
    m_combos.push_back(combo);
    m_comboIds.push_back(id);
    return combo;
}

CSFSliderCtrl* CCodeVideoCfgEventImp::MakeSlider(int id, const RECT& rc, CSFStatic* value)
{
    CSFSliderCtrl* slider = CreateSFSliderCtrl(this);
    slider->Create(kVisible | 0x00010000, rc, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id),
                   SLIDER_RESPONSE_RELEASE);
    slider->SetTooltipEnable(1, 1);
    m_sliders.push_back(slider);
    m_sliderIds.push_back(id);
    m_sliderValues.emplace_back(id, value);
    return slider;
}

CSFRadioBox* CCodeVideoCfgEventImp::MakeRadio(int id, const wchar_t* text, const RECT& rc)
{
    CSFRadioBox* radio = CreateSFRadioBox(this);
    const wchar_t* on = L"radio_check.png";
    const wchar_t* off = L"radio_uncheck.png";
    ImageRadioBox skin{on, on, on, off, off, off, on, off};
    radio->SetSkin(&skin);
    radio->Create(text, kVisible | 0x00010000, rc, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id));
    m_radios.push_back(radio);
    m_radioIds.push_back(id);
    return radio;
}

CSFButton* CCodeVideoCfgEventImp::MakeButton(int id, const wchar_t* text, const RECT& rc)
{
    CSFButton* button = CreateSFButton(this);
    button->Create(text, kVisible, rc, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id));
    m_buttons.push_back(button);
    m_buttonIds.push_back(id);
    return button;
}

CSFEditCtrl* CCodeVideoCfgEventImp::MakeEdit(int id, const RECT& rc)
{
    CSFEditCtrl* edit = CreateSFEditCtrl(this);
    edit->Create(kVisible, rc, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id), false);
    m_edits.push_back(edit);
    m_editIds.push_back(id);
    return edit;
}

template <class T>
static T* Find(const std::vector<T*>& controls, const std::vector<int>& ids, int id)
{
    for (size_t i = 0; i < ids.size(); ++i)
        if (ids[i] == id)
            return controls[i];
    return nullptr;
}

CSFComboBox* CCodeVideoCfgEventImp::Combo(int id) const { return Find(m_combos, m_comboIds, id); }
CSFSliderCtrl* CCodeVideoCfgEventImp::Slider(int id) const { return Find(m_sliders, m_sliderIds, id); }
CSFRadioBox* CCodeVideoCfgEventImp::Radio(int id) const { return Find(m_radios, m_radioIds, id); }
CSFEditCtrl* CCodeVideoCfgEventImp::Edit(int id) const { return Find(m_edits, m_editIds, id); }
CSFButton* CCodeVideoCfgEventImp::Button(int id) const { return Find(m_buttons, m_buttonIds, id); }

void CCodeVideoCfgEventImp::SetSliderValue(int sliderId, int value)
{
    for (auto& entry : m_sliderValues)
        if (entry.first == sliderId && entry.second)
            entry.second->SetStaticText(std::to_wstring(value).c_str());
}

std::wstring CCodeVideoCfgEventImp::SliderValueText(int sliderId) const
{
    for (auto& entry : m_sliderValues)
        if (entry.first == sliderId && entry.second) {
            wchar_t text[32] = {};
            entry.second->GetStaticText(text, 32);
            return text;
        }
    return {};
}

void CCodeVideoCfgEventImp::ShowGroup(const std::vector<CSFStatic*>& group, int show)
{
    for (CSFStatic* label : group)
        label->ShowWindow(show);
}

void CCodeVideoCfgEventImp::Message(const wchar_t* text, const wchar_t* caption)
{
    std::wstring body = Tr(text);
    std::wstring title = Tr(caption);
    ShowMessageBox(body.c_str(), title.c_str(), GetUIWnd(), 0);
}

// ---- Frame ----

void CCodeVideoCfgEventImp::BuildFrame()
{
    auto picture = [this](const wchar_t* image) {
        CSFPictureCtrl* p = CreateSFPictureCtrl(nullptr);
        p->Create(L"", kVisible, RECT{200, 200, 440, 441}, GetUIWnd(), 0);
        p->SetImage(image, false);
        return p;
    };
    m_pStartPicture = picture(L"start.png");
    m_pFailPicture = picture(L"loadfaile.png");
    m_pFailPicture->ShowWindow(0);
    m_pStartText = MakeLabel(Tr(L"* Or dblclick the device to get the Device Information."),
                             RECT{0, 0, 350, 35}, m_frameLabels);
    m_pStartText->SetTextAlignFlag(0x25);
    MakeButton(ID_DEVICE_INFO, Tr(L"Device Information"), RECT{275, 250, 425, 280});
    m_pLoading = CreateSFPictureEx(nullptr);
    m_pLoading->Create(L"", kVisible, RECT{180, 150, 531, 491}, GetUIWnd(), 0);
    m_pLoading->Load(L"loading.gif", 1);
    if (auto* w = dynamic_cast<QWidget*>(m_pLoading))
        w->setStyleSheet(QStringLiteral("background: transparent;"));
    m_pFailText = MakeLabel(L"", RECT{60, 200, 640, 240}, m_frameLabels);
    m_pFailText->SetTextAlignFlag(0x25);
    m_pFailText->SetTextColor(0x0000cc);
    MakeButton(ID_REFRESH, Tr(L"Refresh"), RECT{290, 250, 410, 280});
    ImageRadioBox tabSkin = MakeRadioSkin(L"tabAll_Check.png", L"tabAll_unCheck.png", L"tabAll_Check.png",
                                          L"tabAll_unCheck.png");
    const struct { int id; const wchar_t* text; int offset; } tabs[] = {
        {ID_TAB_ENCODE, L"Encode", -130}, {ID_TAB_IMAGE, L"IMAGE", -130}, {ID_TAB_FILE, L"FileManage", -120}};
    for (const auto& tab : tabs) {
        CSFRadioBox* radio = MakeRadio(tab.id, Tr(tab.text), RECT{20, 8, 140, 38});
        radio->SetSkin(&tabSkin);
        radio->SetTextOffset(tab.offset);
    }
}

void CCodeVideoCfgEventImp::ShowStartPanel(int show)
{
    m_pStartPicture->ShowWindow(show);
    m_pStartText->ShowWindow(show);
    Button(ID_DEVICE_INFO)->ShowWindow(show);
}

void CCodeVideoCfgEventImp::ShowLoadingAnimation(int show) { m_pLoading->ShowWindow(show); }

std::wstring CCodeVideoCfgEventImp::LoginErrorText(int code)
{
    static const wchar_t* const kTexts[] = {
        L"Incorrect password.", L"Account doesn't exist.", L"Login over time.", L"Account has been registered.",
        L"Account has been locked.", L"Account is in the blacklist.", L"System is busy.", L"Connection failed.",
        L"Connection failed.",
        L"* Failed to get the device Information, Please check The NetWork or Device.",
        L"Modify password failed."};
    const int entry = code >= 1 && code <= 11 ? code : 10;
    return Tr(kTexts[entry - 1]);
}

void CCodeVideoCfgEventImp::ShowLoginMessage(int show, int code)
{
    m_pFailPicture->ShowWindow(show);
    m_pFailText->ShowWindow(show);
    Button(ID_REFRESH)->ShowWindow(show);
    if (!show)
        return;
    m_pFailText->SetStaticText(LoginErrorText(code).c_str());
    m_pFailText->SetToolTipText(LoginErrorText(code).c_str());
    if ((code == 1 || code == 2) && m_pAccountDlg && m_pAccountDlg->GetDialog())
        m_pAccountDlg->GetDialog()->DoModalDlg();
}

void CCodeVideoCfgEventImp::ShowTabButtons(int show)
{
    for (int id : {ID_TAB_ENCODE, ID_TAB_IMAGE, ID_TAB_FILE})
        Radio(id)->ShowWindow(show);
}

void CCodeVideoCfgEventImp::SelectTab(int tab)
{
    if (tab == m_nCurTab) {
        Radio(tab == kTabEncode ? ID_TAB_ENCODE : tab == kTabImage ? ID_TAB_IMAGE : ID_TAB_FILE)->SetCheck(1);
        return;
    }
    if (tab == kTabEncode) {
        if (m_pRequests && m_lPlayHandle)
            m_pRequests->StopRealPlay(m_lPlayHandle);
        m_lPlayHandle = 0;
        // Back on Encode: stage what is shown and read the channel again.
        if (AllFlagsSet())
            SetConfig();
        SelectChannel(m_nChannel);
        RequestWaterMark(0, m_nChannel);
        ShowImageTab(0);
        ShowFileManageTab(0);
        ShowEncodeTab(1);
    } else if (tab == kTabImage) {
        if (m_pVideoWindow)
            m_pVideoWindow->SetSubWinVideo(0, 0);
        RequestVideoChannelParams(m_nImageChannel, -1);
        ShowEncodeTab(0);
        ShowFileManageTab(0);
        ShowImageTab(1);
    } else {
        if (m_pRequests && m_lPlayHandle)
            m_pRequests->StopRealPlay(m_lPlayHandle);
        m_lPlayHandle = 0;
        m_bFileLoaded = 0;
        if (m_pRequests)
            m_pRequests->GetFileConfigPara(m_nImageChannel);
        Radio(ID_TAB_ENCODE)->SetEnabled(0);
        Radio(ID_TAB_IMAGE)->SetEnabled(0);
        ShowEncodeTab(0);
        ShowImageTab(0);
        ShowFileManageTab(1);
    }
    m_nCurTab = tab;
}

void CCodeVideoCfgEventImp::RADIO_OnClicked(int checked, int id, POINT)
{
    const int tab = id == ID_TAB_ENCODE ? kTabEncode : id == ID_TAB_IMAGE ? kTabImage : id == ID_TAB_FILE ? kTabFileManage : -1;
    if (tab >= 0) {
        if (!checked)
            Radio(id)->SetCheck(1);
        else
            SelectTab(tab);
        return;
    }
    if (id == ID_FILE_NORMAL || id == ID_FILE_ALLDAY || id == ID_FILE_BYTIME) {
        if (m_nCurTab != kTabFileManage)
            return;
        if (!checked)
            Radio(id)->SetCheck(1);
        else
            FileModeRadio(id);
        return;
    }
    const bool imageRadio = id == ID_STANDARD || id == ID_SOFT || id == ID_BRIGHT || id == ID_DN_COLOR ||
                            id == ID_DN_AUTO || id == ID_DN_BW;
    if (imageRadio && !checked) {
        // A click on the checked choice changes nothing.
        Radio(id)->SetCheck(1);
        return;
    }
    if (id == ID_STANDARD || id == ID_SOFT || id == ID_BRIGHT) {
        if (RefuseImageChange()) {
            ApplyImageControls();
            return;
        }
        const int style = id == ID_SOFT ? 1 : id == ID_STANDARD ? 2 : 3;
        *ColorStyleField(*m_pVideoColor, m_nProfile) = style;
        ApplyImageControls();
        auto copy = std::make_shared<AV_CFG_ChannelVideoColor>(*m_pVideoColor);
        int32_t* used = reinterpret_cast<int32_t*>(ColorStyleField(*copy, m_nProfile)) - 13;  // entry offset 8
        if (*used == 0)
            *used = 1;
        // The style write has no answer; the colour write after it ends the save.
        m_pRequests->SaveVideoColor(m_nImageChannel, copy);
        // The colour values go with the style, as the sliders show them.
        SaveColor();
        return;
    }
    if (id == ID_DN_COLOR || id == ID_DN_AUTO || id == ID_DN_BW) {
        if (RefuseImageChange()) {
            ApplyImageControls();
            return;
        }
        m_pDayNight->emDayNight = id == ID_DN_COLOR ? 0 : id == ID_DN_AUTO ? 1 : 2;
        ApplyImageControls();
        ++m_nImageSaves;
        m_pRequests->SaveDayNightInfo(m_nImageChannel, std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>(*m_pDayNight));
        return;
    }
    EncodeRadio(checked, id);
}

void CCodeVideoCfgEventImp::BTN_OnClicked(int id)
{
    switch (id) {
    case ID_DEVICE_INFO:
    case ID_REFRESH: LoginSelectedDevice(); break;
    case 1037: OnEncodeOK(); break;
    case ID_EASY_FOCUS: OnEasyFocus(); break;
    case 1115: OnFullScreenButton(); break;
    case ID_DEFAULT: OnRestoreDefaultImage(); break;
    case ID_FILE_SAVE: OnSaveFileConfig(); break;
    default: break;
    }
}

void CCodeVideoCfgEventImp::SetDeviceAccount(const std::string& user, const std::string& password)
{
    if (auto page = m_wpPage.lock())
        page->SetSelectedAccount(user, password);
}

void CCodeVideoCfgEventImp::LoginSelectedDevice()
{
    if (auto page = m_wpPage.lock())
        page->LoginSelectedDevice();
}

// ---- Live video and focus ----

void CCodeVideoCfgEventImp::SetPlayHandle(long handle)
{
    if (handle)
        m_lPlayHandle = handle;
    m_nPlayChannel = m_nImageChannel;
}

void CCodeVideoCfgEventImp::ShowDecoderMissing(int show)
{
    if (!m_pDecoderMissing)
        return;
    m_bDecoderMissing = show != 0;
    m_pDecoderMissing->ShowWindow(show && m_nCurTab == kTabImage);
}

void CCodeVideoCfgEventImp::StartPreview(int ok)
{
    if (!m_bFullScreen)
        ShowFullScreenButton(ok && m_bVideoEffectLoaded && m_nCurTab == kTabImage);
    if (!ok || m_nCurTab != kTabImage || !m_pRequests || !m_pVideoWindow)
        return;
    if (m_lPlayHandle)
        m_pRequests->StopRealPlay(m_lPlayHandle);
    m_lPlayHandle = 0;
    m_pVideoWindow->SetSubWinVideo(0, 1);
    m_pRequests->StartRealPlay(m_nImageChannel, m_pVideoWindow->GetSubWinHandle(0));
}

void CCodeVideoCfgEventImp::EnableEasyFocusButton(int enable) { Button(ID_EASY_FOCUS)->EnableWindow(enable); }

void CCodeVideoCfgEventImp::OnEasyFocus()
{
    if (m_pRequests)
        m_pRequests->VideoInFocus();
    CSFDialog* dialog = m_pFocusDlg ? m_pFocusDlg->GetDialog() : nullptr;
    if (!dialog)
        return;
    m_pFocusDlg->SetFocusString(Tr(L"The Best Area"), 0);
    m_pFocusDlg->ResetFocus();
    dialog->CenterWindow(nullptr);
    // Focus reports keep arriving on this loop while the dialog runs.
    dialog->DoModalDlg();
}

void CCodeVideoCfgEventImp::UpdateFocusStatus(int value)
{
    if (m_pFocusDlg)
        m_pFocusDlg->AddFocusValue(value);
}

void CCodeVideoCfgEventImp::CancelVideoInFocus()
{
    if (m_pRequests)
        m_pRequests->CancelVideoInFocus();
}

// ---- IMAGE ----

void CCodeVideoCfgEventImp::BuildImageTab()
{
    m_pVideoWindow = CreateSFVideoWindow(0, this, 1, 1);
    if (m_pVideoWindow) {
        m_pVideoWindow->Create(L"VideoWindow", RECT{10, 40, 410, 340}, GetUIWnd(), ID_VIDEO);
        m_pVideoWindow->SetDefaultLayout(DEFAULT_LAYOUT_1);
        m_pVideoWindow->SetSubWinCtrlsVisible(0);
    }
    std::vector<CSFStatic*> videoArea;
    const wchar_t* missing = Tr(L"The video decoder library could not be loaded.");
    m_pDecoderMissing = MakeLabel(missing, RECT{20, 170, 400, 210}, videoArea);
    m_pDecoderMissing->SetTextAlignFlag(0x25);
    m_pDecoderMissing->SetTextColor(0x0000cc);
    m_pDecoderMissing->SetToolTipText(missing);
    m_pDecoderMissing->ShowWindow(0);
    const int x = 420, lw = 90, cx = x + lw + 5;
    int y = 44;
    MakeLabel(Tr(L"ConfigFile"), RECT{x, y, x + lw, y + 24}, m_imageLabels);
    CSFComboBox* profile = MakeCombo(ID_PROFILE, RECT{cx, y + 1, cx + 150, y + 23});
    for (const wchar_t* item : {L"Day", L"Night", L"Normal"})
        profile->AddString(Tr(item));
    y += 32;
    MakeLabel(Tr(L"Channel"), RECT{x, y, x + lw, y + 24}, m_imageLabels);
    MakeCombo(ID_IMAGE_CHANNEL, RECT{cx, y + 1, cx + 150, y + 23});
    y += 32;
    MakeLabel(Tr(L"Color Mode"), RECT{x, y, x + lw, y + 24}, m_imageLabels);
    MakeRadio(ID_STANDARD, Tr(L"Standard"), RECT{cx, y, cx + 80, y + 24});
    MakeRadio(ID_SOFT, Tr(L"Soft"), RECT{cx + 80, y, cx + 140, y + 24});
    MakeRadio(ID_BRIGHT, Tr(L"Bright"), RECT{x, y + 26, x + 80, y + 50});
    y += 58;
    const std::pair<int, const wchar_t*> sliders[] = {
        {ID_BRIGHTNESS, L"Brightness"}, {ID_CONTRAST, L"Contrast"}, {ID_GAMMA, L"Gamma"}, {ID_SATURATION, L"Saturation"}};
    for (const auto& s : sliders) {
        MakeLabel(Tr(s.second), RECT{x, y, x + lw, y + 24}, m_imageLabels);
        CSFStatic* value = MakeLabel(L"0", RECT{cx + 126, y, cx + 160, y + 24}, m_imageLabels);
        value->SetTextAlignFlag(0x25);
        CSFSliderCtrl* slider = MakeSlider(s.first, RECT{cx, y, cx + 122, y + 24}, value);
        slider->SetRange(0, 100, 0);
        slider->SetPos(50);
        y += 32;
    }
    MakeLabel(Tr(L"BLC Mode"), RECT{x, y, x + lw, y + 24}, m_imageLabels);
    CSFComboBox* blc = MakeCombo(ID_BLC, RECT{cx, y + 1, cx + 150, y + 23});
    for (const wchar_t* item : {L"OFF", L"BLC", L"WDR", L"HLC"})
        blc->AddString(Tr(item));
    y += 32;
    MakeLabel(Tr(L"Day/Night Mode"), RECT{x, y, x + lw, y + 24}, m_imageLabels);
    MakeRadio(ID_DN_COLOR, Tr(L"Color"), RECT{cx, y, cx + 70, y + 24});
    MakeRadio(ID_DN_AUTO, Tr(L"Auto"), RECT{cx + 70, y, cx + 140, y + 24});
    MakeRadio(ID_DN_BW, Tr(L"BlackWhite"), RECT{cx, y + 26, cx + 120, y + 50});
    // The right-hand column can be narrower than these texts.
    for (int id : {ID_STANDARD, ID_SOFT, ID_BRIGHT, ID_DN_COLOR, ID_DN_AUTO, ID_DN_BW}) {
        wchar_t text[64] = {};
        Radio(id)->GetWindowTextW(text, 64);
        Radio(id)->SetToolTipText(text);
    }
    y += 62;
    MakeButton(ID_EASY_FOCUS, Tr(L"Easy Focus"), RECT{x, y, x + 110, y + 28});
    MakeButton(ID_DEFAULT, Tr(L"Default"), RECT{x + 120, y, x + 230, y + 28});
    ApplyImageControls();
}

void CCodeVideoCfgEventImp::ShowImageTab(int show)
{
    ShowGroup(m_imageLabels, show);
    for (int id : {ID_PROFILE, ID_IMAGE_CHANNEL, ID_BLC})
        Combo(id)->ShowWindow(show);
    for (int id : {ID_STANDARD, ID_SOFT, ID_BRIGHT, ID_DN_COLOR, ID_DN_AUTO, ID_DN_BW})
        Radio(id)->ShowWindow(show);
    for (int id : {ID_BRIGHTNESS, ID_CONTRAST, ID_GAMMA, ID_SATURATION})
        Slider(id)->ShowWindow(show);
    for (int id : {ID_EASY_FOCUS, ID_DEFAULT})
        Button(id)->ShowWindow(show);
    if (m_pVideoWindow)
        m_pVideoWindow->ShowWindow(show);
    if (m_pDecoderMissing)
        m_pDecoderMissing->ShowWindow(show && m_bDecoderMissing);
    ShowImageExtras(show);
    if (!show)
        ShowFullScreenButton(0);
    Radio(ID_TAB_IMAGE)->SetCheck(show);
}

void CCodeVideoCfgEventImp::RequestVideoChannelParams(int channel, int profile)
{
    m_nImageChannel = channel;
    m_bVideoEffectLoaded = 0;
    ApplyImageControls();
    if (m_pRequests)
        m_pRequests->GetVedioChannelParams(channel, profile);
}

int CCodeVideoCfgEventImp::OnGetVideoEffect(std::shared_ptr<tagNET_VIDEOIN_COLOR_INFO> color,
                                            std::shared_ptr<AV_CFG_ChannelVideoColor> videoColor,
                                            std::shared_ptr<tagNET_VIDEOIN_BACKLIGHT_INFO> backLight,
                                            std::shared_ptr<tagNET_VIDEOIN_DAYNIGHT_INFO> dayNight,
                                            std::shared_ptr<AV_CFG_ChannelName> name, int ok, int profile)
{
    // Loading only shows the device's values; nothing is written back.
    m_bVideoEffectLoaded = ok && color && videoColor && backLight && dayNight ? 1 : 0;
    if (!m_bVideoEffectLoaded) {
        m_pColor.reset();
        m_pVideoColor.reset();
        m_pBackLight.reset();
        m_pDayNight.reset();
        ApplyImageControls();
        Message(L"Failed to get video effect.", L"Error");
        return 1;
    }
    m_pColor = std::move(color);
    m_pVideoColor = std::move(videoColor);
    m_pBackLight = std::move(backLight);
    m_pDayNight = std::move(dayNight);
    m_pName = std::move(name);
    m_nProfile = std::max(0, std::min(profile, 2));
    Combo(ID_PROFILE)->SetCurSel(m_nProfile);
    ApplyImageControls();
    return 1;
}

void CCodeVideoCfgEventImp::ApplyImageControls()
{
    const int on = m_bVideoEffectLoaded;
    const int values[] = {on ? m_pColor->nBrightness : 50, on ? m_pColor->nContrast : 50,
                          on ? m_pColor->nGamma : 50, on ? m_pColor->nSaturation : 50};
    const int ids[] = {ID_BRIGHTNESS, ID_CONTRAST, ID_GAMMA, ID_SATURATION};
    for (int i = 0; i < 4; ++i) {
        Slider(ids[i])->SetPos(values[i]);
        Slider(ids[i])->EnableWindow(on);
        SetSliderValue(ids[i], values[i]);
    }
    // A colour style of 0 means the device has none: the mode radios show "Standard" and stay disabled.
    const int style = on ? *ColorStyleField(*m_pVideoColor, m_nProfile) : 0;
    Radio(ID_SOFT)->SetCheck(on && style == 1);
    Radio(ID_STANDARD)->SetCheck(on && style != 1 && style != 3);
    Radio(ID_BRIGHT)->SetCheck(on && style == 3);
    const int dn = on ? m_pDayNight->emDayNight : -1;
    Radio(ID_DN_COLOR)->SetCheck(dn == 0);
    Radio(ID_DN_AUTO)->SetCheck(dn == 1);
    Radio(ID_DN_BW)->SetCheck(dn == 2);
    for (int id : {ID_STANDARD, ID_SOFT, ID_BRIGHT})
        Radio(id)->SetEnabled(on && style != 0);
    for (int id : {ID_DN_COLOR, ID_DN_AUTO, ID_DN_BW})
        Radio(id)->SetEnabled(on);
    Combo(ID_PROFILE)->EnableWindow(on);
    // A mode the page does not know shows no choice and is never written back.
    const int blc = on ? m_pBackLight->emBlackMode : 0;
    Combo(ID_BLC)->SetCurSel(blc >= 1 && blc <= 4 ? blc - 1 : -1);
    Combo(ID_BLC)->EnableWindow(on);
    Button(ID_DEFAULT)->EnableWindow(on);
    ApplyImageExtras();
}

bool CCodeVideoCfgEventImp::RefuseImageChange()
{
    if (!m_bVideoEffectLoaded || !m_pRequests) {
        Message(L"Video effect setting is not supported.", L"Attention");
        return true;
    }
    if (m_nImageSaves > 0) {
        Message(L"Setting,please wait...", L"Attention");
        return true;
    }
    return false;
}

void CCodeVideoCfgEventImp::SaveColor()
{
    ++m_nImageSaves;
    m_pRequests->SaveVideoInColor(m_nImageChannel, std::make_shared<tagNET_VIDEOIN_COLOR_INFO>(*m_pColor));
}

void CCodeVideoCfgEventImp::OnRestoreDefaultImage()
{
    if (RefuseImageChange())
        return;
    int32_t* style = ColorStyleField(*m_pVideoColor, m_nProfile);
    const bool styled = *style != 0;
    auto& c = *m_pColor;
    const bool colourDefault = c.nBrightness == 50 && c.nContrast == 50 && c.nGamma == 50 && c.nSaturation == 50;
    if (colourDefault && (!styled || *style == 2) && m_pBackLight->emBlackMode == 1 && m_pDayNight->emDayNight == 1)
        return;
    // Colour 50 each, "Standard", back light "OFF", day/night "Auto".
    c.nBrightness = c.nContrast = c.nGamma = c.nSaturation = 50;
    m_pBackLight->emBlackMode = 1;
    m_pBackLight->nBacklightEnable = 1;
    m_pDayNight->emDayNight = 1;
    if (styled) {
        *style = 2;
        auto copy = std::make_shared<AV_CFG_ChannelVideoColor>(*m_pVideoColor);
        int32_t* used = ColorStyleField(*copy, m_nProfile) - 13;  // entry offset 8
        if (*used == 0)
            *used = 1;
        ++m_nImageSaves;
        m_pRequests->SaveVideoColor(m_nImageChannel, copy);
    }
    ApplyImageControls();
    m_nImageSaves += 3;
    m_pRequests->SaveVideoInColor(m_nImageChannel, std::make_shared<tagNET_VIDEOIN_COLOR_INFO>(*m_pColor));
    m_pRequests->SaveBlackLightInfo(m_nImageChannel, std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>(*m_pBackLight));
    m_pRequests->SaveDayNightInfo(m_nImageChannel, std::make_shared<tagNET_VIDEOIN_DAYNIGHT_INFO>(*m_pDayNight));
}

void CCodeVideoCfgEventImp::ClearSaving()
{
    // One answer per save request: the flag clears with the last one.
    if (m_nImageSaves > 0)
        --m_nImageSaves;
}

void CCodeVideoCfgEventImp::OnSaveEffectResult(int ok)
{
    if (!ok)
        Message(L"Failed to save.", L"Error");
}

// ---- FileManage ----

void CCodeVideoCfgEventImp::BuildFileManageTab()
{
    MakeLabel(Tr(L"ConfigFileManager"), RECT{0, 0, 100, 24}, m_fileLabels);
    MakeRadio(ID_FILE_NORMAL, Tr(L"Normal"), RECT{0, 0, 100, 36})->SetCheck(1);
    MakeRadio(ID_FILE_ALLDAY, Tr(L"AllDay"), RECT{0, 0, 100, 36});
    MakeRadio(ID_FILE_BYTIME, Tr(L"ByTime"), RECT{0, 0, 100, 36});
    m_pAlwaysUseLabel = MakeLabel(Tr(L"AlwaysUse"), RECT{0, 0, 80, 24}, m_fileLabels);
    CSFComboBox* dayNight = MakeCombo(ID_FILE_DAYNIGHT, RECT{0, 0, 150, 22});
    for (const wchar_t* item : {L"Day", L"Night"})
        dayNight->AddString(Tr(item));
    ImageDateTimeStyle timeSkin;
    timeSkin.strSpare1 = timeSkin.strFrameImage = L"bg_time_noal.png";
    timeSkin.strDownImage = L"0,0,181,26";
    timeSkin.strDownHoverImage = L"0,26,181,26";
    timeSkin.strDownPressedImage = L"0,52,181,26";
    timeSkin.strDownDisabledImage = L"0,72,181,26";
    timeSkin.strSpare2 = L"161,0,20,26";
    timeSkin.strSpare3 = L"161,13,20,13";
    timeSkin.strSpare4 = L"161,0,20,13";
    auto makeTime = [&](int id, WORD hour, WORD minute, WORD second) {
        CSFDateTimeCtrl* editor = CreateSFDateTimeCtrl(this, 1);
        editor->Create(kChildVisible | 0x00010000, RECT{0, 0, 181, 26},
                       m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id));
        editor->SetSkin(&timeSkin);
        _SF_SYSTEMTIME time{};
        time.wHour = hour;
        time.wMinute = minute;
        time.wSecond = second;
        editor->SetTime(&time);
        return editor;
    };
    m_pStartLabel = MakeLabel(Tr(L"Day Start Time"), RECT{0, 0, 80, 24}, m_fileLabels);
    m_pStartTime = makeTime(ID_FILE_START, 0, 0, 0);
    m_pEndLabel = MakeLabel(Tr(L"Day End Time"), RECT{0, 0, 80, 24}, m_fileLabels);
    m_pEndTime = makeTime(ID_FILE_END, 23, 59, 59);
    ImageButtonStyle save = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    CSFButton* button = MakeButton(ID_FILE_SAVE, Tr(L"Save"), RECT{0, 0, 82, 24});
    button->SetSkin(&save);
    m_pAlwaysUseLabel->ShowWindow(0);
    dayNight->ShowWindow(0);
    for (CSFStatic* label : {m_pStartLabel, m_pEndLabel})
        label->ShowWindow(0);
    m_pStartTime->ShowWindow(0);
    m_pEndTime->ShowWindow(0);
}

CSFDateTimeCtrl* CCodeVideoCfgEventImp::TimeEditor(int id) const
{
    return id == ID_FILE_START ? m_pStartTime : id == ID_FILE_END ? m_pEndTime : nullptr;
}

void CCodeVideoCfgEventImp::ShowFileManageTab(int show)
{
    m_fileLabels.front()->ShowWindow(show);
    for (int id : {ID_FILE_NORMAL, ID_FILE_ALLDAY, ID_FILE_BYTIME})
        Radio(id)->ShowWindow(show);
    Button(ID_FILE_SAVE)->ShowWindow(show);
    const int allDay = show && Radio(ID_FILE_ALLDAY)->GetCheck();
    m_pAlwaysUseLabel->ShowWindow(allDay);
    Combo(ID_FILE_DAYNIGHT)->ShowWindow(allDay);
    const int byTime = show && Radio(ID_FILE_BYTIME)->GetCheck();
    m_pStartLabel->ShowWindow(byTime);
    m_pEndLabel->ShowWindow(byTime);
    m_pStartTime->ShowWindow(byTime);
    m_pEndTime->ShowWindow(byTime);
    Radio(ID_TAB_FILE)->SetCheck(show);
}

void CCodeVideoCfgEventImp::FileModeRadio(int id)
{
    Radio(ID_FILE_NORMAL)->SetCheck(id == ID_FILE_NORMAL);
    Radio(ID_FILE_ALLDAY)->SetCheck(id == ID_FILE_ALLDAY);
    Radio(ID_FILE_BYTIME)->SetCheck(id == ID_FILE_BYTIME);
    m_pAlwaysUseLabel->ShowWindow(id == ID_FILE_ALLDAY);
    Combo(ID_FILE_DAYNIGHT)->ShowWindow(id == ID_FILE_ALLDAY);
    m_pStartLabel->ShowWindow(id == ID_FILE_BYTIME);
    m_pEndLabel->ShowWindow(id == ID_FILE_BYTIME);
    m_pStartTime->ShowWindow(id == ID_FILE_BYTIME);
    m_pEndTime->ShowWindow(id == ID_FILE_BYTIME);
    if (id == ID_FILE_ALLDAY)
        Combo(ID_FILE_DAYNIGHT)->SetCurSel(0);
}

void CCodeVideoCfgEventImp::EnableFileControls(int enable)
{
    for (int id : {ID_FILE_NORMAL, ID_FILE_ALLDAY, ID_FILE_BYTIME})
        Radio(id)->SetEnabled(enable);
    Combo(ID_FILE_DAYNIGHT)->EnableWindow(enable);
    m_pStartTime->EnableWindow(enable);
    m_pEndTime->EnableWindow(enable);
    Button(ID_FILE_SAVE)->EnableWindow(enable);
}

void CCodeVideoCfgEventImp::OnGetConfigFileInfo(std::shared_ptr<tagNET_VIDEOIN_SWITCH_MODE_INFO> record, int ok)
{
    Radio(ID_TAB_ENCODE)->SetEnabled(1);
    Radio(ID_TAB_IMAGE)->SetEnabled(1);
    m_bFileLoaded = ok && record ? 1 : 0;
    EnableFileControls(m_bFileLoaded);
    if (!m_bFileLoaded) {
        Message(L"Failed to get config file information.", L"Error");
        return;
    }
    // A reaction shows its controls only while the tab itself is shown.
    const bool shown = m_nCurTab == kTabFileManage;
    auto react = [&](int id) {
        FileModeRadio(id);
        if (!shown)
            ShowFileManageTab(0);
    };
    switch (record->emSwitchMode) {
    case kModeDay:
    case kModeNight:
        react(ID_FILE_ALLDAY);
        Combo(ID_FILE_DAYNIGHT)->SetCurSel(record->emSwitchMode == kModeNight ? 1 : 0);
        break;
    case kModeByTime: {
        react(ID_FILE_BYTIME);
        auto clamp = [](int v, int max) { return WORD(std::max(0, std::min(v, max))); };
        _SF_SYSTEMTIME start{}, end{};
        start.wHour = clamp(record->nDayStartHour, 23);
        start.wMinute = clamp(record->nDayStartMinute, 59);
        start.wSecond = clamp(record->nDayStartSecond, 59);
        end.wHour = clamp(record->nDayEndHour, 23);
        end.wMinute = clamp(record->nDayEndMinute, 59);
        end.wSecond = clamp(record->nDayEndSecond, 59);
        m_pStartTime->SetTime(&start);
        m_pEndTime->SetTime(&end);
        break;
    }
    case kModeNormal: react(ID_FILE_NORMAL); break;
    default: break;
    }
}

void CCodeVideoCfgEventImp::OnSaveFileConfig()
{
    if (!m_bFileLoaded || !m_pRequests) {
        Message(L"Failed to get config file information.", L"Error");
        return;
    }
    tagNET_VIDEOIN_SWITCH_MODE_INFO record{};
    record.dwSize = sizeof record;
    if (Radio(ID_FILE_NORMAL)->GetCheck()) {
        record.emSwitchMode = kModeNormal;
    } else if (Radio(ID_FILE_ALLDAY)->GetCheck()) {
        record.emSwitchMode = Combo(ID_FILE_DAYNIGHT)->GetCurSel() == 0 ? kModeDay : kModeNight;
    } else if (Radio(ID_FILE_BYTIME)->GetCheck()) {
        record.emSwitchMode = kModeByTime;
        _SF_SYSTEMTIME start{}, end{};
        m_pStartTime->GetTime(&start);
        m_pEndTime->GetTime(&end);
        if (SecondsOf(end) < SecondsOf(start)) {
            Message(L"The time is invalid.", L"Error");
            return;
        }
        record.nDayStartHour = start.wHour;
        record.nDayStartMinute = start.wMinute;
        record.nDayStartSecond = start.wSecond;
        record.nDayEndHour = end.wHour;
        record.nDayEndMinute = end.wMinute;
        record.nDayEndSecond = end.wSecond;
    }
    Radio(ID_TAB_ENCODE)->SetEnabled(0);
    Radio(ID_TAB_IMAGE)->SetEnabled(0);
    m_pRequests->SaveFileConfig(record, m_nImageChannel);
}

void CCodeVideoCfgEventImp::OnSaveConfigFileResult(int ok)
{
    Radio(ID_TAB_ENCODE)->SetEnabled(1);
    Radio(ID_TAB_IMAGE)->SetEnabled(1);
    if (ok)
        Message(L"Save config file succeed.", L"Attention");
    else
        Message(L"Save config file faild.", L"Error");
}

// ---- Sinks shared by the tabs ----

void CCodeVideoCfgEventImp::SelectChanged(int id, int index)
{
    if (id == ID_PROFILE) {
        if (RefuseImageChange()) {
            Combo(ID_PROFILE)->SetCurSel(m_nProfile);
            return;
        }
        const int modes[] = {0, 3, 4};
        tagNET_VIDEOIN_SWITCH_MODE_INFO record{};
        record.dwSize = sizeof record;
        record.emSwitchMode = modes[std::max(0, std::min(index, 2))];
        m_pRequests->SetComboFileConfig(record, m_nImageChannel);
        RequestVideoChannelParams(m_nImageChannel, index);
        return;
    }
    if (id == ID_IMAGE_CHANNEL) {
        RequestVideoChannelParams(index, -1);
        return;
    }
    if (id == ID_BLC) {
        if (RefuseImageChange()) {
            ApplyImageControls();
            return;
        }
        auto copy = std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>(*m_pBackLight);
        copy->emBlackMode = std::max(0, std::min(index, 3)) + 1;
        copy->nBacklightEnable = 1;
        BackLightChoice(index, *copy);
        m_pBackLight->emBlackMode = copy->emBlackMode;
        ++m_nImageSaves;
        m_pRequests->SaveBlackLightInfo(m_nImageChannel, copy);
        return;
    }
    if (id == ID_FILE_DAYNIGHT)
        return;
    EncodeSelectChanged(id, index);
}

void CCodeVideoCfgEventImp::SF_OnSliderPos(int id, int pos)
{
    int* field = nullptr;
    if (m_pColor) {
        switch (id) {
        case ID_BRIGHTNESS: field = &m_pColor->nBrightness; break;
        case ID_CONTRAST: field = &m_pColor->nContrast; break;
        case ID_GAMMA: field = &m_pColor->nGamma; break;
        case ID_SATURATION: field = &m_pColor->nSaturation; break;
        default: break;
        }
    }
    if (id == ID_BRIGHTNESS || id == ID_CONTRAST || id == ID_GAMMA || id == ID_SATURATION) {
        if (RefuseImageChange()) {
            ApplyImageControls();
            return;
        }
        const bool changed = *field != pos;
        *field = pos;
        SetSliderValue(id, pos);
        if (changed)
            SaveColor();
        return;
    }
    EncodeSliderPos(id, pos);
}
