// The apply result dialog: the summary line, the template's values and the row icons.
#include "Template/CTemplateApplyResultDlg.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "Common/DevClass.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Template/CTemplateXml.h"
#include "Template/TemplateResolution.h"

namespace {

using D = CTemplateApplyResultDlg;

// A value outside its table is shown as its number.
std::wstring TableText(int value, std::initializer_list<const wchar_t*> names)
{
    if (value >= 0 && size_t(value) < names.size())
        return Tr(names.begin()[value]);
    return std::to_wstring(value);
}

std::wstring StreamType(int v) { return TableText(v, {L"Regular", L"Motion", L"Alarm"}); }
std::wstring Standard(int v) { return TableText(v, {L"PAL", L"NTSC"}); }
std::wstring BitRateControl(int v) { return TableText(v, {L"CBR", L"VBR"}); }
std::wstring ColorMode(int v) { return TableText(v, {L"Standard", L"Soft", L"Bright"}); }
std::wstring DayNight(int v) { return TableText(v, {L"Color", L"Auto", L"BlackWhite"}); }

std::wstring Codec(const char* field)
{
    return Tr(SFUtf8ToWide(std::string(field, strnlen(field, TEMPLATE_CODEC_LEN))).c_str());
}

std::wstring Resolution(int width, int height, int standard)
{
    return Tr(GetTemplateResolutionName(GetResolutionIndex(width, height, standard != 0 ? 1 : 0)));
}

int Clamp99(int v) { return std::min(99, std::max(0, v)); }

const int kSubStreamRows[] = {D::ROW_SUB_STREAM,          D::ROW_SUB_CODE_MODE, D::ROW_SUB_STANDARD,
                              D::ROW_SUB_RESOLUTION,      D::ROW_SUB_FRAME_RATE, D::ROW_SUB_BITRATE_CONTROL,
                              D::ROW_SUB_QUALITY,         D::ROW_SUB_BITRATE};

} // namespace

void CTemplateApplyResultDlg::SetTemplateFile(std::string path)
{
    m_strTemplatePath = std::move(path);
    UpdateSummaryText();
    if (m_rows[ROW_MAIN_FRAME_RATE].slider) {
        m_rows[ROW_MAIN_FRAME_RATE].slider->SetRange(1, 50, 0);
        m_rows[ROW_SUB_FRAME_RATE].slider->SetRange(1, 50, 0);
        m_rows[ROW_MAIN_QUALITY].slider->SetRange(1, 6, 0);
        m_rows[ROW_SUB_QUALITY].slider->SetRange(1, 6, 0);
        m_rows[ROW_BLC_LEVEL].slider->SetRange(1, 100, 0);
    }
}

void CTemplateApplyResultDlg::ShowDeviceResult(const int* templateMode, const TEMPLATE_RESULT_SET* flags)
{
    if (flags)
        m_result = *flags;
    UpdateSummaryText();
    ShowVideoValues();
    ShowEncodeValues();
    ResetResultIcons();
    if (!templateMode || *templateMode != 3)
        return;
    if (m_result.Test(TEMPLATE_RESULT_LOGIN))
        for (int f : {TEMPLATE_RESULT_VIDEOCOLOR, TEMPLATE_RESULT_BLCMODE, TEMPLATE_RESULT_DAYNIGHT,
                      TEMPLATE_RESULT_ENCODE, TEMPLATE_RESULT_FILEMANAGE})
            m_result.Set(f);
    if (m_result.Test(TEMPLATE_RESULT_VIDEOCOLOR))
        for (int row : {ROW_COLOR_MODE, ROW_BRIGHTNESS, ROW_CONTRAST, ROW_GAMMA, ROW_SATURATION})
            SetIcon(row, kErrorIcon);
    if (m_result.Test(TEMPLATE_RESULT_BLCMODE)) {
        SetIcon(ROW_BLC_MODE, kErrorIcon);
        SetIcon(ROW_BLC_LEVEL, kErrorIcon);
    }
    if (m_result.Test(TEMPLATE_RESULT_DAYNIGHT))
        SetIcon(ROW_DAYNIGHT, kErrorIcon);
    if (m_result.Test(TEMPLATE_RESULT_FILEMANAGE))
        SetIcon(ROW_FILEMANAGE, kErrorIcon);
    if (m_result.Test(TEMPLATE_RESULT_ENCODE))
        for (int row = 0; row < ROW_COLOR_MODE; ++row)
            if (row != ROW_MAIN_IFRAME && row != ROW_MAIN_SVC && row != ROW_SUB_IFRAME && row != ROW_SUB_SVC)
                SetIcon(row, kErrorIcon);
}

void CTemplateApplyResultDlg::UpdateSummaryText()
{
    const std::wstring path = SFUtf8ToWide(m_strTemplatePath);
    std::wstring text;
    if (m_result.Test(TEMPLATE_RESULT_OK)) {
        text = Tr(L"Successfully configed template ") + path;
    } else if (m_result.Test(TEMPLATE_RESULT_NOT_STARTED)) {
        text = Tr(L"Did not configed template ") + path;
    } else if (m_result.Test(TEMPLATE_RESULT_LOGIN)) {
        text = Tr(L"Did not configed template ") + path;
        text += Tr(L", login failed!");
    } else {
        text = Tr(L"Config template ") + path;
        text += Tr(L" failed!");
    }
    if (m_pSummary)
        m_pSummary->SetStaticText(text.c_str());
    LayoutDialog();
}

