// Laying a template's Encode values over a device's encode configuration.
#include <gtest/gtest.h>

#include <json/json.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Template/CTemplateXml.h"
#include "TemplateFiles.h"

using tplfiles::Replace;
using tplfiles::Template;

namespace {

// A device's reply: Regular and Motion main streams, one extra stream.
const char kDevice[] =
    "{\"id\":7,\"method\":\"configManager.getConfig\",\"params\":{\"table\":{"
    "\"MainFormat\":["
    "{\"Audio\":{\"Compression\":\"AAC\",\"Frequency\":8000},\"AudioEnable\":false,"
    "\"Video\":{\"BitRate\":2048,\"BitRateControl\":\"CBR\",\"Compression\":\"H.265\",\"FPS\":20,\"Height\":720,"
    "\"Profile\":\"Baseline\",\"Quality\":3,\"Width\":1280},\"VideoEnable\":true},"
    "{\"Audio\":{\"Compression\":\"PCM\"},\"AudioEnable\":true,\"Video\":{\"Compression\":\"H.264\",\"FPS\":10,"
    "\"Profile\":\"Main\"},\"VideoEnable\":true}],"
    "\"ExtraFormat\":["
    "{\"Audio\":{\"Compression\":\"PCM\"},\"AudioEnable\":true,\"Video\":{\"BitRate\":256,\"BitRateControl\":\"VBR\","
    "\"Compression\":\"H.264\",\"FPS\":7,\"Height\":240,\"Profile\":\"Main\",\"Quality\":2,\"Width\":320},"
    "\"VideoEnable\":false}]"
    "}},\"result\":true}";

struct Merged {
    int result = 0;
    std::string text;
    Json::Value json;
};

Merged Merge(const std::string& templateText, int extraFlag, const std::string& device = kDevice)
{
    tplfiles::Folder dir;
    CTemplateXml xml(dir.Write("t.xml", templateText).c_str());
    std::vector<char> buffer(TEMPLATE_JSON_BUFFER_SIZE, 0);
    std::memcpy(buffer.data(), device.data(), std::min(device.size(), buffer.size()));
    Merged m;
    m.result = xml.MergeEncodeIntoJson(L"Encode", L"Channel", buffer.data(), extraFlag);
    m.text.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    reader->parse(m.text.data(), m.text.data() + m.text.size(), &m.json, nullptr);
    return m;
}

} // namespace

TEST(TemplateMerge, GoldenOutput)
{
    const Merged m = Merge(Template(), 1);
    ASSERT_EQ(m.result, 1);
    EXPECT_EQ(m.text,
              "{\"id\":7,\"method\":\"configManager.getConfig\",\"params\":{\"table\":{"
              "\"ExtraFormat\":["
              "{\"Audio\":{\"Compression\":\"AAC\"},\"AudioEnable\":false,\"Video\":{\"BitRate\":512,"
              "\"BitRateControl\":\"CBR\",\"Compression\":\"MJPG\",\"FPS\":15,\"Height\":288,\"Profile\":\"Main\","
              "\"Quality\":3,\"Width\":352},\"VideoEnable\":true}],"
              "\"MainFormat\":["
              "{\"Audio\":{\"Compression\":\"G.711A\",\"Frequency\":8000},\"AudioEnable\":true,"
              "\"Video\":{\"BitRate\":4096,\"BitRateControl\":\"VBR\",\"Compression\":\"H.264\",\"FPS\":25,"
              "\"Height\":1080,\"Profile\":\"High\",\"Quality\":4,\"Width\":1920},\"VideoEnable\":true},"
              "{\"Audio\":{\"Compression\":\"PCM\"},\"AudioEnable\":true,\"Video\":{\"Compression\":\"H.264\","
              "\"FPS\":10,\"Profile\":\"Main\"},\"VideoEnable\":true}]"
              "}},\"result\":true}");
}

