// Placement of the configuration window's controls from its size, the audio check boxes of the
// Encode tab, and the IMAGE tab's back-light level and channel name.
#include <algorithm>
#include <cstring>

#include <QFontMetrics>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFStatic.h"

namespace {

enum : int {
    ID_TAB_ENCODE = 1018, ID_TAB_IMAGE = 1019, ID_TAB_FILE = 1158, ID_OK = 1037,
    ID_DEVICE_INFO = 1105, ID_REFRESH = 1106,
    ID_CHANNEL = 1114, ID_MAIN_TYPE = 1021, ID_MAIN_COMP = 1022, ID_MAIN_CBR = 1023, ID_MAIN_VBR = 1024,
    ID_MAIN_FRAME = 1025, ID_MAIN_QUALITY = 1026, ID_MAIN_BITRATE = 1027, ID_MAIN_RES = 1028,
    ID_SUB_BITRATE = 1029, ID_SUB_QUALITY = 1030, ID_SUB_RES = 1031, ID_SUB_FRAME = 1032, ID_SUB_VBR = 1033,
    ID_SUB_CBR = 1034, ID_SUB_COMP = 1035, ID_SUB_TYPE = 1036, ID_MAIN_CUSTOM = 1121, ID_SUB_CUSTOM = 1122,
    ID_MAIN_IFRAME = 1172, ID_SUB_IFRAME = 1175,
    ID_MAIN_AUDIO = 1125, ID_SPARE_AUDIO = 1127, ID_SUB_AUDIO = 1126, ID_SUB_VIDEO = 1128,
    ID_MAIN_AUDIO_ENC = 1123, ID_SUB_AUDIO_ENC = 1124, ID_MAIN_SAMPLE = 1200, ID_SUB_SAMPLE = 1201,
    ID_FULL_SCREEN = 1115, ID_DEFAULT = 1040, ID_EASY_FOCUS = 1041, ID_PROFILE = 1162, ID_IMAGE_CHANNEL = 1057,
    ID_STANDARD = 1056, ID_SOFT = 1055, ID_BRIGHT = 1054,
    ID_BRIGHTNESS = 1053, ID_CONTRAST = 1052, ID_GAMMA = 1051, ID_SATURATION = 1050,
    ID_DN_COLOR = 1044, ID_DN_AUTO = 1043, ID_DN_BW = 1042, ID_BLC = 1058, ID_LEVEL = 1045, ID_NAME = 1116,
    ID_FILE_NORMAL = 1159, ID_FILE_ALLDAY = 1160, ID_FILE_BYTIME = 1161, ID_FILE_DAYNIGHT = 1166,
    ID_FILE_START = 1163, ID_FILE_END = 1164, ID_FILE_SAVE = 1165,
};

constexpr int kNameChars = 15;

// Left-aligns a radio's text behind its image and shrinks the font a little when the text would
// run past the box into the next radio's image; the full text stays in the tooltip.
void FitRadioText(CSFRadioBox* radio)
{
    auto* w = dynamic_cast<QWidget*>(radio);
    if (!w)
        return;
    static const int image = [] {
        const QPixmap pixmap(SFSkinPath(L"radio_check.png"));
        return pixmap.isNull() ? 16 : pixmap.width();
    }();
    const int gap = 4, room = w->width() - image - 2 - gap - 2;
    wchar_t wide[64] = {};
    radio->GetWindowTextW(wide, 63);
    const QString text = QString::fromWCharArray(wide);
    QFont font = w->parentWidget() ? w->parentWidget()->font() : w->font();
    // Fonts are sized in points or in pixels; at most 20 % smaller either way.
    const bool points = font.pointSizeF() > 0;
    const qreal size = points ? font.pointSizeF() : qreal(font.pixelSize());
    for (qreal next = size - 0.5; next >= size * 0.8 && next >= 1 &&
                                  QFontMetrics(font).horizontalAdvance(text) > room;
         next -= 0.5) {
        if (points)
            font.setPointSizeF(next);
        else
            font.setPixelSize(int(next));
    }
    radio->SetTextAlign(0);
    radio->SetTextOffset(gap);
    w->setFont(font);
    radio->SetBoldHeavy(0);
}

// Moves a label's text right by up to want pixels, as far as the text still fits its box.
void IndentLabelText(CSFStatic* label, int want)
{
    auto* w = dynamic_cast<QWidget*>(label);
    if (!w)
        return;
    wchar_t text[128] = {};
    label->GetStaticText(text, 128);
    const int spare = w->width() - QFontMetrics(w->font()).horizontalAdvance(QString::fromWCharArray(text)) - 4;
    label->SetTextOffset(std::clamp(spare, 0, want));
    label->SetToolTipText(text);
}

// Forwards the check boxes' clicks to the window.
class CheckSink : public ISFCheckBoxEvent {
public:
    explicit CheckSink(CCodeVideoCfgEventImp* window) : m_pWindow(window) {}
    void Check_OnCheckStateChanged(int checked, int id, POINT) override { m_pWindow->Check_OnCheckStateChanged(checked, id); }

private:
    CCodeVideoCfgEventImp* m_pWindow;
};

template <class T>
void Place(T* control, int left, int top, int right, int bottom)
{
    if (!control)
        return;
    RECT rc{left, top, right, bottom};
    control->MoveWindow(&rc);
}

// An edit gets its frame at its placed size.
void PlaceEdit(CSFEditCtrl* edit, int left, int top, int right, int bottom)
{
    Place(edit, left, top, right, bottom);
    if (edit)
        edit->SetSkin(L"bg_edit.png");
}

// Cuts a UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(const std::string& text, size_t bytes)
{
    if (text.size() <= bytes)
        return text;
    size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace

// ---- Controls of the layout ----

CSFCheckBox* CCodeVideoCfgEventImp::MakeCheck(int id, int checked)
{
    if (!m_pCheckSink)
        m_pCheckSink = std::make_shared<CheckSink>(this);
    CSFCheckBox* box = CreateSFCheckBox(m_pCheckSink.get());
    ImageCheckBox skin{L"Select_Check.png",   L"Select_Check.png",   L"Select_Check.png", L"Select_unCheck.png",
                       L"Select_unCheck.png", L"Select_unCheck.png", L"",                 L""};
    box->SetSkin(&skin);
    box->Create("", 0x10000000, RECT{0, 0, 16, 16}, m_pBuildParent ? m_pBuildParent : GetUIWnd(), UINT(id));
    box->SetCheck(checked);
    m_checks.push_back(box);
    m_checkIds.push_back(id);
    return box;
}

CSFCheckBox* CCodeVideoCfgEventImp::CheckBox(int id) const
{
    for (size_t i = 0; i < m_checkIds.size(); ++i)
        if (m_checkIds[i] == id)
            return m_checks[i];
    return nullptr;
}

CSFStatic* CCodeVideoCfgEventImp::EncodeRowLabel(int row) const
{
    return row >= 1 && row <= 70 ? m_encodeRows[size_t(row)] : nullptr;
}

CSFStatic* CCodeVideoCfgEventImp::ImageLabel(const wchar_t* key) const
{
    const std::wstring text = Tr(key);
    for (CSFStatic* label : m_imageLabels) {
        wchar_t buf[128] = {};
        label->GetStaticText(buf, 128);
        if (text == buf)
            return label;
    }
    return nullptr;
}

void CCodeVideoCfgEventImp::BuildLayoutExtras()
{
    m_pBorderLine = CreateSFPictureCtrl(nullptr);
    m_pBorderLine->Create(L"", 0x50000000, RECT{0, 0, 1, 34}, GetUIWnd(), UINT(-1));
    m_pBorderLine->SetImage(L"border.png", false);
    std::vector<CSFStatic*> own;
    m_pLevelValue = MakeLabel(L"0", RECT{0, 0, 80, 24}, own);
    m_pLevelValue->SetTextAlignFlag(0x25);
    m_pLevelValue->ShowWindow(0);
    m_pNameLabel = MakeLabel(Tr(L"Channel Name"), RECT{0, 0, 100, 24}, own);
    m_pNameLabel->ShowWindow(0);
    CSFEditCtrl* name = MakeEdit(ID_NAME, RECT{0, 0, 80, 24});
    name->ShowWindow(0);
    CSFSliderCtrl* level = MakeSlider(ID_LEVEL, RECT{0, 0, 122, 24}, m_pLevelValue);
    level->SetRange(0, 100, 0);
    level->SetPos(50);
    level->ShowWindow(0);
    ApplyImageExtras();
}

// ---- Layout ----

void CCodeVideoCfgEventImp::OnSize(UINT, int W, int H)
{
    if (!m_pBorderLine)
        return;
    Place(Radio(ID_TAB_ENCODE), 0, 0, 125, 30);
    Place(Radio(ID_TAB_IMAGE), 124, 0, 249, 30);
    Place(Radio(ID_TAB_FILE), 248, 0, 373, 30);
    Place(m_pBorderLine, 0, 28, W - 2, 30);
    LayoutEncodeTab(W, H);
    LayoutImageTab(W, H);
    LayoutFileManageTab(W, H);
    Place(Button(ID_OK), W - 122, H - 44, W - 40, H - 20);
    const int x0 = (W - 160) / 2;
    Place(Button(ID_DEVICE_INFO), x0, 381, x0 + 145, 416);
    Place(Button(ID_REFRESH), x0, 381, x0 + 145, 416);
    Place(m_pStartText, x0 - 102, 421, x0 + 248, 456);
    Place(m_pFailText, x0 - 102, 421, x0 + 248, 466);
}

void CCodeVideoCfgEventImp::LayoutEncodeTab(int W, int)
{
    if (!m_encodeRows[1])
        return;
    auto row = [&](int n, int l, int t, int r, int b) { Place(m_encodeRows[size_t(n)], l, t, r, b); };
    auto combo = [&](int id, int l, int t, int r, int b) { Place(Combo(id), l, t, r, b); };
    // Both streams share one pattern; the sub stream starts 249 pixels lower.
    struct Stream {
        int dy, title, typeRow, type, comp, cbr, vbr, frame, res, quality, bitrate, custom;
        CSFPictureCtrl* line;
    };
    const Stream streams[] = {
        {0, 3, 5, ID_MAIN_TYPE, ID_MAIN_COMP, ID_MAIN_CBR, ID_MAIN_VBR, ID_MAIN_FRAME, ID_MAIN_RES,
         ID_MAIN_QUALITY, ID_MAIN_BITRATE, ID_MAIN_CUSTOM, m_pMainBorder},
        {249, 32, 34, ID_SUB_TYPE, ID_SUB_COMP, ID_SUB_CBR, ID_SUB_VBR, ID_SUB_FRAME, ID_SUB_RES, ID_SUB_QUALITY,
         ID_SUB_BITRATE, ID_SUB_CUSTOM, m_pSubBorder},
    };
    row(1, 20, 10, 150, 34);
    combo(ID_CHANNEL, 150, 10, 300, 32);
    for (const Stream& s : streams) {
        const int d = s.dy, r = s.typeRow;  // label rows of the stream: r, r+2, r+4, r+7, r+10, r+12, r+15
        row(s.title, 20, 44 + d, 150, 68 + d);
        Place(s.line, 20, 68 + d, W - 20, 69 + d);
        row(r, 20, 79 + d, 150, 103 + d);
        combo(s.type, 150, 79 + d, 300, 101 + d);
        row(r + 2, 360, 79 + d, 490, 103 + d);
        combo(s.comp, 490, 79 + d, 640, 101 + d);
        row(r + 4, 20, 113 + d, 150, 137 + d);
        Place(Radio(s.cbr), 150, 113 + d, 230, 139 + d);
        Place(Radio(s.vbr), 250, 113 + d, 330, 139 + d);
        row(r + 7, 20, 147 + d, 150, 171 + d);
        Place(Slider(s.frame), 150, 147 + d, 272, 171 + d);
        row(r + 9, 272, 147 + d, 402, 171 + d);
        row(r + 10, 20, 181 + d, 150, 205 + d);
        combo(s.res, 150, 181 + d, 300, 203 + d);
        row(r + 12, 20, 215 + d, 150, 239 + d);
        Place(Slider(s.quality), 150, 215 + d, 272, 239 + d);
        row(r + 14, 272, 215 + d, 402, 239 + d);
        row(r + 15, 20, 249 + d, 150, 273 + d);
        combo(s.bitrate, 150, 249 + d, 300, 271 + d);
        PlaceEdit(Edit(s.custom), 320, 249 + d, 470, 271 + d);
    }
    // Audio column: main rows 52..58, sub rows 59..65 (249 pixels lower).
    const struct {
        int dy, first, box1, box2, encode, sample;
    } audio[] = {{0, 52, ID_MAIN_AUDIO, ID_SPARE_AUDIO, ID_MAIN_AUDIO_ENC, ID_MAIN_SAMPLE},
                 {249, 59, ID_SUB_AUDIO, ID_SUB_VIDEO, ID_SUB_AUDIO_ENC, ID_SUB_SAMPLE}};
    for (const auto& a : audio) {
        const int d = a.dy;
        row(a.first, 360, 123 + d, 490, 147 + d);
        Place(CheckBox(a.box1), 510, 123 + d, 525, 138 + d);
        Place(CheckBox(a.box2), 545, 123 + d, 560, 138 + d);
        row(a.first + 3, 360, 167 + d, 490, 191 + d);
        combo(a.encode, 490, 167 + d, 643, 191 + d);
        row(a.first + 5, 360, 211 + d, 490, 235 + d);
        combo(a.sample, 490, 211 + d, 643, 235 + d);
    }
}

void CCodeVideoCfgEventImp::LayoutImageTab(int W, int)
{
    if (!m_pVideoWindow)
        return;
    const int R = W - 280, B = 50 + (3 * (W - 300)) / 4;
    // Moves the video and the full-screen button only outside full screen.
    SetNormalVideoRect(RECT{20, 50, R, B});
    Place(Button(ID_DEFAULT), 40, B + 10, 122, B + 34);
    Place(Button(ID_EASY_FOCUS), W - 382, B + 10, W - 300, B + 34);
    const int a = W - 260, b = W - 180, c = W - 100;
    Place(ImageLabel(L"ConfigFile"), a, 50, b, 74);
    Place(Combo(ID_PROFILE), b, 50, W - 30, 72);
    Place(ImageLabel(L"Channel"), a, 84, b, 108);
    Place(Combo(ID_IMAGE_CHANNEL), b, 84, W - 30, 106);
    // The two heading rows hold nothing else: their labels take the row so no text is cut.
    Place(ImageLabel(L"Color Mode"), a, 118, W - 20, 142);
    Place(Radio(ID_STANDARD), a, 152, b, 176);
    Place(Radio(ID_SOFT), b, 152, c, 176);
    Place(Radio(ID_BRIGHT), c, 152, W - 20, 176);
    const struct {
        const wchar_t* label;
        int slider, top;
    } sliders[] = {{L"Brightness", ID_BRIGHTNESS, 186},
                   {L"Contrast", ID_CONTRAST, 220},
                   {L"Gamma", ID_GAMMA, 254},
                   {L"Saturation", ID_SATURATION, 288}};
    for (const auto& s : sliders) {
        Place(ImageLabel(s.label), a, s.top, b, s.top + 24);
        Place(Slider(s.slider), b, s.top, W - 58, s.top + 24);
        for (auto& entry : m_sliderValues)
            if (entry.first == s.slider)
                Place(entry.second, W - 58, s.top, W - 8, s.top + 24);
    }
    Place(ImageLabel(L"Day/Night Mode"), a, 322, W - 20, 346);
    Place(Radio(ID_DN_COLOR), a, 356, b, 380);
    Place(Radio(ID_DN_AUTO), b, 356, c, 380);
    Place(Radio(ID_DN_BW), c, 356, W - 20, 380);
    Place(ImageLabel(L"BLC Mode"), W - 280, 390, b, 414);
    Place(Combo(ID_BLC), b, 390, W - 30, 412);
    Place(Slider(ID_LEVEL), b, 422, W - 58, 446);
    Place(m_pLevelValue, W - 58, 422, W - 8, 446);
    Place(m_pNameLabel, W - 280, 456, b, 480);
    PlaceEdit(Edit(ID_NAME), b, 456, W - 40, 480);
    // These two boxes start 20 px left of the column: their texts line up with the others.
    IndentLabelText(ImageLabel(L"BLC Mode"), 20);
    IndentLabelText(m_pNameLabel, 20);
    for (int id : {ID_STANDARD, ID_SOFT, ID_BRIGHT, ID_DN_COLOR, ID_DN_AUTO, ID_DN_BW})
        FitRadioText(Radio(id));
}

void CCodeVideoCfgEventImp::LayoutFileManageTab(int, int H)
{
    if (m_fileLabels.empty())
        return;
    Place(m_fileLabels.front(), 50, 70, 200, 94);
    Place(Radio(ID_FILE_NORMAL), 200, 70, 300, 94);
    Place(Radio(ID_FILE_ALLDAY), 300, 70, 400, 94);
    Place(Radio(ID_FILE_BYTIME), 400, 70, 500, 94);
    // "AlwaysUse" and "Day Start Time" share a place: never both shown.
    Place(m_pAlwaysUseLabel, 50, 114, 200, 138);
    Place(Combo(ID_FILE_DAYNIGHT), 200, 114, 350, 136);
    Place(m_pStartLabel, 50, 114, 200, 138);
    Place(TimeEditor(ID_FILE_START), 205, 113, 386, 139);
    Place(m_pEndLabel, 50, 158, 200, 182);
    Place(TimeEditor(ID_FILE_END), 205, 157, 386, 183);
    Place(Button(ID_FILE_SAVE), H - 20, 70, H + 62, 94);
}

// ---- Showing ----

void CCodeVideoCfgEventImp::ShowEncodeAudio(int show)
{
    for (int row : {52, 55, 59, 62})
        if (m_encodeRows[size_t(row)])
            m_encodeRows[size_t(row)]->ShowWindow(show);
    for (int id : {ID_MAIN_AUDIO, ID_SUB_AUDIO, ID_SUB_VIDEO})
        if (CSFCheckBox* box = CheckBox(id))
            box->ShowWindow(show);
    for (int id : {ID_MAIN_AUDIO_ENC, ID_SUB_AUDIO_ENC})
        if (CSFComboBox* combo = Combo(id))
            combo->ShowWindow(show);
    // The sampling frequencies are shown only while the device reports no encode information.
    const int rates = show && !m_bEncodeInfoFlag;
    for (int row : {57, 64})
        if (m_encodeRows[size_t(row)])
            m_encodeRows[size_t(row)]->ShowWindow(rates);
    for (int id : {ID_MAIN_SAMPLE, ID_SUB_SAMPLE})
        if (CSFComboBox* combo = Combo(id))
            combo->ShowWindow(rates);
}

void CCodeVideoCfgEventImp::ShowImageExtras(int show)
{
    m_bImageShown = show;
    if (!m_pNameLabel)
        return;
    m_pNameLabel->ShowWindow(show);
    Edit(ID_NAME)->ShowWindow(show);
    const int sel = Combo(ID_BLC)->GetCurSel();
    const int level = show && (sel == 2 || sel == 3);
    Slider(ID_LEVEL)->ShowWindow(level);
    m_pLevelValue->ShowWindow(level);
}

// ---- Back-light level and channel name ----

void CCodeVideoCfgEventImp::ApplyImageExtras()
{
    if (!m_pNameLabel)
        return;
    const int on = m_bVideoEffectLoaded && m_pBackLight;
    const int mode = on ? m_pBackLight->emBlackMode : 0;
    if (mode == 3 || mode == 4) {
        m_nBackLightLevel = mode == 3 ? m_pBackLight->nWideDynamicRange : m_pBackLight->nGlareInhibition;
        Slider(ID_LEVEL)->SetPos(m_nBackLightLevel);
        SetSliderValue(ID_LEVEL, m_nBackLightLevel);
    }
    Slider(ID_LEVEL)->EnableWindow(on);
    ShowImageExtras(m_bImageShown);
    CSFEditCtrl* name = Edit(ID_NAME);
    name->EnableWindow(on && m_pName && !m_pPendingName);
    if (m_pName) {
        const std::string text(m_pName->szName, strnlen(m_pName->szName, sizeof m_pName->szName));
        name->SetWindowTextW(QString::fromUtf8(text.c_str()).left(kNameChars).toStdWString().c_str());
    } else if (!on) {
        name->SetWindowTextW(L"");
    }
}

void CCodeVideoCfgEventImp::BackLightChoice(int index, tagNET_VIDEOIN_BACKLIGHT_INFO& copy)
{
    if (index == 2 || index == 3) {
        int& field = index == 2 ? copy.nWideDynamicRange : copy.nGlareInhibition;
        int level = field == 0 ? 50 : field;
        m_nBackLightLevel = level;
        field = static_cast<unsigned char>(level);
        if (m_pBackLight)
            (index == 2 ? m_pBackLight->nWideDynamicRange : m_pBackLight->nGlareInhibition) = field;
        Slider(ID_LEVEL)->SetPos(level);
        SetSliderValue(ID_LEVEL, level);
    }
    Combo(ID_BLC)->SetCurSel(index);
    ShowImageExtras(m_bImageShown);
}

bool CCodeVideoCfgEventImp::ImageExtraSliderPos(int id, int pos)
{
    if (id != ID_LEVEL)
        return false;
    if (RefuseImageChange()) {
        Slider(ID_LEVEL)->SetPos(m_nBackLightLevel);
        SetSliderValue(ID_LEVEL, m_nBackLightLevel);
        return true;
    }
    const int before = m_nBackLightLevel;
    m_nBackLightLevel = pos;
    SetSliderValue(ID_LEVEL, pos);
    const int mode = Combo(ID_BLC)->GetCurSel() + 1;
    if (pos == before || (mode != 3 && mode != 4))
        return true;
    (mode == 3 ? m_pBackLight->nWideDynamicRange : m_pBackLight->nGlareInhibition) = static_cast<unsigned char>(pos);
    m_pBackLight->emBlackMode = mode;
    m_pBackLight->nBacklightEnable = 1;
    ++m_nImageSaves;
    m_pRequests->SaveBlackLightInfo(m_nImageChannel, std::make_shared<tagNET_VIDEOIN_BACKLIGHT_INFO>(*m_pBackLight));
    return true;
}

bool CCodeVideoCfgEventImp::ImageExtraEnter(UINT id, const wchar_t* text)
{
    if (id != ID_NAME)
        return false;
    CSFEditCtrl* edit = Edit(ID_NAME);
    const QString name = QString::fromWCharArray(text ? text : L"").left(kNameChars);
    if (!m_bVideoEffectLoaded || !m_pName || !m_pRequests) {
        Message(L"Video effect setting is not supported.", L"Error");
        return true;
    }
    if (name.isEmpty()) {
        Message(L"Channel name can't be empty.", L"Attention");
        ApplyImageExtras();
        return true;
    }
    if (IsSaving()) {
        Message(L"Setting,please wait...", L"Attention");
        return true;
    }
    ++m_nImageSaves;
    edit->EnableWindow(0);
    // The request carries its own copy; the shown record takes the name once the device has it.
    auto copy = std::make_shared<AV_CFG_ChannelName>(*m_pName);
    const std::string bytes = CutUtf8(name.toStdString(), sizeof copy->szName - 1);
    std::memset(copy->szName, 0, sizeof copy->szName);
    std::memcpy(copy->szName, bytes.data(), bytes.size());
    m_pPendingName = copy;
    m_pRequests->SaveChannelName(Combo(ID_IMAGE_CHANNEL)->GetCurSel(), copy);
    return true;
}

void CCodeVideoCfgEventImp::OnSaveChannelNameResult(int ok)
{
    auto sent = std::move(m_pPendingName);
    if (ok && sent && m_pName)
        std::memcpy(m_pName->szName, sent->szName, sizeof m_pName->szName);
    if (!ok)
        Message(L"Failed to save.", L"Error");
    ApplyImageExtras();
    Edit(ID_NAME)->EnableWindow(1);
}

void CCodeVideoCfgEventImp::EDIT_OnTextChange(UINT id, wchar_t* text)
{
    const QString value = QString::fromWCharArray(text ? text : L"");
    if (id == ID_NAME && value.size() > kNameChars) {
        Edit(ID_NAME)->SetWindowTextW(value.left(kNameChars).toStdWString().c_str());
    } else if ((id == ID_MAIN_IFRAME || id == ID_SUB_IFRAME) && value.isEmpty()) {
        const int rate = id == ID_SUB_IFRAME ? m_sub.frameRate : m_main.frameRate;
        Edit(int(id))->SetWindowTextW(std::to_wstring(2 * rate).c_str());
    }
}

// ---- Encode check boxes ----

void CCodeVideoCfgEventImp::Check_OnCheckStateChanged(int checked, int id)
{
    // Without video the sub stream carries no audio.
    if (id == ID_SUB_VIDEO) {
        CSFCheckBox* audio = CheckBox(ID_SUB_AUDIO);
        audio->SetCheck(0);
        audio->EnableWindow(checked);
    }
}
