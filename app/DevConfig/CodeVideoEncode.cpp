// The Encode tab of the configuration window: building, the query cycles, answer handling,
// editing, staging and the commit.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Common/AppSettings.h"
#include "Common/DevClass.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "Widgets/SkinRecords.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFStatic.h"

namespace {

enum : int {
    ID_CHANNEL = 1114, ID_MAIN_TYPE = 1021, ID_MAIN_COMP = 1022, ID_MAIN_CBR = 1023, ID_MAIN_VBR = 1024,
    ID_MAIN_FRAME = 1025, ID_MAIN_QUALITY = 1026, ID_MAIN_BITRATE = 1027, ID_MAIN_RES = 1028,
    ID_SUB_BITRATE = 1029, ID_SUB_QUALITY = 1030, ID_SUB_RES = 1031, ID_SUB_FRAME = 1032, ID_SUB_VBR = 1033,
    ID_SUB_CBR = 1034, ID_SUB_COMP = 1035, ID_SUB_TYPE = 1036, ID_OK = 1037,
    ID_MAIN_CUSTOM = 1121, ID_SUB_CUSTOM = 1122,
    ID_MAIN_IFRAME = 1172, ID_SUB_IFRAME = 1175, ID_MAIN_SVC = 1207, ID_SUB_SVC = 1208,
    ID_WATERMARK = 1174, ID_WATERMARK_TEXT = 1173,
    ID_MAIN_AUDIO = 1125, ID_SPARE_AUDIO = 1127, ID_SUB_AUDIO = 1126, ID_SUB_VIDEO = 1128,
    ID_MAIN_AUDIO_ENC = 1123, ID_SUB_AUDIO_ENC = 1124, ID_MAIN_SAMPLE = 1200, ID_SUB_SAMPLE = 1201,
};

constexpr int kBitRates[32] = {32,   48,   64,   80,    96,    128,   160,   192,   224,   256,   320,
                               384,  448,  512,  640,   768,   896,   1024,  1280,  1536,  1792,  2048,
                               4096, 6144, 8192, 10240, 12288, 14336, 16384, 18432, 20480, 22528};

struct AudioRow {
    const wchar_t* name;
    int code;
};
constexpr AudioRow kAudioRows[13] = {{L"PCM", 1},   {L"ADPCM", 21},       {L"G.711A", 2}, {L"G.711Mu", 4},
                                     {L"G.726", 5}, {L"G.729", 10},       {L"MPEG2", 11}, {L"AMR", 3},
                                     {L"AAC", 8},   {L"MPEG2-Layer2", 12}, {L"OGG", 9},   {L"MP3", 22},
                                     {L"G.722.1", 13}};

std::wstring Wide(const std::string& utf8) { return QString::fromStdString(utf8).toStdWString(); }

int LeadingNumber(const std::string& text)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return 0;
    return std::atoi(text.c_str());
}

} // namespace

