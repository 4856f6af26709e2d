#include "Utils/Sha1.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace Orvan::Utils;

namespace {

std::string hexOf(CSha1& sha)
{
    char out[41];
    sha.hex(out, sizeof(out));
    return out;
}

std::string digestOf(const std::string& message)
{
    CSha1 sha;
    sha.update(message.data(), message.size());
    return hexOf(sha);
}

// The system's openssl command line on a file.
std::string opensslDigest(const std::vector<unsigned char>& data)
{
    char path[] = "/tmp/p2psha1XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0)
        return "";
    if (!data.empty() && write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
        return "";
    close(fd);
    std::string command = std::string("openssl dgst -sha1 -r ") + path + " 2>/dev/null";
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof(buf), pipe))
            out += buf;
        pclose(pipe);
    }
    unlink(path);
    return out.substr(0, 40);
}

} // namespace

TEST(Sha1, StandardVectors)
{
    struct Case
    {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {"The quick brown fox jumps over the lazy dog", "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.digest, digestOf(c.message)) << c.message.size();
}

TEST(Sha1, FinalGivesSameBytesAsHex)
{
    CSha1 sha;
    sha.update("abc", 3);
    uint8_t first[20], second[20];
    sha.final(first, sizeof(first));
    sha.final(second, sizeof(second));
    EXPECT_EQ(0, std::memcmp(first, second, 20));
    char hex[64];
    sha.hex(hex, sizeof(hex));
    char expected[41];
    for (int i = 0; i < 20; ++i)
        std::snprintf(expected + 2 * i, 3, "%02x", first[i]);
    EXPECT_STREQ(expected, hex);
}

TEST(Sha1, NullAndEmptyUpdatesChangeNothing)
{
    CSha1 sha;
    sha.update(nullptr, 10);
    sha.update("x", 0);
    EXPECT_EQ("da39a3ee5e6b4b0d3255bfef95601890afd80709", hexOf(sha));
}

TEST(Sha1, HexTerminatorOnlyWhenRoom)
{
    CSha1 sha;
    char out[42];
    std::memset(out, '#', sizeof(out));
    sha.hex(out, 40);
    EXPECT_EQ('#', out[40]);
    sha.hex(out, 41);
    EXPECT_EQ('\0', out[40]);
}

TEST(Sha1, UpdateAfterFinalStartsOver)
{
    CSha1 sha;
    sha.update("first part", 10);
    uint8_t digest[20];
    sha.final(digest, 20);
    sha.update("abc", 3);
    EXPECT_EQ("a9993e364706816aba3e25717850c26c9cd0d89d", hexOf(sha));
}

TEST(Sha1, PiecewiseEqualsWhole)
{
    std::mt19937 rng(7);
    std::vector<unsigned char> data(5000);
    for (auto& b : data)
        b = static_cast<unsigned char>(rng());
    CSha1 whole;
    whole.update(data.data(), data.size());
    std::string expected = hexOf(whole);
    for (size_t step : {1u, 3u, 63u, 64u, 65u, 1000u}) {
        CSha1 pieces;
        for (size_t pos = 0; pos < data.size(); pos += step)
            pieces.update(data.data() + pos, std::min(step, data.size() - pos));
        EXPECT_EQ(expected, hexOf(pieces)) << step;
    }
}

TEST(Sha1, AcceleratedAndPortableCompressionAgree)
{
    Detail::Sha1CompressFn fast = Detail::sha1CompressAccelerated();
    if (!fast)
        GTEST_SKIP() << "no SHA instructions on this processor";
    std::mt19937 rng(11);
    for (size_t blocks : {1u, 2u, 7u, 64u}) {
        std::vector<uint8_t> data(blocks * 64);
        for (auto& b : data)
            b = static_cast<uint8_t>(rng());
        uint32_t a[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
        uint32_t b[5];
        std::memcpy(b, a, sizeof(a));
        Detail::sha1CompressPortable(a, data.data(), blocks);
        fast(b, data.data(), blocks);
        EXPECT_EQ(0, std::memcmp(a, b, sizeof(a))) << blocks;
    }
}

TEST(Sha1, MatchesOpensslOnRandomInputs)
{
    if (system("openssl version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no openssl command";
    std::mt19937 rng(2024);
    for (size_t size : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 4095u, 100000u}) {
        std::vector<unsigned char> data(size);
        for (auto& b : data)
            b = static_cast<unsigned char>(rng());
        CSha1 sha;
        sha.update(data.data(), data.size());
        EXPECT_EQ(opensslDigest(data), hexOf(sha)) << size;
    }
}

TEST(Sha1DeathTest, ShortOutputStopsTheProcess)
{
    testing::FLAGS_gtest_death_test_style = "threadsafe";
    CSha1 sha;
    uint8_t small[19];
    char text[39];
    EXPECT_DEATH(sha.final(small, sizeof(small)), "hash != NULL && len >= Sha1HashSize");
    EXPECT_DEATH(sha.hex(text, sizeof(text)), "str != NULL && len >= Sha1HexLength");
    EXPECT_DEATH(sha.final(nullptr, 20), "Src/Utils/Sha1cpp");
}
