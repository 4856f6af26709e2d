// The template record and the template file reader.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Common/XmlGuard.h"
#include "Template/CTemplateXml.h"
#include "Template/TemplateXmlText.h"
#include "TemplateFiles.h"

using tplfiles::Replace;
using tplfiles::Template;
using tplfiles::WithoutSection;

namespace {

tagTEMPLATEINFO Read(const std::string& path, int* result = nullptr, std::vector<std::string>* missing = nullptr)
{
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof info);
    CTemplateXml xml(path.c_str());
    const int r = xml.ReadTemplateInfo(info, missing);
    if (result)
        *result = r;
    return info;
}

std::wstring RootName(const std::string& path)
{
    wchar_t buffer[64] = {};
    CTemplateXml xml(path.c_str());
    return xml.GetRootName(buffer, 63) < 0 ? L"<none>" : std::wstring(buffer);
}

} // namespace

TEST(TemplateRecord, DeviceTypeCodes)
{
    EXPECT_EQ(GetTemplateDeviceType(L"IPC"), 1);
    EXPECT_EQ(GetTemplateDeviceType(L"DVR"), 2);
    EXPECT_EQ(GetTemplateDeviceType(L"NVR"), 3);
    EXPECT_EQ(GetTemplateDeviceType(L"SD"), 4);
    for (const wchar_t* other : {L"ipc", L"", L"IPCX", L"Others"})
        EXPECT_EQ(GetTemplateDeviceType(other), 0) << other;
    EXPECT_EQ(GetTemplateDeviceType(nullptr), 0);
}

TEST(TemplateXml, ReadsEveryFieldOfACompleteFile)
{
    tplfiles::Folder dir;
    for (const char* eol : {"\r\n", "\n"}) {
        SCOPED_TRACE(eol[0] == '\r' ? "CRLF" : "LF");
        int result = 0;
        const tagTEMPLATEINFO t = Read(dir.Write("Hall 2.xml", Template("SD", eol)), &result);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(std::wstring(t.name), L"Hall 2");
        EXPECT_EQ(std::wstring(t.type), L"SD");
        EXPECT_EQ(t.VideoColor.id, 1);
        EXPECT_EQ(t.VideoColor.ColorMode, TEMPLATE_COLOR_BRIGHT);
        EXPECT_EQ(t.VideoColor.Brightness, 60);
        EXPECT_EQ(t.VideoColor.Contrast, 55);
        EXPECT_EQ(t.VideoColor.Hue, 40);
        EXPECT_EQ(t.VideoColor.Saturation, 70);
        EXPECT_EQ(t.BLC.id, 1);
        EXPECT_EQ(t.BLC.Backlight, 2);
        EXPECT_EQ(t.BLC.WideDynamicRange, 80);
        EXPECT_EQ(t.BLC.GlareInhibition, 0);
        EXPECT_EQ(t.DayNight.id, 1);
        EXPECT_EQ(t.DayNight.DayNight, 1);
        EXPECT_EQ(t.FileManage.FileManage, 2);
        EXPECT_EQ(t.FileManage.StartTimeHour, 8);
        EXPECT_EQ(t.FileManage.StartTimeMinute, 30);
        EXPECT_EQ(t.FileManage.EndTimeHour, 18);
        EXPECT_EQ(t.FileManage.EndTimeMinute, 45);
        EXPECT_EQ(t.FileManage.EndTimeSecond, 15);
        EXPECT_EQ(t.FileManage.reserved, 0);
        const tagTEMPLATE_ENCODE& e = t.Encode;
        EXPECT_EQ(e.MStreamNType, 0);
        EXPECT_EQ(e.MStreamNFrameRate, 25);
        EXPECT_EQ(e.MStreamNBitRateControl, 1);
        EXPECT_EQ(e.MStreamNImageQuality, 4);
        EXPECT_EQ(e.MStreamNBitRate, 4096);
        EXPECT_EQ(e.MStreamNHeight, 1080);
        EXPECT_EQ(e.MStreamNWidth, 1920);
        EXPECT_EQ(e.MVideoStandard, 0);
        EXPECT_EQ(e.MAudioEnable, 1);
        EXPECT_EQ(e.EStreamMEnable, 1);
        EXPECT_EQ(e.EStreamNFrameRate, 15);
        EXPECT_EQ(e.EStreamNBitRate, 512);
        EXPECT_EQ(e.EStreamNHeight, 288);
        EXPECT_EQ(e.EStreamNWidth, 352);
        EXPECT_EQ(e.EVideoStandard, 1);
        EXPECT_EQ(e.EAudioEnable, 0);
        EXPECT_STREQ(e.MStreamNCodeMode, "H.264H");
        EXPECT_STREQ(e.EStreamNCodeMode, "MJPG");
        EXPECT_STREQ(e.MAudioEncode, "G.711A");
        EXPECT_STREQ(e.EAudioEncode, "AAC");
    }
}

