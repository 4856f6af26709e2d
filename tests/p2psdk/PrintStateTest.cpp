// Log print, state names and Base64.
#include "../p2p/LogCapture.h"
#include "P2PSDK/Print.h"
#include "P2PSDK/StateName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace Orvan::Tou;

TEST(PrintState, Base64)
{
    struct Case
    {
        const char* in;
        const char* out;
    } cases[] = {{"abc", "YWJj"}, {"a", "YQ=="}, {"ab", "YWI="}, {"abcd", "YWJjZA=="}};
    for (const Case& c : cases) {
        char out[16];
        ASSERT_EQ(base64Encode(reinterpret_cast<const uint8_t*>(c.in), int(std::strlen(c.in)), out), 0);
        EXPECT_STREQ(out, c.out);
    }
    uint8_t digest[20] = {};
    char out[32];
    ASSERT_EQ(base64Encode(digest, 20, out), 0);
    EXPECT_EQ(std::strlen(out), 28u);
    EXPECT_EQ(out[27], '=');
    EXPECT_EQ(base64Encode(nullptr, 3, out), -1);
    EXPECT_EQ(base64Encode(digest, 0, out), -1);
}

TEST(PrintState, StateNames)
{
    CStateName* names = CStateName::instance();
    char buf[64];
    EXPECT_TRUE(names->getDirectChannelStateName(3, buf, sizeof(buf)));
    EXPECT_STREQ(buf, "direct channel Stun Sucess");
    EXPECT_TRUE(names->getRelayChannelStateName(19, buf, sizeof(buf)));
    EXPECT_STREQ(buf, "relay channel IceFail");
    EXPECT_TRUE(names->getP2PClientStateName(6, buf, 8));
    EXPECT_STREQ(buf, "p2p cli");

    std::strcpy(buf, "untouched");
    EXPECT_FALSE(names->getSessionStateName(5, buf, sizeof(buf)));
    EXPECT_FALSE(names->getRelayChannelStateName(13, buf, sizeof(buf)));
    EXPECT_FALSE(names->getPtcpChannelStateName(5, buf, sizeof(buf)));
    EXPECT_STREQ(buf, "untouched");
}

TEST(PrintState, PrintLineAndLevels)
{
    LogCapture capture(6);
    EXPECT_STREQ(baseFileName("a/b\\c.src"), "c.src");
    print("a/b\\c.src", 12, "f", printLevelTrace, "hello");
    EXPECT_EQ(capture.count("<c.src:12>hello"), 1u);

    setPrintLevel(1);
    print("x.cpp", 1, "f", printLevelError, "shown");
    print("x.cpp", 2, "f", printLevelWarn, "hidden");
    setPrintLevel(printLevelDebug);
    EXPECT_EQ(capture.count("shown"), 1u);
    EXPECT_EQ(capture.count("hidden"), 0u);
}