void CCodeVideoCfgEventImp::BuildEncodeTab()
{
    m_pEncodeArea = CreateSFScrollArea(nullptr);
    ScrollAreaStyle areaSkin;
    areaSkin.strBkImage = L"/bgColorWhite.png";
    m_pEncodeArea->SetSkin(&areaSkin);
    m_pEncodeArea->Create(0x50000000, RECT{8, 40, 700, 550}, 680, 750, GetUIWnd(), 0);
    m_pBuildParent = m_pEncodeArea->GetUIWnd();
    std::vector<CSFStatic*> hidden;
    // Label of a row, created at the origin; the layout places it.
    auto label = [&](int row, const wchar_t* text, bool centred, bool shown) {
        CSFStatic* l = MakeLabel(Tr(text), RECT{0, 0, 80, 24}, shown ? m_encodeLabels : hidden);
        if (centred)
            l->SetTextAlignFlag(0x25);
        if (!shown)
            l->ShowWindow(0);
        m_encodeRows[size_t(row)] = l;
        return l;
    };
    auto value = [&](int row) {
        CSFStatic* l = MakeLabel(L"3", RECT{0, 0, 80, 24}, m_encodeLabels);
        l->SetTextAlignFlag(0x25);
        m_encodeRows[size_t(row)] = l;
        return l;
    };
    auto border = [&]() {
        CSFPictureCtrl* line = CreateSFPictureCtrl(nullptr);
        line->Create(L"", 0x50000000, RECT{0, 0, 1, 34}, m_pBuildParent, UINT(-1));
        line->SetImage(L"border.png", false);
        return line;
    };
    auto hiddenEdit = [&](int id) {
        CSFEditCtrl* e = MakeEdit(id, RECT{0, 0, 80, 24});
        e->ShowWindow(0);
        return e;
    };
    label(1, L"Channel", false, true);
    MakeCombo(ID_CHANNEL, RECT{0, 0, 150, 22});
    label(3, L"Main Stream", true, true)->SetBgColor(0xF5EFED, 1);
    m_pMainBorder = border();
    label(5, L"Code-Stream Type", false, true);
    MakeCombo(ID_MAIN_TYPE, RECT{0, 0, 150, 22});
    label(7, L"Compression", true, true);
    MakeCombo(ID_MAIN_COMP, RECT{0, 0, 150, 22});
    label(9, L"Bit Rate Type", false, true);
    MakeRadio(ID_MAIN_CBR, Tr(L"CBR"), RECT{0, 0, 100, 36});
    MakeRadio(ID_MAIN_VBR, Tr(L"VBR"), RECT{0, 0, 100, 36});
    label(12, L"Frame Rate(FPS)", false, true);
    MakeSlider(ID_MAIN_FRAME, RECT{0, 0, 122, 24}, nullptr);
    m_sliderValues.back().second = value(14);
    label(15, L"Resolution", false, true);
    MakeCombo(ID_MAIN_RES, RECT{0, 0, 150, 22});
    label(17, L"Quality", false, true);
    MakeSlider(ID_MAIN_QUALITY, RECT{0, 0, 122, 24}, nullptr);
    m_sliderValues.back().second = value(19);
    label(20, L"Bit Rate(Kb/S)", false, true);
    MakeCombo(ID_MAIN_BITRATE, RECT{0, 0, 150, 22});
    hiddenEdit(ID_MAIN_CUSTOM);
    label(23, L"I Frame Interval", false, false);
    hiddenEdit(ID_MAIN_IFRAME);
    label(25, L" (1~150)", false, false);
    label(26, L"SVC", false, false);
    MakeCombo(ID_MAIN_SVC, RECT{0, 0, 150, 22})->ShowWindow(0);
    CSFRadioBox* mark = CreateSFRadioBox(this);
    ImageRadioBox markSkin{L"Select_Check.png", L"Select_Check.png", L"Select_Check.png", L"Select_unCheck.png",
                           L"Select_unCheck.png", L"Select_unCheck.png", L"", L""};
    mark->SetSkin(&markSkin);
    mark->Create(L"", 0x10000000, RECT{0, 0, 16, 16}, m_pBuildParent, UINT(ID_WATERMARK));
    mark->SetCheck(0);
    mark->ShowWindow(0);
    m_radios.push_back(mark);
    m_radioIds.push_back(ID_WATERMARK);
    label(29, L"Watermark Settings", false, false);
    label(30, L"Watermark Character", false, false);
    hiddenEdit(ID_WATERMARK_TEXT);
    label(32, L"Sub Stream", true, true)->SetBgColor(0xF5EFED, 1);
    m_pSubBorder = border();
    label(34, L"Code-Stream Type", false, true);
    MakeCombo(ID_SUB_TYPE, RECT{0, 0, 150, 22});
    label(36, L"Compression", true, true);
    MakeCombo(ID_SUB_COMP, RECT{0, 0, 150, 22});
    label(38, L"Bit Rate Type", false, true);
    MakeRadio(ID_SUB_CBR, Tr(L"CBR"), RECT{0, 0, 100, 36});
    MakeRadio(ID_SUB_VBR, Tr(L"VBR"), RECT{0, 0, 100, 36});
    label(41, L"Frame Rate(FPS)", false, true);
    MakeSlider(ID_SUB_FRAME, RECT{0, 0, 122, 24}, nullptr);
    m_sliderValues.back().second = value(43);
    label(44, L"Resolution", false, true);
    MakeCombo(ID_SUB_RES, RECT{0, 0, 150, 22});
    label(46, L"Quality", false, true);
    MakeSlider(ID_SUB_QUALITY, RECT{0, 0, 122, 24}, nullptr);
    m_sliderValues.back().second = value(48);
    label(49, L"Bit Rate(Kb/S)", false, true);
    MakeCombo(ID_SUB_BITRATE, RECT{0, 0, 150, 22});
    hiddenEdit(ID_SUB_CUSTOM);
    // Audio of both streams: the sampling-frequency rows (57, 58, 64, 65) follow the
    // encode-information flag, box 1127 is never shown.
    const int boxDefault = CAppSettings::SearchBoadcast ? 1 : 0;
    label(52, L"Audio", true, true);
    MakeCheck(ID_MAIN_AUDIO, boxDefault);
    MakeCheck(ID_SPARE_AUDIO, boxDefault)->ShowWindow(0);
    label(55, L"Audio Encode", true, true);
    MakeCombo(ID_MAIN_AUDIO_ENC, RECT{0, 0, 150, 22});
    label(57, L"Sampling Frequency", true, false);
    MakeCombo(ID_MAIN_SAMPLE, RECT{0, 0, 150, 22});
    label(59, L"Audio/Video", true, true);
    MakeCheck(ID_SUB_AUDIO, 0);
    MakeCheck(ID_SUB_VIDEO, 0);
    label(62, L"Audio Encode", true, true);
    MakeCombo(ID_SUB_AUDIO_ENC, RECT{0, 0, 150, 22});
    label(64, L"Sampling Frequency", true, false);
    MakeCombo(ID_SUB_SAMPLE, RECT{0, 0, 150, 22});
    label(66, L"I Frame Interval", false, false);
    hiddenEdit(ID_SUB_IFRAME);
    label(68, L" (1~150)", false, false);
    label(69, L"SVC", false, false);
    MakeCombo(ID_SUB_SVC, RECT{0, 0, 150, 22})->ShowWindow(0);
    for (int id : {int(ID_MAIN_IFRAME), int(ID_SUB_IFRAME)})
        Edit(id)->SetRegExp("[0-9]+$");
    m_pBuildParent = nullptr;
    ImageButtonStyle okSkin = MakeButtonSkin(L"btn_nor.png", L"btn_over.png", L"btn_down.png", L"btn_dis.png");
    MakeButton(ID_OK, Tr(L"OK"), RECT{0, 0, 80, 28})->SetSkin(&okSkin);
}

void CCodeVideoCfgEventImp::ShowEncodeTab(int show)
{
    if (m_pEncodeArea)
        m_pEncodeArea->ShowWindow(show);
    ShowGroup(m_encodeLabels, show);
    for (int id : {ID_CHANNEL, ID_MAIN_TYPE, ID_MAIN_COMP, ID_MAIN_RES, ID_MAIN_BITRATE, ID_SUB_TYPE, ID_SUB_COMP,
                   ID_SUB_RES, ID_SUB_BITRATE})
        Combo(id)->ShowWindow(show);
    for (int id : {ID_MAIN_FRAME, ID_MAIN_QUALITY, ID_SUB_FRAME, ID_SUB_QUALITY})
        Slider(id)->ShowWindow(show);
    for (int id : {ID_MAIN_CBR, ID_MAIN_VBR, ID_SUB_CBR, ID_SUB_VBR})
        Radio(id)->ShowWindow(show);
    Edit(ID_MAIN_CUSTOM)->ShowWindow(show && m_main.customised);
    Edit(ID_SUB_CUSTOM)->ShowWindow(show && m_sub.customised);
    ShowEncodeAudio(show);
    Button(ID_OK)->ShowWindow(show);
    Radio(1018)->SetCheck(show);
}

void CCodeVideoCfgEventImp::Query(const std::string& key, int mainType, const std::string& mainCompression,
                                  int videoStandard, int mainResolution, int subType,
                                  const std::string& subCompression, int subResolution, bool chain)
{
    if (m_pRequests)
        m_pRequests->QueryConfig(m_nChannel, mainType, mainCompression, videoStandard, mainResolution, subType,
                                 subCompression, subResolution, key, m_method, chain);
}

void CCodeVideoCfgEventImp::SetFlag(int flag)
{
    m_flags[size_t(flag)] = 1;
    if (AllFlagsSet())
        Combo(ID_CHANNEL)->EnableWindow(1);
}

int CCodeVideoCfgEventImp::AllFlagsSet() const
{
    return std::all_of(m_flags.begin(), m_flags.end(), [](int f) { return f != 0; }) ? 1 : 0;
}

std::string CCodeVideoCfgEventImp::SelectedText(int comboId) const
{
    CSFComboBox* combo = Combo(comboId);
    const int sel = combo ? combo->GetCurSel() : -1;
    if (sel < 0)
        return {};
    wchar_t text[256] = {};
    combo->GetLBText(sel, text, 256);
    return QString::fromWCharArray(text).toStdString();
}

