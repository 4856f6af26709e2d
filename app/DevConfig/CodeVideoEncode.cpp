// The Encode tab of the configuration window: building, the query cycles, answer handling,
// editing, staging and the commit.
#include <algorithm>
#include <cstdlib>

#include "Common/DevClass.h"
#include "Common/StrHelpers.h"
#include "Common/Translate.h"
#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFStatic.h"

namespace {

enum : int {
    ID_CHANNEL = 1114, ID_MAIN_TYPE = 1021, ID_MAIN_COMP = 1022, ID_MAIN_CBR = 1023, ID_MAIN_VBR = 1024,
    ID_MAIN_FRAME = 1025, ID_MAIN_QUALITY = 1026, ID_MAIN_BITRATE = 1027, ID_MAIN_RES = 1028,
    ID_SUB_BITRATE = 1029, ID_SUB_QUALITY = 1030, ID_SUB_RES = 1031, ID_SUB_FRAME = 1032, ID_SUB_VBR = 1033,
    ID_SUB_CBR = 1034, ID_SUB_COMP = 1035, ID_SUB_TYPE = 1036, ID_OK = 1037,
    ID_MAIN_CUSTOM = 1121, ID_SUB_CUSTOM = 1122,
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
    const int lw = 120;
    auto row = [&](int x, int y, const wchar_t* text) {
        MakeLabel(Tr(text), RECT{x, y, x + lw, y + 24}, m_encodeLabels);
    };
    row(20, 44, L"Channel");
    MakeCombo(ID_CHANNEL, RECT{145, 45, 295, 67});
    struct Column {
        int x, type, comp, res, frame, cbr, vbr, quality, bitrate, custom;
        const wchar_t* title;
    };
    const Column columns[] = {
        {20, ID_MAIN_TYPE, ID_MAIN_COMP, ID_MAIN_RES, ID_MAIN_FRAME, ID_MAIN_CBR, ID_MAIN_VBR, ID_MAIN_QUALITY,
         ID_MAIN_BITRATE, ID_MAIN_CUSTOM, L"Main Stream"},
        {360, ID_SUB_TYPE, ID_SUB_COMP, ID_SUB_RES, ID_SUB_FRAME, ID_SUB_CBR, ID_SUB_VBR, ID_SUB_QUALITY,
         ID_SUB_BITRATE, ID_SUB_CUSTOM, L"Sub Stream"},
    };
    for (const Column& c : columns) {
        const int cx = c.x + lw + 5;
        int y = 84;
        CSFStatic* title = MakeLabel(Tr(c.title), RECT{c.x, y, c.x + 310, y + 24}, m_encodeLabels);
        title->SetBgColor(0xEDEFF5, 1);
        title->SetTextAlignFlag(0x25);
        y += 34;
        row(c.x, y, L"Code-Stream Type");
        MakeCombo(c.type, RECT{cx, y + 1, cx + 150, y + 23});
        y += 34;
        row(c.x, y, L"Compression");
        MakeCombo(c.comp, RECT{cx, y + 1, cx + 150, y + 23});
        y += 34;
        row(c.x, y, L"Resolution");
        MakeCombo(c.res, RECT{cx, y + 1, cx + 150, y + 23});
        y += 34;
        row(c.x, y, L"Frame Rate(FPS)");
        CSFStatic* fv = MakeLabel(L"3", RECT{cx + 126, y, cx + 170, y + 24}, m_encodeLabels);
        MakeSlider(c.frame, RECT{cx, y, cx + 122, y + 24}, fv);
        y += 34;
        row(c.x, y, L"Bit Rate Type");
        MakeRadio(c.cbr, Tr(L"CBR"), RECT{cx, y, cx + 70, y + 24});
        MakeRadio(c.vbr, Tr(L"VBR"), RECT{cx + 75, y, cx + 145, y + 24});
        y += 34;
        row(c.x, y, L"Quality");
        CSFStatic* qv = MakeLabel(L"3", RECT{cx + 126, y, cx + 170, y + 24}, m_encodeLabels);
        MakeSlider(c.quality, RECT{cx, y, cx + 122, y + 24}, qv);
        y += 34;
        row(c.x, y, L"Bit Rate(Kb/S)");
        MakeCombo(c.bitrate, RECT{cx, y + 1, cx + 150, y + 23});
        y += 30;
        MakeEdit(c.custom, RECT{cx, y, cx + 150, y + 24})->ShowWindow(0);
    }
    MakeButton(ID_OK, Tr(L"OK"), RECT{560, 520, 670, 548});
}

void CCodeVideoCfgEventImp::ShowEncodeTab(int show)
{
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
        SetFlag(7);
    } else if (setter == "SetSubAudioEnable") {
        m_sub.audioEnable = answer["Sub1Stream"]["Sub1AudioEnable"].asBool();
        SetFlag(8);
    } else if (setter == "FillAudioEncodeCombo") {
        SetFlag(9);
        Query("AudioSF", 0, "", 0, 0, 0, "", 0, true);
    } else if (setter == "FillSubAudioEncodeCombo") {
        SetFlag(10);
        Query("AudioEncode", 0, "", 0, 0, 0, "", 0, true);
    } else if (setter == "SetSubVideoEnable") {
        SetFlag(11);
    } else if (setter == "FillSubEncodeModeCombo") {
        FillList(ID_SUB_COMP, answer["Sub1EncodeMode"], m_sub.compressionKeys, false);
        const int sel = Combo(ID_SUB_COMP)->GetCurSel();
        m_sub.compressionKey = sel >= 0 && sel < int(m_sub.compressionKeys.size()) ? m_sub.compressionKeys[size_t(sel)] : -1;
        ApplyCbrLock(true);
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
    for (auto& row : m_sampleRates)
        row.clear();
    if (m_bEncodeInfoFlag || !record)
        return;
    // The count comes from the device: never past the record's entries.
    const int count = std::max(0, std::min(record->nSupportNum, kMaxTalkFormats));
    for (int i = 0; i < count; ++i) {
        const auto* entry = reinterpret_cast<const unsigned char*>(&record->type[i]);
        int code = 0, rate = 0;
        std::memcpy(&code, entry, 4);
        std::memcpy(&rate, entry + 8, 4);
        for (int r = 0; r < 13; ++r)
            if (kAudioRows[r].code == code && m_sampleRates[size_t(r)].size() < 5)
                m_sampleRates[size_t(r)].push_back(rate);
    }
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
    return true;
}

void CCodeVideoCfgEventImp::OnEncodeOK()
{
    if (m_bSaving) {
        Message(L"Setting,please wait...", L"Attention");
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
    default: break;
    }
}

void CCodeVideoCfgEventImp::EncodeRadio(int checked, int id)
{
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
    switch (id) {
    case ID_MAIN_FRAME: {
        const bool changed = pos != m_main.frameRate;
        m_main.frameRate = pos;
        SetSliderValue(id, pos);
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
    case ID_SUB_FRAME: m_sub.frameRate = pos; SetSliderValue(id, pos); break;
    case ID_MAIN_QUALITY: m_main.quality = pos; SetSliderValue(id, pos); break;
    case ID_SUB_QUALITY: m_sub.quality = pos; SetSliderValue(id, pos); break;
    default: break;
    }
}

void CCodeVideoCfgEventImp::EDIT_OnEnterPressed(UINT id, wchar_t* text)
{
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
