// The configuration-device library's answers and staged values over a device's capabilities and
// "Encode" table, and its handling of malformed device answers.
#include <gtest/gtest.h>

#include "configdevice/EncodeAnswers.h"
#include "devsim/DeviceEncode.h"
#include "devsim/DeviceModel.h"

using namespace configdevice;

namespace {

struct Device {
    Json::Value caps, table;
    explicit Device(const std::string& type = "IPC")
    {
        devsim::DeviceState s;
        s.type = type;
        caps = devsim::EncodeCaps(s, 0);
        table = devsim::DeviceModel::DefaultTables(s)["Encode"][0];
    }
};

Json::Value Select(const char* key, int code)
{
    Json::Value v(Json::objectValue);
    v[key]["Select"]["key"] = code;
    return v;
}

Json::Value Number(const char* key, const char* member, int n)
{
    Json::Value v(Json::objectValue);
    v[key][member] = n;
    return v;
}

TEST(ConfigAnswers, ListAnswersCarryChoicesAndTheCurrentOne)
{
    Device d;
    QueryArgs args;
    Json::Value out;
    ASSERT_TRUE(BuildAnswer("Resolution", args, d.caps, d.table, out));
    const Json::Value& r = out["Resolution"];
    EXPECT_EQ(r["Size"].asInt(), 4);
    EXPECT_EQ(r["0"]["value"].asString(), "1080P");
    EXPECT_EQ(r["Select"]["key"].asInt(), 18);
    ASSERT_TRUE(BuildAnswer("Sub1EncodeMode", args, d.caps, d.table, out));
    EXPECT_EQ(out["Sub1EncodeMode"]["Select"]["value"].asString(), "H.264");
    EXPECT_TRUE(out["Sub1EncodeMode"]["Enable"].asBool());
    ASSERT_TRUE(BuildAnswer("AudioEncode", args, d.caps, d.table, out));
    EXPECT_EQ(out["AudioFrequency"]["Select"]["value"].asInt(), 8000);
    EXPECT_FALSE(BuildAnswer("Contrast", args, d.caps, d.table, out));
    args.mainType = 3;
    EXPECT_FALSE(BuildAnswer("Frame", args, d.caps, d.table, out)) << "no fourth stream kind";
}

TEST(ConfigAnswers, StagedValuesWithinTheCapabilitiesOnly)
{
    struct Case {
        const char* key;
        Json::Value value;
        int a, c;
        bool staged;
    };
    const Case cases[] = {
        {"Resolution", Select("Resolution", 17), 0, 0, true},
        {"Resolution", Select("Resolution", 3), 0, 0, false},       // CIF is no main-stream size here
        {"EncodeMode", Select("EncodeMode", 8), 0, 0, true},
        {"EncodeMode", Select("EncodeMode", 99), 0, 0, false},
        {"Frame", Number("Frame", "nFrameRate", 25), 0, 0, true},
        {"Frame", Number("Frame", "nFrameRate", 26), 0, 0, false},
        {"Frame", Number("Frame", "nFrameRate", 0), 0, 0, false},
        {"BitRate", Number("BitRate", "nBitRate", 8192), 0, 0, true},
        {"BitRate", Number("BitRate", "nBitRate", 100), 0, 0, false},
        {"BitRateControl", Number("BitRateControl", "emBitRateControl", 1), 0, 0, true},
        {"BitRateControl", Number("BitRateControl", "emBitRateControl", 2), 0, 0, false},
        {"ImageQuality", Number("ImageQuality", "emImageQuality", -1), 0, 0, true},
        {"ImageQuality", Number("ImageQuality", "emImageQuality", 7), 0, 0, false},
        {"Sub1Resolution", Select("Sub1Resolution", 4), 0, 1, true},
        {"Sub1EncodeMode", Select("Sub1EncodeMode", 5), 0, 2, true},
        {"Sub1BitRate", Number("Sub1BitRate", "nBitRate", 64), 1, 0, true},
        {"Sub1BitRate", Number("Sub1BitRate", "nBitRate", 64), 3, 0, false},
        {"Sub1Ability", Json::Value(), 0, 0, false},
        {"Frame", Json::Value("25"), 0, 0, false},
        {"Frame", Number("Frame", "nFrameRate", 0), 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + c.value.toStyledString());
        Device d;
        EXPECT_EQ(StageValue(c.key, c.a, 0, c.c, 0, c.value, d.caps, d.table), c.staged);
    }
    Device d;
    ASSERT_TRUE(StageValue("Sub1EncodeMode", 0, 0, 1, 0, Select("Sub1EncodeMode", 5), d.caps, d.table));
    EXPECT_EQ(d.table["ExtraFormat"][1]["Video"]["Compression"].asString(), "MJPG");
    EXPECT_EQ(d.table["ExtraFormat"][1]["Video"]["BitRateControl"].asString(), "CBR");
    Json::Value freq(Json::objectValue);
    freq["AudioFrequency"]["Select"]["value"] = 16000;
    ASSERT_TRUE(StageValue("AudioSF", 0, 0, 0, 0, freq, d.caps, d.table));
    EXPECT_EQ(d.table["MainFormat"][0]["Audio"]["Frequency"].asInt(), 16000);
    freq["AudioFrequency"]["Select"]["value"] = 44100;
    EXPECT_FALSE(StageValue("AudioSF", 0, 0, 0, 0, freq, d.caps, d.table));
}

TEST(ConfigAnswers, MalformedDeviceAnswersEndInAnErrorNeverAThrow)
{
    const char* texts[] = {"[]", "3", "\"x\"", "{", "{\"result\":true}", "{\"result\":\"yes\",\"params\":{}}",
                           "{\"result\":true,\"params\":{\"table\":[1]}}", "null", ""};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        Json::Value v, table;
        if (ParseAnswer(t, std::strlen(t), v)) {
            EXPECT_FALSE(TakeParams(v, "table", table));
        }
    }
    std::string deep = std::string(100, '[') + std::string(100, ']');
    Json::Value v;
    EXPECT_FALSE(ParseAnswer(deep.data(), deep.size(), v));
    std::string big(kMaxAnswerBytes + 1, ' ');
    EXPECT_FALSE(ParseAnswer(big.data(), big.size(), v));