int CCodeVideoCfgEventImp::MainStreamType() const
{
    // The stream-type value of the selected item, not its position.
    const int sel = Combo(ID_MAIN_TYPE)->GetCurSel();
    return sel >= 0 && sel < int(m_streamTypeValues.size()) ? m_streamTypeValues[size_t(sel)] : 0;
}

void CCodeVideoCfgEventImp::ApplyMainAbility(int channel, bool refill)
{
    m_nChannel = channel;
    const int count = m_pRequests ? std::max(1, m_pRequests->ChannelCount()) : 1;
    if (refill) {
        for (int id : {int(ID_CHANNEL), 1057}) {
            CSFComboBox* combo = Combo(id);
            combo->ResetContent();
            for (int i = 1; i <= count; ++i)
                combo->AddString(std::to_wstring(i).c_str());
            combo->SetCurSel(channel);
        }
        m_nImageChannel = channel;
    }
    m_flags.fill(0);
    CSFComboBox* type = Combo(ID_MAIN_TYPE);
    type->ResetContent();
    m_streamTypeValues.clear();
    const unsigned mask = m_pRequests ? m_pRequests->StreamCapMask() : 0u;
    type->AddString(Tr(L"Regular"));
    m_streamTypeValues.push_back(0);
    if (mask & 4u) {
        type->AddString(Tr(L"Motion"));
        m_streamTypeValues.push_back(1);
    }
    if (mask & 2u) {
        type->AddString(Tr(L"Alarm"));
        m_streamTypeValues.push_back(2);
    }
    type->SetCurSel(0);
    type->EnableWindow(1);
    Combo(ID_MAIN_COMP)->ResetContent();
    m_main.compressionKeys.clear();
    Query("EncodeMode", 0, "", 0, 0, 0, "", 0, true);
    Slider(ID_MAIN_FRAME)->SetRange(0, 100, 0);
    Slider(ID_MAIN_FRAME)->SetPos(0);
    SetSliderValue(ID_MAIN_FRAME, 0);
    m_main.frameRate = 0;
    Query("BitRate", 0, "", 0, 0, 0, "", 0, true);
    Query("BitRateControl", 0, "", 0, 0, 0, "", 0, true);
    Slider(ID_MAIN_QUALITY)->SetRange(0, 100, 0);
    Slider(ID_MAIN_QUALITY)->SetPos(0);
    SetSliderValue(ID_MAIN_QUALITY, 0);
    m_main.quality = 0;
    Query("ImageQuality", 0, "", 0, 0, 0, "", 0, true);
    Query("Sub1Ability", 0, "", 0, 0, 0, "", 0, true);
}

void CCodeVideoCfgEventImp::ApplySubAbility(const Json::Value&)
{
    Query("Sub1VideoEnable", 0, "", 0, 0, 0, "", 0, true);
    CSFComboBox* type = Combo(ID_SUB_TYPE);
    type->ResetContent();
    type->AddString(Tr(L"Regular"));
    type->SetCurSel(0);
    type->EnableWindow(1);
    Combo(ID_SUB_COMP)->ResetContent();
    m_sub.compressionKeys.clear();
    Query("Sub1EncodeMode", 0, "", 0, 0, 0, "", 0, true);
    Slider(ID_SUB_FRAME)->SetRange(0, 100, 0);
    Slider(ID_SUB_FRAME)->SetPos(0);
    SetSliderValue(ID_SUB_FRAME, 0);
    m_sub.frameRate = 0;
    Query("Sub1BitRate", 0, "", 0, 0, 0, "", 0, true);
    Query("Sub1BitRateControl", 0, "", 0, 0, 0, "", 0, true);
    Slider(ID_SUB_QUALITY)->SetRange(0, 6, 0);
    Slider(ID_SUB_QUALITY)->SetPos(0);
    Slider(ID_SUB_QUALITY)->EnableWindow(0);
    SetSliderValue(ID_SUB_QUALITY, 0);
    m_sub.quality = 0;
    for (const char* key : {"Sub1ImageQuality", "AudioEnable", "Sub1AudioEnable", "Sub1AudioEncode"})
        Query(key, 0, "", 0, 0, 0, "", 0, true);
    SetFlag(6);
}

void CCodeVideoCfgEventImp::FillList(int comboId, const Json::Value& list, std::vector<int>& keys, bool fixNames)
{
    CSFComboBox* combo = Combo(comboId);
    combo->EnableWindow(1);
    const int n = std::max(0, std::min(list["Size"].isInt() ? list["Size"].asInt() : 0, 256));
    combo->ResetContent();
    keys.clear();
    auto name = [&](const Json::Value& v) {
        std::string text = v.isString() ? v.asString() : v.isNumeric() ? std::to_string(v.asInt()) : std::string();
        return fixNames ? FixResolutionName(text) : text;
    };
    for (int i = 0; i < n; ++i) {
        const Json::Value& item = list[std::to_string(i)];
        combo->AddString(Wide(name(item["value"])).c_str());
        keys.push_back(item["key"].isInt() ? item["key"].asInt() : -1);
    }
    const Json::Value& select = list["Select"];
    const int key = select["key"].isInt() ? select["key"].asInt() : -1;
    const std::string value = name(select["value"]);
    if (n == 0) {
        combo->AddString(Wide(value).c_str());
        keys.push_back(key);
        combo->SetCurSel(0);
        combo->EnableWindow(0);
        return;
    }
    int pos = 0;
    for (int i = 0; i < n; ++i)
        if (key >= 0 ? keys[size_t(i)] == key : name(list[std::to_string(i)]["value"]) == value) {
            pos = i;
            break;
        }
    combo->SetCurSel(pos);
}

void CCodeVideoCfgEventImp::ApplyCbrLock(bool sub)
{
    Stream& s = sub ? m_sub : m_main;
    const int cbr = sub ? ID_SUB_CBR : ID_MAIN_CBR, vbr = sub ? ID_SUB_VBR : ID_MAIN_VBR;
    s.cbrLock = s.compressionKey == 5;
    if (s.cbrLock) {
        Radio(cbr)->SetCheck(1);
        Radio(vbr)->SetCheck(0);
        s.bitRateControl = 0;
        Slider(sub ? ID_SUB_QUALITY : ID_MAIN_QUALITY)->EnableWindow(0);
    }
    Radio(cbr)->SetEnabled(!s.cbrLock);
    Radio(vbr)->SetEnabled(!s.cbrLock);
}