TEST(TemplateMerge, ValuesByCase)
{
    const std::string full = Template();
    const struct {
        const char* what;
        std::string text;
        int flag;
        std::function<void(const Json::Value& table)> check;
    } cases[] = {
        {"H.264B gives the Baseline profile", Replace(full, "\"H.264H\"", "\"H.264B\""), 1,
         [](const Json::Value& t) {
             EXPECT_EQ(t["MainFormat"][0]["Video"]["Compression"], "H.264");
             EXPECT_EQ(t["MainFormat"][0]["Video"]["Profile"], "Baseline");
         }},
        {"H.264 gives the Main profile", Replace(full, "\"H.264H\"", "\"H.264\""), 1,
         [](const Json::Value& t) { EXPECT_EQ(t["MainFormat"][0]["Video"]["Profile"], "Main"); }},
        {"MJPG leaves the profile", Replace(full, "\"H.264H\"", "\"MJPG\""), 1,
         [](const Json::Value& t) {
             EXPECT_EQ(t["MainFormat"][0]["Video"]["Compression"], "MJPG");
             EXPECT_EQ(t["MainFormat"][0]["Video"]["Profile"], "Baseline");
         }},
        {"bit rate control 0 is CBR", Replace(full, "MStreamNBitRateControl=\"1\"", "MStreamNBitRateControl=\"0\""), 1,
         [](const Json::Value& t) { EXPECT_EQ(t["MainFormat"][0]["Video"]["BitRateControl"], "CBR"); }},
        {"bit rate control 7 is VBR", Replace(full, "MStreamNBitRateControl=\"1\"", "MStreamNBitRateControl=\"7\""), 1,
         [](const Json::Value& t) { EXPECT_EQ(t["MainFormat"][0]["Video"]["BitRateControl"], "VBR"); }},
        {"extra stream off with the flag keeps its video", Replace(full, "EStreamMEnable=\"1\"", "EStreamMEnable=\"0\""),
         1,
         [](const Json::Value& t) {
             const Json::Value& x = t["ExtraFormat"][0];
             EXPECT_EQ(x["VideoEnable"], false);
             EXPECT_EQ(x["Video"]["Compression"], "H.264");
             EXPECT_EQ(x["Video"]["FPS"], 7);
             EXPECT_EQ(x["Video"]["BitRateControl"], "VBR");
             EXPECT_EQ(x["AudioEnable"], false);
             EXPECT_EQ(x["Audio"]["Compression"], "AAC");
         }},
        {"extra stream off without the flag takes the video", Replace(full, "EStreamMEnable=\"1\"", "EStreamMEnable=\"0\""),
         0,
         [](const Json::Value& t) {
             EXPECT_EQ(t["ExtraFormat"][0]["VideoEnable"], false);
             EXPECT_EQ(t["ExtraFormat"][0]["Video"]["Compression"], "MJPG");
             EXPECT_EQ(t["ExtraFormat"][0]["Video"]["FPS"], 15);
         }},
        {"no extra stream type leaves ExtraFormat", Replace(full, "EStreamNType=\"0\"", ""), 1,
         [](const Json::Value& t) {
             EXPECT_EQ(t["ExtraFormat"][0]["Video"]["FPS"], 7);
             EXPECT_EQ(t["ExtraFormat"][0]["VideoEnable"], false);
             EXPECT_EQ(t["ExtraFormat"][0]["Audio"]["Compression"], "PCM");
         }},
        {"empty audio codec leaves the device's", Replace(full, "MAudioEncode=\"G.711A\"", "MAudioEncode=\"\""), 1,
         [](const Json::Value& t) { EXPECT_EQ(t["MainFormat"][0]["Audio"]["Compression"], "AAC"); }},
        {"stream type 1 writes the Motion entry", Replace(full, "MStreamNType=\"0\"", "MStreamNType=\"1\""), 1,
         [](const Json::Value& t) {
             EXPECT_EQ(t["MainFormat"][1]["Video"]["FPS"], 25);
             EXPECT_EQ(t["MainFormat"][1]["Audio"]["Compression"], "G.711A");
             EXPECT_EQ(t["MainFormat"][0]["Video"]["FPS"], 20);
         }},
        {"no stream type: entry 0 without the codec", Replace(full, "MStreamNType=\"0\"", ""), 1,
         [](const Json::Value& t) {
             EXPECT_EQ(t["MainFormat"][0]["Video"]["Compression"], "H.265");
             EXPECT_EQ(t["MainFormat"][0]["Video"]["FPS"], 25);
         }},
        {"non-integer values are skipped", Replace(full, "MStreamNFrameRate=\"25\"", "MStreamNFrameRate=\"fast\""), 1,
         [](const Json::Value& t) { EXPECT_EQ(t["MainFormat"][0]["Video"]["FPS"], 20); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Merged m = Merge(c.text, c.flag);
        ASSERT_EQ(m.result, 1);
        c.check(m.json["params"]["table"]);
        EXPECT_EQ(m.json["id"], 7);
        EXPECT_EQ(m.json["params"]["table"]["MainFormat"][0]["Video"].isMember("VideoStandard"), false);
    }
}

TEST(TemplateMerge, RefusesAndLeavesTheBuffer)
{
    const std::string full = Template();
    std::string deep;
    for (int i = 0; i < 200; ++i)
        deep += "[";
    // Entries without Video and Audio: the merge adds some hundred bytes to a reply that nearly fills the buffer.
    std::string big = "{\"params\":{\"table\":{\"MainFormat\":[{}],\"ExtraFormat\":[{}]}},\"pad\":\"\"}";
    big.insert(big.size() - 2, std::string(TEMPLATE_JSON_BUFFER_SIZE - 50 - big.size(), 'p'));
    const struct {
        const char* what;
        std::string text;
        std::string device;
    } cases[] = {
        {"main index past the table", Replace(full, "MStreamNType=\"0\"", "MStreamNType=\"2\""), kDevice},
        {"negative main index", Replace(full, "MStreamNType=\"0\"", "MStreamNType=\"-1\""), kDevice},
        {"huge main index", Replace(full, "MStreamNType=\"0\"", "MStreamNType=\"2000000000\""), kDevice},
        {"extra index past the table", Replace(full, "EStreamNType=\"0\"", "EStreamNType=\"1\""), kDevice},
        {"no Encode section", tplfiles::WithoutSection(full, "Encode"), kDevice},
        {"not JSON", full, "configManager failed"},
        {"empty buffer", full, ""},
        {"no params", full, "{\"result\":true}"},
        {"table is an array", full, "{\"params\":{\"table\":[1]}}"},
        {"MainFormat is an object", full, "{\"params\":{\"table\":{\"MainFormat\":{\"a\":1}}}}"},
        {"entry is a number", full, "{\"params\":{\"table\":{\"MainFormat\":[5]}}}"},
        {"Video is a string", full, "{\"params\":{\"table\":{\"MainFormat\":[{\"Video\":\"x\"}]}}}"},
        {"Audio is an array", full,
         "{\"params\":{\"table\":{\"MainFormat\":[{\"Video\":{},\"Audio\":[]}],\"ExtraFormat\":[{}]}}}"},
        {"nested too deep", full, deep},
        {"result too large", full, big},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Merged m = Merge(c.text, 1, c.device);
        EXPECT_EQ(m.result, 0);
        EXPECT_TRUE(m.text == c.device) << m.text.substr(0, 200);
    }
    // The padded reply itself fits and merges while the result stays short enough.
    std::string fits = kDevice;
    fits.insert(fits.size() - 1, ",\"pad\":\"" + std::string(TEMPLATE_JSON_BUFFER_SIZE - 400 - fits.size(), 'p') + "\"");
    EXPECT_EQ(Merge(full, 1, fits).result, 1);
}

TEST(TemplateMerge, CommentsInTheReplyAreAccepted)
{
    std::string device = kDevice;
    device.insert(1, "/* from the device */ ");
    const Merged m = Merge(Template(), 1, device);
    EXPECT_EQ(m.result, 1);
    EXPECT_EQ(m.json["params"]["table"]["MainFormat"][0]["Video"]["Width"], 1920);
}