    // Capabilities and tables of the wrong shape give no answer or a partial one.
    Device good;
    QueryArgs args;
    Json::Value wrong[] = {Json::Value(5), Json::Value(Json::arrayValue), Json::Value("t")};
    Json::Value badTable = good.table;
    badTable["MainFormat"][0]["Video"]["Width"] = "wide";
    badTable["MainFormat"][0]["Video"]["FPS"] = Json::Value(Json::arrayValue);
    for (const char* key : {"EncodeMode", "Resolution", "Frame", "BitRate", "BitRateControl", "ImageQuality",
                            "Sub1Ability", "Sub1VideoEnable", "AudioEnable", "AudioEncode", "Sub1AudioEncode"}) {
        SCOPED_TRACE(key);
        Json::Value out;
        for (const Json::Value& w : wrong) {
            EXPECT_FALSE(BuildAnswer(key, args, w, good.table, out));
            EXPECT_FALSE(BuildAnswer(key, args, good.caps, w, out));
            Json::Value t = w;
            EXPECT_FALSE(StageValue(key, 0, 0, 0, 0, Select(key, 1), good.caps, t));
        }
        EXPECT_TRUE(BuildAnswer(key, args, good.caps, badTable, out));
    }
    Json::Value out;
    ASSERT_TRUE(BuildAnswer("Resolution", args, good.caps, badTable, out));
    EXPECT_EQ(out["Resolution"]["Select"]["key"].asInt(), -1);
}

} // namespace