TEST(TemplateXml, ValidityByRootAndSections)
{
    tplfiles::Folder dir;
    const struct {
        const char* what;
        std::string text;
        bool valid;
    } cases[] = {
        {"IPC", Template("IPC"), true},
        {"DVR", Template("DVR"), true},
        {"NVR", Template("NVR"), true},
        {"SD", Template("SD"), true},
        {"lower-case root", Template("ipc"), false},
        {"other root", Template("Other"), false},
        {"long root", Template("IPCIPCIPCIPCIPCIPCIPC"), false},
        {"no VideoColor", WithoutSection(Template(), "VideoColor"), false},
        {"no BLCMode", WithoutSection(Template(), "BLCMode"), false},
        {"no DayNightMode", WithoutSection(Template(), "DayNightMode"), false},
        {"no Encode", WithoutSection(Template(), "Encode"), false},
        {"no PcSyn", WithoutSection(Template(), "PcSyn"), false},
        {"no FileManageMode", WithoutSection(Template(), "FileManageMode"), true},
        {"sections without Channel", Replace(Template(), "<Channel id=\"1\" DayNight", "<Chan id=\"1\" DayNight"), true},
        {"byte-order mark", "\xEF\xBB\xBF" + Template(), true},
        {"XML declaration", "<?xml version=\"1.0\" ?>\r\n" + Template(), true},
        {"empty file", "", false},
        {"text only", "no markup here", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTemplateXml xml(dir.Write("t.xml", c.text).c_str());
        EXPECT_EQ(xml.IsValidTemplate(), c.valid);
    }
}

TEST(TemplateXml, MissingSectionDoesNotStopTheOthers)
{
    tplfiles::Folder dir;
    int result = 1;
    std::vector<std::string> missing;
    const tagTEMPLATEINFO t =
        Read(dir.Write("NoFile.xml", WithoutSection(Template(), "FileManageMode")), &result, &missing);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(missing, std::vector<std::string>{"FileManageMode"});
    EXPECT_EQ(t.DayNight.DayNight, 1);
    EXPECT_EQ(t.BLC.WideDynamicRange, 80);
    EXPECT_EQ(t.VideoColor.Saturation, 70);
    // Encode comes after FileManageMode in the reading order and is still read.
    EXPECT_EQ(t.Encode.MStreamNWidth, 1920);
    EXPECT_STREQ(t.Encode.MStreamNCodeMode, "H.264H");
    EXPECT_EQ(t.FileManage.FileManage, 0);
}

TEST(TemplateXml, TimesAreReadOnlyForTheByTimeMode)
{
    tplfiles::Folder dir;
    for (int mode : {0, 3, 4}) {
        SCOPED_TRACE(mode);
        const tagTEMPLATEINFO t = Read(dir.Write("t.xml", Template("IPC", "\r\n", mode)));
        EXPECT_EQ(t.FileManage.FileManage, mode);
        EXPECT_EQ(t.FileManage.StartTimeHour, 0);
        EXPECT_EQ(t.FileManage.EndTimeSecond, 0);
    }
    // Without the FileManage attribute the mode stays as the record had it, and so do the times.
    tagTEMPLATEINFO t;
    std::memset(&t, 0, sizeof t);
    t.FileManage.FileManage = 4;
    CTemplateXml xml(dir.Write("t.xml", Replace(Template(), "FileManage=\"2\"", "")).c_str());
    EXPECT_EQ(xml.ReadFileManage(L"FileManageMode", L"Channel", t.FileManage), 1);
    EXPECT_EQ(t.FileManage.FileManage, 4);
    EXPECT_EQ(t.FileManage.StartTimeHour, 0);
}

TEST(TemplateXml, TemplateNameFromThePath)
{
    tplfiles::Folder dir;
    const std::string text = Template();
    const struct {
        const char* file;
        const wchar_t* name;
    } cases[] = {
        {"Templet.xml", L"Templet"}, {"a.b.xml", L"a.b"}, {"plain", L"plain"}, {".xml", L""},
        {"x.xml.xml", L"x.xml"},     {"Caf\xC3\xA9.xml", L"Caf\u00E9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        CTemplateXml xml(dir.Write(c.file, text).c_str());
        wchar_t name[130] = {};
        EXPECT_EQ(xml.GetTemplateName(name, 129), 0);
        EXPECT_EQ(std::wstring(name), c.name);
    }
    // A relative path without "/": the whole path up to ".xml".
    CTemplateXml relative("Templet.xml");
    wchar_t name[16] = {};
    relative.GetTemplateName(name, 15);
    EXPECT_EQ(std::wstring(name), L"");  // no such file here: the path is empty

    // Names that fill the record's fields stay terminated.
    const std::string longName(200, 'n');
    const tagTEMPLATEINFO t = Read(dir.Write(longName + ".xml", text));
    EXPECT_EQ(std::wstring(t.name), std::wstring(TEMPLATE_NAME_LEN - 1, L'n'));
    const std::string longRoot(300, 'R');
    const tagTEMPLATEINFO r = Read(dir.Write("r.xml", Template(longRoot)));
    EXPECT_EQ(std::wstring(r.type), std::wstring(TEMPLATE_TYPE_LEN - 1, L'R'));
}

TEST(TemplateXml, RootNameIsCopiedWithoutTerminator)
{
    tplfiles::Folder dir;
    CTemplateXml xml(dir.Write("t.xml", Template("NVR")).c_str());
    wchar_t buffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(xml.GetRootName(buffer, 2), 0);
    EXPECT_EQ(std::wstring(buffer, 4), L"NVxx");
}

TEST(TemplateXml, AttributeValuesThatAreNotIntegersLeaveTheField)
{
    tplfiles::Folder dir;
    const struct {
        const char* value;
        int expected;
    } cases[] = {
        {"42", 42}, {" 7", 7}, {"-3", -3}, {"12abc", 12}, {"abc", 99}, {"", 99}, {"99999999999", 99}, {"-", 99},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        CTemplateXml xml(
            dir.Write("t.xml", Replace(Template(), "Brightness=\"60\"", std::string("Brightness=\"") + c.value + "\""))
                .c_str());
        int id = 0, mode = 0, brightness = 99, contrast = 0, hue = 0, saturation = 0;
        EXPECT_EQ(xml.ReadVideoColor(L"VideoColor", L"Channel", id, mode, brightness, contrast, hue, saturation), 1);
        EXPECT_EQ(brightness, c.expected);
    }
}

TEST(TemplateXml, ByteFieldsKeepTheLowByteAndNamesAreCut)
{
    tplfiles::Folder dir;
    std::string text = Replace(Template(), "WideDynamicRange=\"80\"", "WideDynamicRange=\"300\"");
    text = Replace(text, "MStreamNCodeMode=\"H.264H\"", "MStreamNCodeMode=\"" + std::string(80, 'C') + "\"");
    const tagTEMPLATEINFO t = Read(dir.Write("t.xml", text));
    EXPECT_EQ(t.BLC.WideDynamicRange, 300 & 0xFF);
    EXPECT_EQ(std::string(t.Encode.MStreamNCodeMode), std::string(TEMPLATE_CODEC_LEN - 1, 'C'));
    EXPECT_STREQ(t.Encode.EStreamNCodeMode, "MJPG");
}

TEST(TemplateXml, SectionEnableFlag)
{
    tplfiles::Folder dir;
    CTemplateXml xml(dir.Write("t.xml", Replace(Template(), "<BLCMode enable=\"1\"", "<BLCMode enable=\"x\"")).c_str());
    EXPECT_EQ(xml.IsSectionEnabled(L"VideoColor"), 1);
    EXPECT_EQ(xml.IsSectionEnabled(L"BLCMode"), 0);
    EXPECT_EQ(xml.IsSectionEnabled(L"PcSyn"), 0);
    EXPECT_EQ(xml.IsSectionEnabled(L"Missing"), 0);
}

TEST(TemplateXml, UnreadableAndOversizedFilesReadAsEmpty)
{
    tplfiles::Folder dir;
    std::string deep;
    for (int i = 0; i < 40; ++i)
        deep += "<a>";
    std::string wide = "<IPC>";
    for (size_t i = 0; i < CTemplateXml::kMaxElements + 1; ++i)
        wide += "<x/>";
    wide += "</IPC>";
    const struct {
        const char* what;
        std::string path;
        const char* reason;
    } cases[] = {
        {"missing file", dir.Path("absent.xml"), "cannot be opened"},
        {"too large", dir.Write("big.xml", Template() + std::string(CTemplateXml::kMaxFileBytes, ' ')), "larger than"},
        {"too deep", dir.Write("deep.xml", "<IPC>" + deep + "</IPC>"), "nested"},
        {"too many elements", dir.Write("wide.xml", wide), "elements"},
        {"not UTF-8", dir.Write("latin.xml", Replace(Template(), "<PcSyn />", "<PcSyn n=\"\xE9\" />")), "UTF-8"},
        {"NUL byte", dir.Write("nul.xml", Template() + std::string(1, '\0')), "UTF-8"},
        {"a directory", dir.Path(""), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CTemplateXml xml(c.path.c_str());
        EXPECT_NE(xml.GetLoadError().find(c.reason), std::string::npos) << xml.GetLoadError();
        EXPECT_FALSE(xml.GetLoadError().empty());
        EXPECT_FALSE(xml.IsValidTemplate());
        wchar_t root[8] = {};
        EXPECT_EQ(xml.GetRootName(root, 7), -1);
        EXPECT_EQ(xml.IsSectionEnabled(L"VideoColor"), 0);
        tagTEMPLATEINFO t;
        std::memset(&t, 0, sizeof t);
        EXPECT_EQ(xml.ReadTemplateInfo(t), 0);
        EXPECT_EQ(t.Encode.MStreamNWidth, 0);
        char json[TEMPLATE_JSON_BUFFER_SIZE] = "{}";
        EXPECT_EQ(xml.MergeEncodeIntoJson(L"Encode", L"Channel", json, 1), 0);
    }
    // A missing file has no name either; a refused one keeps its name.
    tagTEMPLATEINFO t;
    std::memset(&t, 0, sizeof t);
    CTemplateXml(dir.Path("absent.xml").c_str()).ReadTemplateInfo(t);
    EXPECT_EQ(std::wstring(t.name), L"");
    CTemplateXml(dir.Path("big.xml").c_str()).ReadTemplateInfo(t);
    EXPECT_EQ(std::wstring(t.name), L"big");
}

TEST(TemplateXml, DamagedFileKeepsWhatWasParsed)
{
    tplfiles::Folder dir;
    // Cut after the BLC section: the root and the first two sections are there.
    std::string text = Template();
    text.erase(text.find("    <DayNightMode"));
    CTemplateXml xml(dir.Write("cut.xml", text).c_str());
    EXPECT_EQ(RootName(dir.Path("cut.xml")), L"IPC");
    EXPECT_FALSE(xml.IsValidTemplate());
    tagTEMPLATE_BLC blc = {};
    EXPECT_EQ(xml.ReadBLCMode(L"BLCMode", L"Channel", blc), 1);
    EXPECT_EQ(blc.WideDynamicRange, 80);
}

TEST(TemplateXml, RarelyUsedSections)
{
    tplfiles::Folder dir;
    const std::string extra = "    <Romania>\r\n"
                              "        <TimeFormat DateFormat=\"2\" DSTEnable=\"1\" />\r\n"
                              "        <DST StartMonth=\"3\" StartTime=\"2\" StartDay=\"31\" EndMonth=\"10\" EndTime=\"3\""
                              " EndDay=\"27\" />\r\n"
                              "        <NTP DomainName=\"time.example\" TimeZone=\"8\" />\r\n"
                              "    </Romania>\r\n"
                              "    <IntervalI>\r\n"
                              "        <IFrameInterval IFrameIntervalM=\"50\" IFrameIntervalE=\"25\" />\r\n"
                              "    </IntervalI>\r\n";
    CTemplateXml xml(dir.Write("t.xml", Replace(Template(), "    <PcSyn />", extra + "    <PcSyn />")).c_str());
    int a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
    EXPECT_EQ(xml.ReadTimeFormat(a, b), 1);
    EXPECT_EQ(a * 10 + b, 21);
    EXPECT_EQ(xml.ReadDST(a, b, c, d, e, f), 1);
    EXPECT_EQ(std::vector<int>({a, b, c, d, e, f}), std::vector<int>({3, 2, 31, 10, 3, 27}));
    std::string domain = "old";
    EXPECT_EQ(xml.ReadNTP(domain, a), 1);
    EXPECT_EQ(domain, "time.example");
    EXPECT_EQ(a, 8);
    EXPECT_EQ(xml.ReadIFrameInterval(a, b), 1);
    EXPECT_EQ(a * 100 + b, 5025);

    CTemplateXml plain(dir.Write("p.xml", Template()).c_str());
    EXPECT_EQ(plain.ReadTimeFormat(a, b), 0);
    EXPECT_EQ(plain.ReadNTP(domain, a), 0);
    EXPECT_EQ(plain.ReadIFrameInterval(a, b), 0);
}

// The strict check before parsing and the lenient wide conversion read the same sequences alike:
// each byte that does not begin a well-formed sequence becomes one U+FFFD.
TEST(TemplateRecord, Utf8DecodingTable)
{
    struct Case {
        const char* what;
        std::string bytes;
        bool valid;
        std::wstring wide;
    };
    const Case cases[] = {
        {"ascii", "az", true, L"az"},
        {"two bytes", "\xC3\xA9", true, L"\u00E9"},
        {"three bytes", "\xE4\xB8\xAD", true, L"\u4E2D"},
        {"four bytes", "\xF0\x9F\x98\x80", true, std::wstring(1, wchar_t(0x1F600))},
        {"highest", "\xF4\x8F\xBF\xBF", true, std::wstring(1, wchar_t(0x10FFFF))},
        {"NUL", std::string("a\0b", 3), false, std::wstring(L"a\0b", 3)},
        {"lone continuation", "a\x80z", false, L"a\uFFFDz"},
        {"overlong two", "\xC0\xAF", false, L"\uFFFD\uFFFD"},
        {"overlong three", "\xE0\x80\xAF", false, L"\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", false, L"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false, L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"bad lead", "\xF5\x80", false, L"\uFFFD\uFFFD"},
        {"cut at the end", "a\xE4\xB8", false, L"a\uFFFD\uFFFD"},
        {"bad continuation", "\xE4z\xAD", false, L"\uFFFDz\uFFFD"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(xmlguard::ValidUtf8(c.bytes), c.valid);
        EXPECT_EQ(tplxml::ToWide(c.bytes), c.wide);
    }
}