void CCodeVideoCfgEventImp::FillBitRate(bool sub, const Json::Value& a)
{
    Stream& s = sub ? m_sub : m_main;
    CSFComboBox* combo = Combo(sub ? ID_SUB_BITRATE : ID_MAIN_BITRATE);
    CSFEditCtrl* edit = Edit(sub ? ID_SUB_CUSTOM : ID_MAIN_CUSTOM);
    combo->EnableWindow(1);
    combo->ResetContent();
    s.minBitRate = a["nMinBitRate"].isInt() ? a["nMinBitRate"].asInt() : 0;
    s.maxBitRate = a["nMaxBitRate"].isInt() ? a["nMaxBitRate"].asInt() : 0;
    int first = 31;
    for (int i = 0; i <= 30; ++i)
        if (kBitRates[i] >= s.minBitRate) {
            first = i;
            break;
        }
    int last = -1;
    for (int i = 31; i >= 0; --i)
        if (kBitRates[i] <= s.maxBitRate) {
            last = i;
            break;
        }
    s.firstBitRate = first;
    s.lastBitRate = last;
    for (int i = first; i <= last; ++i)
        combo->AddString(std::to_wstring(kBitRates[i]).c_str());
    const int k = last >= first ? last - first + 1 : 0;
    combo->AddString(Tr(L"Customized"));
    int current = a["nBitRate"].isInt() ? a["nBitRate"].asInt() : 0;
    auto setCustom = [&](int value) {
        s.customised = 1;
        combo->SetCurSel(k);
        edit->SetWindowTextW(std::to_wstring(value).c_str());
    };
    if (s.maxBitRate > 0) {
        if (current < s.minBitRate || current > s.maxBitRate) {
            // Outside the device's range: the listed entry nearest the midpoint.
            const int mid = (s.minBitRate + s.maxBitRate) / 2;
            if (k == 0) {
                setCustom(mid);
            } else {
                int best = first;
                for (int i = first; i <= last; ++i)
                    if (std::abs(kBitRates[i] - mid) < std::abs(kBitRates[best] - mid))
                        best = i;
                s.customised = 0;
                combo->SetCurSel(best - first);
            }
        } else {
            int index = -1;
            for (int i = 31; i >= 0; --i)
                if (kBitRates[i] <= current) {
                    index = i;
                    break;
                }
            if (index >= first && index <= last && kBitRates[index] == current) {
                s.customised = 0;
                combo->SetCurSel(index - first);
            } else {
                setCustom(current);
            }
        }
    } else {
        setCustom(current);
    }
    edit->ShowWindow(s.customised && m_nCurTab == kTabEncode);
    combo->EnableWindow(a["abBitRate"].asBool());
}

void CCodeVideoCfgEventImp::FillFrameRate(bool sub, const Json::Value& a)
{
    Stream& s = sub ? m_sub : m_main;
    const int id = sub ? ID_SUB_FRAME : ID_MAIN_FRAME;
    CSFSliderCtrl* slider = Slider(id);
    slider->EnableWindow(1);
    const int max = a["Max"].isInt() ? a["Max"].asInt() : 0;
    const int top = max > 0 ? max : (m_pRequests && m_pRequests->VideoStandard(m_nChannel) ? 30 : 25);
    slider->SetRange(1, top, 0);
    const int current = a["nFrameRate"].isInt() ? a["nFrameRate"].asInt() : 0;
    slider->EnableWindow(a["abFrameRate"].asBool());
    if (current != 0) {
        const int shown = max != 0 && max < current ? max : current;
        slider->SetPos(shown);
        SetSliderValue(id, shown);
        s.frameRate = shown;
        SetIFrameRange(sub, shown);
    } else {
        slider->SetRange(0, 100, 0);
        slider->SetPos(0);
        SetSliderValue(id, 0);
        s.frameRate = 0;
        slider->EnableWindow(0);
    }
}

void CCodeVideoCfgEventImp::ApplyQuality(bool sub, const Json::Value& a, bool chain)
{
    Stream& s = sub ? m_sub : m_main;
    const int id = sub ? ID_SUB_QUALITY : ID_MAIN_QUALITY;
    CSFSliderCtrl* slider = Slider(id);
    if (!sub && chain)
        slider->SetRange(1, 6, 0);
    if (sub)
        slider->SetRange(1, 6, 0);
    s.quality = a["emImageQuality"].isInt() ? a["emImageQuality"].asInt() : 0;
    slider->SetPos(s.quality);
    SetSliderValue(id, s.quality);
    slider->EnableWindow(s.bitRateControl != 0);
    ApplyCbrLock(sub);
}

