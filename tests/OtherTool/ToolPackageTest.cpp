// The readers of the add-on tool files: version texts, the tool list, AppInfo.xml and the
// archiver's table of contents.
#include <gtest/gtest.h>

#include <tinyxml.h>

#include "OtherTool/ToolPackage.h"

using namespace othertool;

TEST(ToolVersion, Table)
{
    struct Case {
        const char* text;
        bool valid;
        uint64_t number;
    } cases[] = {
        {"R1.0.0.3", true, 11003},   {"T1.0.0.3", true, 1003},     {"R1.2.10.0", true, 112100},
        {"1.0.0.3", false, 0},       {"R1.0.3", false, 0},         {"R1.0.0.3.1", false, 0},
        {"R1.0.a.3", false, 0},      {"X1.0.0.3", false, 0},       {"R...", true, 1},
        {"R99999999999999999999.0.0.0", false, 0}, {"", false, 0},
    };
    for (const Case& c : cases) {
        uint64_t n = 0;
        EXPECT_EQ(ParseAppVersion(c.text, &n), c.valid) << c.text;
        if (c.valid)
            EXPECT_EQ(n, c.number) << c.text;
    }
    uint64_t a = 0, b = 0;
    ASSERT_TRUE(ParseAppVersion("R1.0.0.2", &a) && ParseAppVersion("T1.0.0.9", &b));
    EXPECT_GT(a, b); // a release ranks above any test build of the same length
}

TEST(ToolList, ReadsEveryListAndReportsWhatItLeavesOut)
{
    std::string xml = "<Setting><UIConfig><Language value=\"1\"/></UIConfig><APPConfig>"
                      "<APP Name=\"Alpha\" Version=\"R1.0.0.1\" UIHover=\"h.png\" UINormal=\"n.png\" UIDown=\"d.png\" UIDisable=\"x.png\"/>"
                      "<Tool Name=\"Beta\" Version=\"T1.0.0.1\"/>"
                      "<APP Name=\"../../etc/evil\" Version=\"R1.0.0.1\"/>"
                      "<APP Name=\"Alpha\" Version=\"R1.0.0.2\"/>"
                      "<APP Name=\"Gamma\" UINormal=\"../x.png\"/>"
                      "<APP Version=\"R1.0.0.1\"/>"
                      "</APPConfig><APPConfig><APP Name=\"Delta\"/></APPConfig></Setting>";
    std::vector<ToolEntry> tools;
    std::vector<std::string> problems;
    std::string why;
    ASSERT_TRUE(ReadToolList(xml, &tools, &problems, &why)) << why;
    ASSERT_EQ(tools.size(), 3u);
    EXPECT_EQ(tools[0].name, "Alpha");
    EXPECT_EQ(tools[0].images[0], "n.png");
    EXPECT_EQ(tools[0].images[1], "h.png");
    EXPECT_EQ(tools[1].name, "Beta"); // any element name below APPConfig
    EXPECT_EQ(tools[1].images[0], "");
    EXPECT_EQ(tools[2].name, "Delta");
    EXPECT_EQ(problems.size(), 4u);

    // More than the page's tiles: the rest is reported, not taken.
    std::string many = "<Setting><APPConfig>";
    for (int i = 0; i < 25; ++i)
        many += "<APP Name=\"T" + std::to_string(i) + "\"/>";
    many += "</APPConfig></Setting>";
    tools.clear();
    problems.clear();
    ASSERT_TRUE(ReadToolList(many, &tools, &problems, &why));
    EXPECT_EQ(tools.size(), 21u);
    EXPECT_EQ(problems.size(), 4u);

    tools.clear();
    EXPECT_FALSE(ReadToolList("<Setting><APPConfig>", &tools, &problems, &why));
    EXPECT_FALSE(ReadToolList(std::string(100, '<'), &tools, &problems, &why));
    EXPECT_TRUE(tools.empty());
}