void CTemplateApplyResultDlg::ResetResultIcons()
{
    for (int row = 0; row < ROW_COUNT; ++row)
        if (row != ROW_MAIN_IFRAME && row != ROW_MAIN_SVC && row != ROW_SUB_IFRAME && row != ROW_SUB_SVC)
            SetIcon(row, kOkIcon);
}

void CTemplateApplyResultDlg::SetCombo(int row, const std::wstring& text)
{
    CSFComboBox* combo = m_rows[row].combo;
    if (!combo)
        return;
    combo->ResetContent();
    combo->AddString(text.c_str());
    combo->SetCurSel(0);
}

void CTemplateApplyResultDlg::SetSlider(int row, int value)
{
    if (m_rows[row].slider)
        m_rows[row].slider->SetPos(value);
    if (m_rows[row].value) {
        wchar_t text[16] = {};
        std::swprintf(text, 16, L"%d", value);
        m_rows[row].value->SetStaticText(text);
    }
}

void CTemplateApplyResultDlg::ShowVideoValues()
{
    CTemplateXml xml(m_strTemplatePath.c_str());

    tagTEMPLATE_VIDEOCOLOR c{};
    xml.ReadVideoColor(L"VideoColor", L"Channel", c.id, c.ColorMode, c.Brightness, c.Contrast, c.Hue, c.Saturation);
    SetCombo(ROW_COLOR_MODE, ColorMode(c.ColorMode));
    SetSlider(ROW_BRIGHTNESS, c.Brightness);
    SetSlider(ROW_CONTRAST, c.Contrast);
    SetSlider(ROW_GAMMA, c.Hue);
    SetSlider(ROW_SATURATION, c.Saturation);

    // A section missing from the file shows an empty row rather than a made-up value.
    tagTEMPLATE_BLC blc{};
    const bool haveBlc = xml.ReadBLCMode(L"BLCMode", L"Channel", blc) != 0;
    bool level = false;
    int levelValue = 0;
    std::wstring mode;
    if (!haveBlc) {
        mode.clear();
    } else if (blc.Backlight == TEMPLATE_BLC_BLC) {
        mode = Tr(L"BLC");
    } else if (blc.WideDynamicRange != 0) {
        mode = Tr(L"WDR"), level = true, levelValue = blc.WideDynamicRange;
    } else if (blc.GlareInhibition != 0) {
        mode = Tr(L"HLC"), level = true, levelValue = blc.GlareInhibition;
    } else {
        mode = Tr(L"OFF");
    }
    if (m_rows[ROW_BLC_MODE].combo) {
        m_rows[ROW_BLC_MODE].combo->ResetContent();
        if (haveBlc)
            SetCombo(ROW_BLC_MODE, mode);
    }
    if (m_rows[ROW_BLC_LEVEL].slider) {
        m_rows[ROW_BLC_LEVEL].slider->SetPos(levelValue);
        m_rows[ROW_BLC_LEVEL].value->SetStaticText(level ? std::to_wstring(levelValue).c_str() : L"0");
        m_rows[ROW_BLC_LEVEL].value->SetTextColor(level ? 0 : kGrey);
    }
    ShowIcon(ROW_BLC_LEVEL, level);

    tagTEMPLATE_DAYNIGHT dn{};
    if (xml.ReadDayNightMode(L"DayNightMode", L"Channel", dn))
        SetCombo(ROW_DAYNIGHT, DayNight(dn.DayNight));
    else if (m_rows[ROW_DAYNIGHT].combo)
        m_rows[ROW_DAYNIGHT].combo->ResetContent();

    tagTEMPLATE_FILEMANAGE fm{};
    const bool haveFm = xml.ReadFileManage(L"FileManageMode", L"Channel", fm) != 0;
    if (m_rows[ROW_FILEMANAGE].combo) {
        m_rows[ROW_FILEMANAGE].combo->ResetContent();
        m_rows[ROW_ALWAYS_USE].combo->ResetContent();
    }
    bool dayStart = false, alwaysUse = false;
    if (haveFm) {
        switch (fm.FileManage) {
        case TEMPLATE_FILEMANAGE_NORMAL: SetCombo(ROW_FILEMANAGE, Tr(L"Normal")); break;
        case TEMPLATE_FILEMANAGE_ALLDAY_DAY:
            SetCombo(ROW_FILEMANAGE, Tr(L"AllDay"));
            SetCombo(ROW_ALWAYS_USE, Tr(L"Day"));
            alwaysUse = true;
            break;
        case TEMPLATE_FILEMANAGE_ALLDAY_NIGHT:
            SetCombo(ROW_FILEMANAGE, Tr(L"AllDay"));
            SetCombo(ROW_ALWAYS_USE, Tr(L"Night"));
            alwaysUse = true;
            break;
        default: {
            SetCombo(ROW_FILEMANAGE, Tr(L"ByTime"));
            wchar_t text[32] = {};
            std::swprintf(text, 32, L"%02d:%02d:%02d-%02d:%02d:%02d", Clamp99(fm.StartTimeHour),
                          Clamp99(fm.StartTimeMinute), Clamp99(fm.StartTimeSecond), Clamp99(fm.EndTimeHour),
                          Clamp99(fm.EndTimeMinute), Clamp99(fm.EndTimeSecond));
            if (m_rows[ROW_DAY_START].value)
                m_rows[ROW_DAY_START].value->SetStaticText(text);
            dayStart = true;
            break;
        }
        }
    }
    ShowRow(ROW_DAY_START, dayStart);
    ShowRow(ROW_ALWAYS_USE, alwaysUse);
}