void CCodeVideoCfgEventImp::EncodeResult(const std::string& setter, const Json::Value& answer, int extra, bool chain)
{
    const int vs = m_pRequests ? m_pRequests->VideoStandard(m_nChannel) : 0;
    if (setter == "FillEncodeModeCombo") {
        const Json::Value& list = answer["EncodeMode"];
        FillList(ID_MAIN_COMP, list, m_main.compressionKeys, false);
        const int sel = Combo(ID_MAIN_COMP)->GetCurSel();
        m_main.compressionKey = sel >= 0 && sel < int(m_main.compressionKeys.size()) ? m_main.compressionKeys[size_t(sel)] : -1;
        if (list["Size"].asInt() == 0)
            Combo(ID_MAIN_TYPE)->EnableWindow(0);
        else
            Combo(ID_MAIN_COMP)->EnableWindow(list["Enable"].asBool());
        ApplyCbrLock(false);
        if (m_pRequests && m_pRequests->Protocol() == 1 && MainStreamType() != 0)
            Combo(ID_MAIN_COMP)->EnableWindow(0);
        Edit(ID_MAIN_IFRAME)->ShowWindow(0);
        Combo(ID_MAIN_SVC)->ShowWindow(0);
        LayoutEncodeTab(699, 598);
        Combo(ID_MAIN_RES)->ResetContent();
        m_main.resolutionKeys.clear();
        Query("Resolution", MainStreamType(), SelectedText(ID_MAIN_COMP), vs, 0, 0, "", 0, false);
        SetFlag(0);
    } else if (setter == "FillResolutionCombo") {
        const Json::Value& list = answer["Resolution"];
        FillList(ID_MAIN_RES, list, m_main.resolutionKeys, true);
        const int key = list["Select"]["key"].isInt() ? list["Select"]["key"].asInt() : -1;
        if (!chain && m_pRequests && m_pRequests->Protocol() == 1) {
            if (m_bStreamTypeChanged && extra != 0) {
                Combo(ID_MAIN_RES)->ResetContent();
                m_main.resolutionKeys.clear();
                m_bStreamTypeChanged = 0;
                Query("Resolution", 0, SelectedText(ID_MAIN_COMP), vs, 0, 0, "", 0, false);
                return;
            }
            if (!m_bStreamTypeChanged && MainStreamType() != 0) {
                Combo(ID_MAIN_RES)->EnableWindow(0);
                return;
            }
        }
        m_bStreamTypeChanged = 0;
        Query("Frame", extra, "", vs, key, 0, "", 0, true);
        SetFlag(1);
    } else if (setter == "SetMainFrameRate") {
        FillFrameRate(false, answer["Frame"]);
        SetFlag(2);
    } else if (setter == "SetMainBitRate") {
        FillBitRate(false, answer["BitRate"]);
        SetFlag(3);
    } else if (setter == "SetMainBitRateControl" || setter == "SetSubBitRateControl") {
        const bool sub = setter == "SetSubBitRateControl";
        const int v = answer[sub ? "Sub1BitRateControl" : "BitRateControl"]["emBitRateControl"].asInt();
        (sub ? m_sub : m_main).bitRateControl = v != 0;
        Radio(sub ? ID_SUB_CBR : ID_MAIN_CBR)->SetCheck(v == 0);
        Radio(sub ? ID_SUB_VBR : ID_MAIN_VBR)->SetCheck(v != 0);
        ApplyCbrLock(sub);
        SetFlag(sub ? 16 : 4);
    } else if (setter == "SetMainImageQuality") {
        ApplyQuality(false, answer["ImageQuality"], chain);
        SetFlag(5);
    } else if (setter == "SetSubImageQuality") {
        ApplyQuality(true, answer["Sub1ImageQuality"], true);
        SetFlag(17);
    } else if (setter == "SetMainAudioEnable") {
        m_main.audioEnable = answer["MainStream"]["AudioEnable"].asBool();
        CheckBox(ID_MAIN_AUDIO)->SetCheck(m_main.audioEnable);
        SetFlag(7);
    } else if (setter == "SetSubAudioEnable") {
        m_sub.audioEnable = answer["Sub1Stream"]["Sub1AudioEnable"].asBool();
        CSFCheckBox* audio = CheckBox(ID_SUB_AUDIO);
        const bool video = CheckBox(ID_SUB_VIDEO)->IsChecked();
        audio->EnableWindow(video);
        audio->SetCheck(video && m_sub.audioEnable);
        SetFlag(8);
    } else if (setter == "FillAudioEncodeCombo") {
        FillAudioList(false, answer);
        SetFlag(9);
        Query("AudioSF", 0, "", 0, 0, 0, "", 0, true);
    } else if (setter == "FillSubAudioEncodeCombo") {
        FillAudioList(true, answer);
        SetFlag(10);
        Query("AudioEncode", 0, "", 0, 0, 0, "", 0, true);
    } else if (setter == "SetSubVideoEnable") {
        const bool video = answer["Sub1Stream"]["bVideoEnable"].asBool();
        CheckBox(ID_SUB_VIDEO)->SetCheck(video);
        if (video)
            CheckBox(ID_SUB_AUDIO)->EnableWindow(1);
        SetFlag(11);
    } else if (setter == "FillSubEncodeModeCombo") {
        FillList(ID_SUB_COMP, answer["Sub1EncodeMode"], m_sub.compressionKeys, false);
        const int sel = Combo(ID_SUB_COMP)->GetCurSel();
        m_sub.compressionKey = sel >= 0 && sel < int(m_sub.compressionKeys.size()) ? m_sub.compressionKeys[size_t(sel)] : -1;
        ApplyCbrLock(true);
        Edit(ID_SUB_IFRAME)->ShowWindow(0);
        Combo(ID_SUB_SVC)->ShowWindow(0);
        Combo(ID_SUB_RES)->ResetContent();
        m_sub.resolutionKeys.clear();
        Query("Sub1Resolution", 0, "", vs, 0, 0, SelectedText(ID_SUB_COMP), 0, true);
        SetFlag(12);
    } else if (setter == "FillSubResolutionCombo") {
        const Json::Value& list = answer["Sub1Resolution"];
        FillList(ID_SUB_RES, list, m_sub.resolutionKeys, true);
        const int key = list["Select"]["key"].isInt() ? list["Select"]["key"].asInt() : -1;
        Query("Sub1Frame", 0, "", vs, 0, 0, "", key, true);
        SetFlag(13);
    } else if (setter == "SetSubFrameRate") {
        FillFrameRate(true, answer["Sub1Frame"]);
        SetFlag(14);
    } else if (setter == "SetSubBitRate") {
        FillBitRate(true, answer["Sub1BitRate"]);
        SetFlag(15);
    }
}

void CCodeVideoCfgEventImp::FillAudioEncodeComboEx(std::shared_ptr<ZRDEV_TALKFORMAT_LIST> record)
{
    if (m_bEncodeInfoFlag) {
        for (int row : {57, 64})
            m_encodeRows[size_t(row)]->ShowWindow(0);
        Combo(ID_MAIN_SAMPLE)->ShowWindow(0);
        Combo(ID_SUB_SAMPLE)->ShowWindow(0);
        return;
    }
    if (!record)
        return;
    Combo(ID_MAIN_SAMPLE)->ResetContent();
    Combo(ID_SUB_SAMPLE)->ResetContent();
    for (auto& row : m_sampleRates)
        row.clear();
    // The count comes from the device: never past the record's entries.
    const int count = std::max(0, std::min(record->nSupportNum, kMaxTalkFormats));
    auto field = [&](int i, int offset) {
        int value = 0;
        std::memcpy(&value, reinterpret_cast<const unsigned char*>(&record->type[i]) + offset, 4);
        return value;
    };
    m_bHaveTalkFormats = !(count == 1 && field(0, 0) == 0);
    Combo(ID_MAIN_SAMPLE)->EnableWindow(m_bHaveTalkFormats);
    Combo(ID_SUB_SAMPLE)->EnableWindow(m_bHaveTalkFormats);
    if (!m_bHaveTalkFormats)
        return;
    for (int i = 0; i < count; ++i) {
        const int code = field(i, 0), rate = field(i, 8);
        for (int r = 0; r < 13; ++r)
            if (kAudioRows[r].code == code && m_sampleRates[size_t(r)].size() < 5)
                m_sampleRates[size_t(r)].push_back(rate);
    }
    FillSampleRates(false);
    FillSampleRates(true);
}

