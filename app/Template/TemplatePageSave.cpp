// Template editor page: writing the template file. The file is written beside the target under a
// temporary name and renamed over it, so that a failed save leaves the old file whole.
#include <cstdio>
#include <cstring>
#include <string>

#include <tinyxml.h>

#include "Common/Translate.h"
#include "Template/CTemplatePageEventImp.h"
#include "Template/TemplateXmlText.h"

namespace {

std::string Text(const char* field) { return std::string(field, strnlen(field, TEMPLATE_CODEC_LEN)); }

TiXmlElement* Section(TiXmlElement& root, const char* name)
{
    TiXmlElement section(name);
    section.SetAttribute("enable", 1);
    TiXmlNode* added = root.InsertEndChild(section);
    TiXmlElement channel("Channel");
    return added->InsertEndChild(channel)->ToElement();
}

void SetUnsigned(TiXmlElement* e, const char* name, uint8_t value) { e->SetAttribute(name, static_cast<int>(value)); }

} // namespace

// The template file of a record: root element the type, then VideoColor, BLCMode, DayNightMode,
// FileManageMode, Encode (each enable="1" with one Channel) and an empty PcSyn.
std::string BuildTemplateFileText(const tagTEMPLATEINFO& t)
{
    TiXmlDocument doc;
    TiXmlElement rootElement(tplxml::ToNarrow(t.type).c_str());
    TiXmlElement* root = doc.InsertEndChild(rootElement)->ToElement();

    TiXmlElement* c = Section(*root, "VideoColor");
    c->SetAttribute("id", t.VideoColor.id);
    c->SetAttribute("ColorMode", t.VideoColor.ColorMode);
    c->SetAttribute("Brightness", t.VideoColor.Brightness);
    c->SetAttribute("Contrast", t.VideoColor.Contrast);
    c->SetAttribute("Hue", t.VideoColor.Hue);
    c->SetAttribute("Saturation", t.VideoColor.Saturation);

    TiXmlElement* b = Section(*root, "BLCMode");
    b->SetAttribute("id", t.BLC.id);
    SetUnsigned(b, "Backlight", t.BLC.Backlight);
    SetUnsigned(b, "WideDynamicRange", t.BLC.WideDynamicRange);
    SetUnsigned(b, "GlareInhibition", t.BLC.GlareInhibition);

    TiXmlElement* d = Section(*root, "DayNightMode");
    d->SetAttribute("id", t.DayNight.id);
    SetUnsigned(d, "DayNight", t.DayNight.DayNight);

    const tagTEMPLATE_FILEMANAGE& f = t.FileManage;
    TiXmlElement* m = Section(*root, "FileManageMode");
    m->SetAttribute("id", f.id);
    if (f.FileManage == TEMPLATE_FILEMANAGE_ALLDAY_DAY || f.FileManage == TEMPLATE_FILEMANAGE_BYTIME ||
        f.FileManage == TEMPLATE_FILEMANAGE_ALLDAY_NIGHT || f.FileManage == TEMPLATE_FILEMANAGE_NORMAL)
        m->SetAttribute("FileManage", f.FileManage);
    if (f.FileManage == TEMPLATE_FILEMANAGE_BYTIME) {
        m->SetAttribute("StartTimeHour", f.StartTimeHour);
        m->SetAttribute("StartTimeMinute", f.StartTimeMinute);
        m->SetAttribute("StartTimeSecond", f.StartTimeSecond);
        m->SetAttribute("EndTimeHour", f.EndTimeHour);
        m->SetAttribute("EndTimeMinute", f.EndTimeMinute);
        m->SetAttribute("EndTimeSecond", f.EndTimeSecond);
    }

    const tagTEMPLATE_ENCODE& e = t.Encode;
    TiXmlElement* x = Section(*root, "Encode");
    x->SetAttribute("id", t.DayNight.id);
    x->SetAttribute("MStreamNType", e.MStreamNType);
    x->SetAttribute("MStreamNFrameRate", e.MStreamNFrameRate);
    x->SetAttribute("MStreamNBitRateControl", e.MStreamNBitRateControl);
    x->SetAttribute("MStreamNImageQuality", e.MStreamNImageQuality);
    x->SetAttribute("MStreamNBitRate", e.MStreamNBitRate);
    x->SetAttribute("MStreamNCodeMode", Text(e.MStreamNCodeMode).c_str());
    x->SetAttribute("MStreamNHeight", e.MStreamNHeight);
    x->SetAttribute("MStreamNWidth", e.MStreamNWidth);
    x->SetAttribute("MVideoStandard", e.MVideoStandard);
    x->SetAttribute("MAudioEnable", e.MAudioEnable);
    x->SetAttribute("MAudioEncode", Text(e.MAudioEncode).c_str());
    x->SetAttribute("EStreamMEnable", e.EStreamMEnable);
    x->SetAttribute("EStreamNType", e.EStreamNType);
    x->SetAttribute("EStreamNFrameRate", e.EStreamNFrameRate);
    x->SetAttribute("EStreamNBitRateControl", e.EStreamNBitRateControl);
    x->SetAttribute("EStreamNImageQuality", e.EStreamNImageQuality);
    x->SetAttribute("EStreamNBitRate", e.EStreamNBitRate);
    x->SetAttribute("EStreamNCodeMode", Text(e.EStreamNCodeMode).c_str());
    x->SetAttribute("EStreamNHeight", e.EStreamNHeight);
    x->SetAttribute("EStreamNWidth", e.EStreamNWidth);
    x->SetAttribute("EVideoStandard", e.EVideoStandard);
    x->SetAttribute("EAudioEnable", e.EAudioEnable);
    x->SetAttribute("EAudioEncode", Text(e.EAudioEncode).c_str());

    TiXmlElement pcSyn("PcSyn");
    root->InsertEndChild(pcSyn);

    TiXmlPrinter printer;
    printer.SetIndent("    ");
    printer.SetLineBreak("\r\n");
    doc.Accept(&printer);
    return printer.CStr();
}

// Writes text to path through a temporary file in the same folder; false leaves path untouched.
bool WriteTemplateFile(const char* path, const std::string& text)
{
    if (!path || !*path)
        return false;
    const std::string temp = std::string(path) + ".saving";
    FILE* file = std::fopen(temp.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fflush(file) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = std::rename(temp.c_str(), path) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

int CTemplatePageEventImp::SaveTemplate(const char* path)
{
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof(info));
    // A refused time range stops the save: its message has been shown.
    if (!GetTemplate(&info))
        return 0;
    if (!WriteTemplateFile(path, BuildTemplateFileText(info))) {
        const std::wstring text = std::wstring(Tr(L"Save Template Failed.")) + L"\n" + tplxml::ToWide(path ? path : "");
        ShowMessageBox(text.c_str(), std::wstring(Tr(L"Attention")).c_str(), GetUIWnd(), 0);
        return 0;
    }
    m_reference = info;
    return 1;
}