void CTemplateApplyResultDlg::ShowEncodeValues()
{
    CTemplateXml xml(m_strTemplatePath.c_str());
    tagTEMPLATE_ENCODE e{};
    xml.ReadEncode(L"Encode", L"Channel", e);

    SetCombo(ROW_MAIN_STREAM, StreamType(e.MStreamNType));
    SetCombo(ROW_MAIN_CODE_MODE, Codec(e.MStreamNCodeMode));
    SetCombo(ROW_MAIN_STANDARD, Standard(e.MVideoStandard));
    SetCombo(ROW_MAIN_RESOLUTION, Resolution(e.MStreamNWidth, e.MStreamNHeight, e.MVideoStandard));
    SetSlider(ROW_MAIN_FRAME_RATE, e.MStreamNFrameRate);
    SetCombo(ROW_MAIN_BITRATE_CONTROL, BitRateControl(e.MStreamNBitRateControl));
    SetSlider(ROW_MAIN_QUALITY, e.MStreamNImageQuality);
    if (m_rows[ROW_MAIN_BITRATE].edit)
        m_rows[ROW_MAIN_BITRATE].edit->SetWindowTextW(std::to_wstring(e.MStreamNBitRate).c_str());
    if (m_rows[ROW_MAIN_AUDIO].check)
        m_rows[ROW_MAIN_AUDIO].check->SetCheck(e.MAudioEnable != 0);
    SetCombo(ROW_MAIN_AUDIO_ENCODE, Codec(e.MAudioEncode));

    SetCombo(ROW_SUB_STREAM, StreamType(e.EStreamNType));
    SetCombo(ROW_SUB_CODE_MODE, Codec(e.EStreamNCodeMode));
    SetCombo(ROW_SUB_STANDARD, Standard(e.EVideoStandard));
    SetCombo(ROW_SUB_RESOLUTION, Resolution(e.EStreamNWidth, e.EStreamNHeight, e.EVideoStandard));
    SetSlider(ROW_SUB_FRAME_RATE, e.EStreamNFrameRate);
    SetCombo(ROW_SUB_BITRATE_CONTROL, BitRateControl(e.EStreamNBitRateControl));
    SetSlider(ROW_SUB_QUALITY, e.EStreamNImageQuality);
    if (m_rows[ROW_SUB_BITRATE].edit)
        m_rows[ROW_SUB_BITRATE].edit->SetWindowTextW(std::to_wstring(e.EStreamNBitRate).c_str());
    if (m_rows[ROW_SUB_ENABLE].check)
        m_rows[ROW_SUB_ENABLE].check->SetCheck(e.EStreamMEnable != 0);
    if (m_rows[ROW_SUB_AUDIO].check)
        m_rows[ROW_SUB_AUDIO].check->SetCheck(e.EAudioEnable != 0);
    SetCombo(ROW_SUB_AUDIO_ENCODE, Codec(e.EAudioEncode));

    if (e.MStreamNBitRateControl == TEMPLATE_BITRATE_CBR || e.MStreamNBitRateControl == TEMPLATE_BITRATE_VBR) {
        const bool vbr = e.MStreamNBitRateControl == TEMPLATE_BITRATE_VBR;
        SetRowColour(ROW_MAIN_QUALITY, vbr ? 0 : kGrey);
        ShowIcon(ROW_MAIN_QUALITY, vbr);
    }
    for (int row : {ROW_MAIN_IFRAME, ROW_MAIN_SVC, ROW_SUB_IFRAME, ROW_SUB_SVC})
        ShowRow(row, false);

    const bool sub = e.EStreamMEnable != 0;
    for (int row : kSubStreamRows) {
        SetRowColour(row, sub ? 0 : kGrey);
        ShowIcon(row, sub);
    }
    if (sub &&
        (e.EStreamNBitRateControl == TEMPLATE_BITRATE_CBR || e.EStreamNBitRateControl == TEMPLATE_BITRATE_VBR)) {
        const bool vbr = e.EStreamNBitRateControl == TEMPLATE_BITRATE_VBR;
        SetRowColour(ROW_SUB_QUALITY, vbr ? 0 : kGrey);
        ShowIcon(ROW_SUB_QUALITY, vbr);
    }
    LayoutRows();
}