void CCodeVideoCfgEventImp::FillSampleRates(bool sub)
{
    CSFComboBox* combo = Combo(sub ? ID_SUB_SAMPLE : ID_MAIN_SAMPLE);
    combo->ResetContent();
    const std::wstring name = Wide(SelectedText(sub ? ID_SUB_AUDIO_ENC : ID_MAIN_AUDIO_ENC));
    const int remembered = sub ? m_nSubSampleRate : m_nMainSampleRate;
    int pick = 0, n = 0;
    for (int r = 0; r < 13; ++r) {
        if (name != kAudioRows[r].name)
            continue;
        for (int rate : m_sampleRates[size_t(r)]) {
            combo->AddString(std::to_wstring(rate).c_str());
            if (rate == remembered)
                pick = n;
            ++n;
        }
    }
    if (n > 0)
        combo->SetCurSel(pick);
}

void CCodeVideoCfgEventImp::FillAudioList(bool sub, const Json::Value& answer)
{
    const Json::Value& frequency = answer[sub ? "Sub1AudioFrequency" : "AudioFrequency"]["Select"]["value"];
    (sub ? m_nSubSampleRate : m_nMainSampleRate) = frequency.isInt() ? frequency.asInt() : 0;
    FillList(sub ? ID_SUB_AUDIO_ENC : ID_MAIN_AUDIO_ENC, answer[sub ? "Sub1AudioEncode" : "AudioEncode"],
             sub ? m_subAudioKeys : m_mainAudioKeys, false);
}

void CCodeVideoCfgEventImp::StageAudio(int ch, int st, int proto, int vs)
{
    auto stage = [&](int a, int b, int c, int d, const char* key, const Json::Value& v) {
        m_pRequests->SetConfig(ch, a, b, c, d, key, v, m_method);
    };
    auto keyOf = [&](int comboId, const std::vector<int>& keys) {
        const int sel = Combo(comboId)->GetCurSel();
        return sel >= 0 && sel < int(keys.size()) ? keys[size_t(sel)] : -1;
    };
    Json::Value v;
    v["MainStream"]["AudioEnable"] = CheckBox(ID_MAIN_AUDIO)->IsChecked();
    stage(0, 0, st, 0, "AudioEnable", v);
    v = Json::Value();
    v["Sub1Stream"]["bVideoEnable"] = CheckBox(ID_SUB_VIDEO)->IsChecked();
    stage(0, 0, st, 0, "Sub1VideoEnable", v);
    v = Json::Value();
    v["Sub1Stream"]["Sub1AudioEnable"] = CheckBox(ID_SUB_AUDIO)->IsChecked();
    stage(0, 0, st, 0, "Sub1AudioEnable", v);
    v = Json::Value();
    v["AudioEncode"]["Select"]["key"] = keyOf(ID_MAIN_AUDIO_ENC, m_mainAudioKeys);
    v["AudioEncode"]["Select"]["value"] = SelectedText(ID_MAIN_AUDIO_ENC);
    stage(0, vs, st, proto, "AudioEncode", v);
    v = Json::Value();
    v["Sub1AudioEncode"]["Select"]["key"] = keyOf(ID_SUB_AUDIO_ENC, m_subAudioKeys);
    v["Sub1AudioEncode"]["Select"]["value"] = SelectedText(ID_SUB_AUDIO_ENC);
    stage(0, vs, st, proto, "Sub1AudioEncode", v);
    if (m_bEncodeInfoFlag)
        return;
    v = Json::Value();
    v["AudioFrequency"]["Select"]["value"] = LeadingNumber(SelectedText(ID_MAIN_SAMPLE));
    v["Sub1AudioFrequency"]["Select"]["value"] = LeadingNumber(SelectedText(ID_SUB_SAMPLE));
    stage(0, vs, st, proto, "AudioSF", v);
}

int CCodeVideoCfgEventImp::StagedBitRate(bool sub) const
{
    const Stream& s = sub ? m_sub : m_main;
    if (s.customised) {
        wchar_t text[16] = {};
        Edit(sub ? ID_SUB_CUSTOM : ID_MAIN_CUSTOM)->GetWindowTextW(text, 10);
        return LeadingNumber(QString::fromWCharArray(text).toStdString());
    }
    const int sel = Combo(sub ? ID_SUB_BITRATE : ID_MAIN_BITRATE)->GetCurSel();
    const int index = s.firstBitRate + sel;
    return sel >= 0 && index <= s.lastBitRate ? kBitRates[index] : s.minBitRate;
}

bool CCodeVideoCfgEventImp::SetConfig()
{
    if (!m_pRequests)
        return false;
    const int ch = m_nChannel, mt = MainStreamType(), st = 0;
    const int proto = m_pRequests->Protocol(), vs = m_pRequests->VideoStandard(ch);
    auto keyOf = [&](int comboId, const std::vector<int>& keys) {
        const int sel = Combo(comboId)->GetCurSel();
        return sel >= 0 && sel < int(keys.size()) ? keys[size_t(sel)] : -1;
    };
    auto stage = [&](int a, int b, int c, int d, const char* key, const Json::Value& v) {
        m_pRequests->SetConfig(ch, a, b, c, d, key, v, m_method);
    };
    Json::Value v;
    v["EncodeMode"]["Select"]["key"] = keyOf(ID_MAIN_COMP, m_main.compressionKeys);
    stage(mt, 0, 0, proto, "EncodeMode", v);
    v = Json::Value();
    v["Frame"]["nFrameRate"] = Slider(ID_MAIN_FRAME)->GetPos();
    stage(mt, 0, 0, proto, "Frame", v);
    const int mainCbr = Radio(ID_MAIN_CBR)->GetCheck();
    v = Json::Value();
    v["BitRateControl"]["emBitRateControl"] = mainCbr ? 0 : 1;
    stage(mt, 0, 0, 0, "BitRateControl", v);
    v = Json::Value();
    v["ImageQuality"]["emImageQuality"] = mainCbr ? -1 : Slider(ID_MAIN_QUALITY)->GetPos();
    stage(mt, 0, 0, 0, "ImageQuality", v);
    v = Json::Value();
    v["Resolution"]["Select"]["key"] = keyOf(ID_MAIN_RES, m_main.resolutionKeys);
    v["Resolution"]["Select"]["value"] = SelectedText(ID_MAIN_RES);
    stage(mt, vs, 0, proto, "Resolution", v);
    v = Json::Value();
    v["BitRate"]["nBitRate"] = StagedBitRate(false);
    stage(mt, 0, 0, 0, "BitRate", v);
    v = Json::Value();
    v["Sub1EncodeMode"]["Select"]["key"] = keyOf(ID_SUB_COMP, m_sub.compressionKeys);
    stage(0, 0, st, proto, "Sub1EncodeMode", v);
    v = Json::Value();
    v["Sub1Frame"]["nFrameRate"] = Slider(ID_SUB_FRAME)->GetPos();
    stage(0, 0, st, proto, "Sub1Frame", v);
    const int subCbr = Radio(ID_SUB_CBR)->GetCheck();
    v = Json::Value();
    v["Sub1BitRateControl"]["emBitRateControl"] = subCbr ? 0 : 1;
    stage(0, 0, st, 0, "Sub1BitRateControl", v);
    v = Json::Value();
    v["Sub1ImageQuality"]["emImageQuality"] = subCbr ? -1 : Slider(ID_SUB_QUALITY)->GetPos();
    stage(st, 0, 0, 0, "Sub1ImageQuality", v);
    v = Json::Value();
    v["Sub1Resolution"]["Select"]["key"] = keyOf(ID_SUB_RES, m_sub.resolutionKeys);
    v["Sub1Resolution"]["Select"]["value"] = SelectedText(ID_SUB_RES);
    stage(0, vs, st, proto, "Sub1Resolution", v);
    v = Json::Value();
    v["Sub1BitRate"]["nBitRate"] = StagedBitRate(true);
    stage(st, 0, 0, 0, "Sub1BitRate", v);
    StageAudio(ch, st, proto, vs);
    // The I-frame interval and SVC rows stay hidden; the layout is applied again.
    for (int id : {int(ID_MAIN_IFRAME), int(ID_SUB_IFRAME)})
        Edit(id)->ShowWindow(0);
    for (int id : {int(ID_MAIN_SVC), int(ID_SUB_SVC)})
        Combo(id)->ShowWindow(0);
    LayoutEncodeTab(699, 598);
    return true;
}