TEST(ToolList, WriteReplacesTheFirstListAndKeepsTheRest)
{
    TiXmlDocument doc;
    doc.Parse("<Setting><APPConfig><APP Name=\"Old\"/></APPConfig><UIConfig><Language value=\"0\"/></UIConfig></Setting>");
    ToolEntry t;
    t.name = "Tool";
    t.version = "R1.0.0.3";
    t.images[0] = "n.png";
    t.images[1] = "h.png";
    WriteToolList(doc.RootElement(), {t});
    TiXmlPrinter printer;
    printer.SetIndent("");
    printer.SetLineBreak("");
    doc.Accept(&printer);
    EXPECT_EQ(std::string(printer.CStr()),
              "<Setting><UIConfig><Language value=\"0\" /></UIConfig><APPConfig><APP Name=\"Tool\" "
              "Version=\"R1.0.0.3\" UIHover=\"h.png\" UINormal=\"n.png\" UIDown=\"\" UIDisable=\"\" /></APPConfig></Setting>");
    WriteToolList(doc.RootElement(), {});
    printer = TiXmlPrinter();
    printer.SetIndent("");
    printer.SetLineBreak("");
    doc.Accept(&printer);
    EXPECT_NE(std::string(printer.CStr()).find("<APPConfig />"), std::string::npos);
}

TEST(ToolAppInfo, Refusals)
{
    auto info = [](const std::string& lang, const std::string& app) {
        return "<Info><UIConfig><Language value=\"" + lang + "\"/></UIConfig><APPConfig " + app + "/></Info>";
    };
    struct Case {
        std::string xml;
        Problem problem;
    } cases[] = {
        {info("1", "Name=\"Tool\" Version=\"R1.0.0.3\""), Problem::None},
        {info("0", "Name=\"Tool\" Version=\"R1.0.0.3\""), Problem::WrongLanguage},
        {info("x", "Name=\"Tool\" Version=\"R1.0.0.3\""), Problem::AppInfoDamaged},
        {info("1", "Name=\"Tool\" Version=\"R1.0.3\""), Problem::BadVersion},
        {info("1", "Name=\"../Tool\" Version=\"R1.0.0.3\""), Problem::BadName},
        {info("1", "Name=\"\" Version=\"R1.0.0.3\""), Problem::BadName},
        {info("1", "Name=\"Tool\" Version=\"R1.0.0.3\" UIHover=\"../../x.png\""), Problem::BadImage},
        {"<Info><UIConfig><Language value=\"1\"/></UIConfig></Info>", Problem::AppInfoDamaged},
        {"<Info", Problem::AppInfoDamaged},
    };
    for (const Case& c : cases) {
        ToolEntry e;
        uint64_t n = 0;
        EXPECT_EQ(ReadAppInfo(c.xml, 1, &e, &n).problem, c.problem) << c.xml;
    }
}

TEST(ToolListing, Refusals)
{
    auto entry = [](const std::string& path, const std::string& size, const std::string& attr) {
        return "Path = " + path + "\nSize = " + size + "\nAttributes = " + attr + "\nEncrypted = -\n\n";
    };
    struct Case {
        std::string listing;
        Problem problem;
    } cases[] = {
        {entry("Config", "0", "D drwxr-xr-x") + entry("Config/AppInfo.xml", "120", "A -rw-r--r--"), Problem::None},
        {entry("../evil.sh", "10", "A -rw-r--r--"), Problem::EscapingPath},
        {entry("a/../../evil.sh", "10", "A -rw-r--r--"), Problem::EscapingPath},
        {entry("/etc/evil", "10", "A -rw-r--r--"), Problem::EscapingPath},
        {entry("..\\evil", "10", "A"), Problem::EscapingPath},
        {entry("C:evil", "10", "A"), Problem::EscapingPath},
        {entry("link", "11", "A lrwxrwxrwx"), Problem::LinkEntry},
        {entry("fifo", "0", "A prw-r--r--"), Problem::LinkEntry},
        {entry("zipped", "1", "V 01800000 0rw-------"), Problem::None},
        {entry("big", "2000000000", "A -rw-r--r--"), Problem::TooBigUnpacked},
        {entry("a", "700000000", "A") + entry("b", "700000000", "A"), Problem::TooBigUnpacked},
        {"Path = a\nSize = 1\nEncrypted = +\n\n", Problem::EncryptedEntry},
        {"Path = a\nb\nSize = 1\n\n", Problem::ListingDamaged},
        {"Path = a\nSize = 12x\n\n", Problem::ListingDamaged},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckArchiveListing(c.listing, nullptr).problem, c.problem) << c.listing;
    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += entry("f" + std::to_string(i), "1", "A");
    EXPECT_EQ(CheckArchiveListing(many, nullptr).problem, Problem::TooManyEntries);
}