void CCodeVideoCfgEventImp::OnEncodeOK()
{
    if (m_bSaving) {
        Message(L"Setting,please wait...", L"Attention");
        return;
    }
    wchar_t mark[4096] = {};
    Edit(ID_WATERMARK_TEXT)->GetWindowTextW(mark, 4096);
    if (Radio(ID_WATERMARK)->GetCheck() && !mark[0]) {
        Message(L"Watermark cannot empty.", L"Attention");
        return;
    }
    // Nothing is written before the device's settings have been loaded.
    if (!AllFlagsSet() || !m_pRequests) {
        Message(L"another device is getting config,please wait.", L"Attention");
        return;
    }
    SetConfig();
    m_bSaving = 1;
    m_pRequests->SaveEnCodeInFor(m_nChannel, m_method);
}

void CCodeVideoCfgEventImp::OnSaveResult(int ok)
{
    m_bSaving = 0;
    if (ok)
        Message(L"Save successfully.", L"Success");
    else
        Message(L"Failed to save.", L"Error");
}

void CCodeVideoCfgEventImp::SelectChannel(int channel)
{
    Combo(ID_CHANNEL)->EnableWindow(0);
    ApplyMainAbility(channel, false);
}

void CCodeVideoCfgEventImp::EncodeSelectChanged(int id, int index)
{
    const int vs = m_pRequests ? m_pRequests->VideoStandard(m_nChannel) : 0;
    const bool loaded = AllFlagsSet();
    switch (id) {
    case ID_CHANNEL:
        if (loaded)
            SetConfig();
        SelectChannel(index);
        break;
    case ID_MAIN_TYPE: {
        m_bStreamTypeChanged = 1;
        Combo(ID_MAIN_COMP)->EnableWindow(0);
        Combo(ID_MAIN_COMP)->ResetContent();
        m_main.compressionKeys.clear();
        const int t = MainStreamType();
        Query("EncodeMode", t, "", 0, 0, 0, "", 0, false);
        if (m_pRequests && m_pRequests->Protocol() == 1 && t != 0)
            Query("EncodeMode", 0, "", 0, 0, 0, "", 0, false);
        for (const char* key : {"BitRateControl", "ImageQuality", "BitRate"})
            Query(key, t, "", 0, 0, 0, "", 0, false);
        break;
    }
    case ID_MAIN_COMP:
    case ID_SUB_COMP: {
        const bool sub = id == ID_SUB_COMP;
        if (loaded)
            SetConfig();
        Stream& s = sub ? m_sub : m_main;
        s.compressionKey = index >= 0 && index < int(s.compressionKeys.size()) ? s.compressionKeys[size_t(index)] : -1;
        const std::string text = SelectedText(id);
        Combo(sub ? ID_SUB_RES : ID_MAIN_RES)->ResetContent();
        s.resolutionKeys.clear();
        if (sub)
            Query("Sub1Resolution", 0, "", vs, 0, 0, text, 0, true);
        else
            Query("Resolution", MainStreamType(), text, vs, 0, 0, "", 0, false);
        ApplyCbrLock(sub);
        if (!s.cbrLock) {
            Query(sub ? "Sub1BitRateControl" : "BitRateControl", sub ? 0 : MainStreamType(), "", 0, 0, 0, "", 0, false);
            Query(sub ? "Sub1ImageQuality" : "ImageQuality", sub ? 0 : MainStreamType(), "", 0, 0, 0, "", 0, false);
        }
        Query(sub ? "Sub1BitRate" : "BitRate", sub ? 0 : MainStreamType(), "", 0, 0, 0, "", 0, false);
        break;
    }
    case ID_MAIN_RES:
    case ID_SUB_RES: {
        const bool sub = id == ID_SUB_RES;
        if (loaded)
            SetConfig();
        const Stream& s = sub ? m_sub : m_main;
        const int key = index >= 0 && index < int(s.resolutionKeys.size()) ? s.resolutionKeys[size_t(index)] : -1;
        if (sub) {
            Query("Sub1Frame", 0, "", vs, 0, 0, "", key, false);
            Query("Sub1BitRate", 0, "", 0, 0, 0, "", 0, false);
        } else {
            Query("Frame", MainStreamType(), "", vs, key, 0, "", 0, false);
            Query("BitRate", MainStreamType(), "", 0, 0, 0, "", 0, false);
        }
        break;
    }
    case ID_MAIN_BITRATE:
    case ID_SUB_BITRATE: {
        const bool sub = id == ID_SUB_BITRATE;
        Stream& s = sub ? m_sub : m_main;
        s.customised = SelectedText(id) == QString::fromWCharArray(Tr(L"Customized")).toStdString();
        Edit(sub ? ID_SUB_CUSTOM : ID_MAIN_CUSTOM)->ShowWindow(s.customised);
        break;
    }
    case ID_MAIN_AUDIO_ENC:
    case ID_SUB_AUDIO_ENC:
        if (!m_bEncodeInfoFlag)
            FillSampleRates(id == ID_SUB_AUDIO_ENC);
        break;
    default: break;
    }
}

void CCodeVideoCfgEventImp::EncodeRadio(int checked, int id)
{
    if (id == ID_WATERMARK) {
        Edit(ID_WATERMARK_TEXT)->EnableWindow(checked);
        return;
    }
    const bool sub = id == ID_SUB_CBR || id == ID_SUB_VBR;
    if (id != ID_MAIN_CBR && id != ID_MAIN_VBR && !sub)
        return;
    Stream& s = sub ? m_sub : m_main;
    const int cbr = sub ? ID_SUB_CBR : ID_MAIN_CBR, vbr = sub ? ID_SUB_VBR : ID_MAIN_VBR;
    if (!checked) {
        // A click on the checked radio of the pair keeps it checked.
        Radio(id)->SetCheck(1);
        return;
    }
    const bool isCbr = id == cbr;
    if (s.cbrLock && !isCbr) {
        Radio(cbr)->SetCheck(1);
        Radio(vbr)->SetCheck(0);
        return;
    }
    Radio(cbr)->SetCheck(isCbr);
    Radio(vbr)->SetCheck(!isCbr);
    s.bitRateControl = isCbr ? 0 : 1;
    Slider(sub ? ID_SUB_QUALITY : ID_MAIN_QUALITY)->EnableWindow(!isCbr);
}

void CCodeVideoCfgEventImp::EncodeSliderPos(int id, int pos)
{
    const bool encodeSlider = id == ID_MAIN_FRAME || id == ID_SUB_FRAME || id == ID_MAIN_QUALITY || id == ID_SUB_QUALITY;
    if (encodeSlider && m_nImageSaves > 0) {
        // A picture setting is still being written: the labels keep the stored values.
        Message(L"Setting,please wait...", L"Attention");
        SetSliderValue(ID_MAIN_FRAME, m_main.frameRate);
        SetIFrameRange(false, m_main.frameRate);
        SetSliderValue(ID_SUB_FRAME, m_sub.frameRate);
        SetIFrameRange(true, m_sub.frameRate);
        SetSliderValue(ID_MAIN_QUALITY, m_main.quality);
        SetSliderValue(ID_SUB_QUALITY, m_sub.quality);
        return;
    }
    switch (id) {
    case ID_MAIN_FRAME: {
        const bool changed = pos != m_main.frameRate;
        m_main.frameRate = pos;
        SetSliderValue(id, pos);
        SetIFrameRange(false, pos);
        if (changed && AllFlagsSet()) {
            SetConfig();
            const int vs = m_pRequests ? m_pRequests->VideoStandard(m_nChannel) : 0;
            const int sel = Combo(ID_MAIN_RES)->GetCurSel();
            const int key = sel >= 0 && sel < int(m_main.resolutionKeys.size()) ? m_main.resolutionKeys[size_t(sel)] : -1;
            const int subSel = Combo(ID_SUB_RES)->GetCurSel();
            const int subKey = subSel >= 0 && subSel < int(m_sub.resolutionKeys.size()) ? m_sub.resolutionKeys[size_t(subSel)] : -1;
            Query("BitRate", MainStreamType(), "", vs, key, 0, "", 0, true);
            Query("Sub1Frame", MainStreamType(), "", vs, key, 0, "", subKey, true);
        }
        break;
    }
    case ID_SUB_FRAME:
        m_sub.frameRate = pos;
        SetSliderValue(id, pos);
        SetIFrameRange(true, pos);
        break;
    case ID_MAIN_QUALITY: m_main.quality = pos; SetSliderValue(id, pos); break;
    case ID_SUB_QUALITY: m_sub.quality = pos; SetSliderValue(id, pos); break;
    default: ImageExtraSliderPos(id, pos); break;
    }
}

void CCodeVideoCfgEventImp::EDIT_OnEnterPressed(UINT id, wchar_t* text)
{
    if (ImageExtraEnter(id, text) || IFrameEnter(id, text))
        return;
    if (id != ID_MAIN_CUSTOM && id != ID_SUB_CUSTOM)
        return;
    const Stream& s = id == ID_SUB_CUSTOM ? m_sub : m_main;
    const QString value = QString::fromWCharArray(text ? text : L"");
    bool digits = !value.isEmpty() && value.size() <= 9;
    for (QChar c : value)
        digits = digits && c.isDigit() && c.unicode() < 128;
    if (!digits) {
        Message(L"Your input shall only contain numbers.", L"Error");
        Edit(int(id))->SetWindowTextW(L"");
        return;
    }
    int v = value.toInt();
    if (s.maxBitRate > 0)
        v = std::max(s.minBitRate, std::min(v, s.maxBitRate));
    Edit(int(id))->SetWindowTextW(std::to_wstring(v).c_str());
}

void CCodeVideoCfgEventImp::SetIFrameRange(bool sub, int rate)
{
    const std::wstring range = L" (" + std::to_wstring(rate) + L"~150)";
    if (CSFStatic* label = m_encodeRows[sub ? 68 : 25])
        label->SetStaticText(range.c_str());
    Edit(sub ? ID_SUB_IFRAME : ID_MAIN_IFRAME)->SetWindowTextW(std::to_wstring(2 * rate).c_str());
}

bool CCodeVideoCfgEventImp::IFrameEnter(UINT id, const wchar_t* text)
{
    if (id != ID_MAIN_IFRAME && id != ID_SUB_IFRAME)
        return false;
    const QString value = QString::fromWCharArray(text ? text : L"");
    if (value.isEmpty())
        return true;
    const int rate = id == ID_SUB_IFRAME ? m_sub.frameRate : m_main.frameRate;
    bool digits = true;
    for (QChar c : value)
        digits = digits && c.unicode() >= '0' && c.unicode() <= '9';
    int result = rate;
    if (value.size() > 3)
        result = 150;
    else if (digits && value.toInt() >= rate)
        result = std::min(value.toInt(), 150);
    Edit(int(id))->SetWindowTextW(std::to_wstring(result).c_str());
    return true;
}

void CCodeVideoCfgEventImp::RequestWaterMark(int value, int channel)
{
    if (m_pRequests)
        m_pRequests->GetWaterMark(value, channel);
}

void CCodeVideoCfgEventImp::OnGetWaterMark(const __ZRDEV_WATERMAKE_CFG& record, int ok)
{
    if (!ok)
        return;
    const int on = record.nEnable != 0;
    Radio(ID_WATERMARK)->SetCheck(on);
    CSFEditCtrl* edit = Edit(ID_WATERMARK_TEXT);
    edit->EnableWindow(on);
    const char* text = record.nKey == 1 ? record.szLetterData : record.szData;
    const size_t size = record.nKey == 1 ? sizeof record.szLetterData : sizeof record.szData;
    edit->SetWindowTextW(QString::fromUtf8(text, int(strnlen(text, size))).toStdWString().c_str());
}
