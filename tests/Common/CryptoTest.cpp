// MD5 digests and the sealed password-reset container, opened again with the openssl program.
#include "Common/Md5Hash.h"
#include "Common/CryptoLib.h"
#include "Common/ResetFileCrypt.h"
#include "os/RuntimeLib.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Md5(const std::string& text)
{
    CMd5Hash hash;
    hash.Update(text.data(), text.size());
    char out[33] = {};
    hash.GetHexDigest(out);
    return out;
}

TEST(Md5, Rfc1321Vectors)
{
    struct Case {
        const char* text;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.digest, Md5(c.text)) << c.text;
}

TEST(Md5, PiecesRestartAndEmptyUpdates)
{
    CMd5Hash hash;
    for (char c : std::string("abc"))
        hash.Update(&c, 1);
    char out[33] = {};
    hash.GetHexDigest(out);
    EXPECT_STREQ("900150983cd24fb0d6963f7d28e17f72", out);
    hash.GetHexDigest(out);
    EXPECT_STREQ("900150983cd24fb0d6963f7d28e17f72", out);
    hash.Update("x", 0);
    hash.Update(nullptr, 5);
    hash.GetHexDigest(out);
    EXPECT_STREQ("900150983cd24fb0d6963f7d28e17f72", out);
    hash.Update("a", 1);
    hash.GetHexDigest(out);
    EXPECT_STREQ("0cc175b9c0f1b6a831c399e269772661", out);
    // 55, 56 and 64 bytes cross the padding boundaries.
    EXPECT_EQ("ef1772b6dff9a122358552954ad0df65", Md5(std::string(55, 'a')));
    EXPECT_EQ("3b0c8ac703f828b04c6c197006d17218", Md5(std::string(56, 'a')));
    EXPECT_EQ("014842d480b571495a4a0363793f7367", Md5(std::string(64, 'a')));
}

class ResetContainer : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_ok = Openssl({"genrsa", "-out", "priv.pem", "2048"}) &&
               Openssl({"rsa", "-in", "priv.pem", "-pubout", "-out", "pub.pem"}) &&
               Openssl({"rsa", "-in", "priv.pem", "-RSAPublicKey_out", "-out", "pub1.pem"});
    }
    static void TearDownTestSuite() { delete s_dir; }
    void SetUp() override
    {
        if (!s_ok)
            GTEST_SKIP() << "the openssl program is not available";
    }

    static bool Openssl(const QStringList& args)
    {
        QProcess p;
        p.setWorkingDirectory(s_dir->path());
        p.start(OPENSSL_PROGRAM, args);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    static QString Path(const char* name) { return s_dir->path() + "/" + name; }
    static std::string P(const char* name) { return Path(name).toStdString(); }
    static void Write(const char* name, const QByteArray& data)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    static QByteArray Read(const char* name)
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Opens a container with the private key and the openssl program; returns the plain text.
    static QByteArray Open(const char* container)
    {
        const QByteArray data = Read(container);
        if (data.size() < 276)
            return "too short";
        Write("keyblock.bin", data.mid(16, 256));
        Write("payload.bin", data.mid(276));
        if (!Openssl({"pkeyutl", "-decrypt", "-inkey", "priv.pem", "-pkeyopt", "rsa_padding_mode:pkcs1", "-in",
                      "keyblock.bin", "-out", "key.bin"}))
            return "rsa failed";
        const QByteArray block = Read("key.bin");
        if (block.size() != 48 || block.mid(32) != QByteArray(16, '\0'))
            return "bad key block";
        if (!Openssl({"enc", "-d", "-aes-256-cbc", "-K", QString::fromLatin1(block.left(32).toHex()), "-iv",
                      QString(32, '0'), "-in", "payload.bin", "-out", "plain.out"}))
            return "aes failed";
        return Read("plain.out");
    }

    static QTemporaryDir* s_dir;
    static bool s_ok;
};
QTemporaryDir* ResetContainer::s_dir = nullptr;
bool ResetContainer::s_ok = false;

TEST_F(ResetContainer, SealedRequestOpensWithThePrivateKey)
{
    struct Case {
        int size;
        int factor;
        int n;
        const char* key;
    } cases[] = {{1599, 0, 1600, "pub.pem"}, {1599, 1, 1600, "pub1.pem"}, {32, 0, 48, "pub.pem"},
                 {1, 0, 16, "pub.pem"},      {3000, 2, 3008, "pub.pem"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        const QByteArray pattern("<Reset>\xE4\xB8\xAD</Reset>");
        QByteArray plain(c.size, '\0');
        for (int i = 0; i < c.size; ++i)
            plain[i] = pattern[i % pattern.size()];
        Write("request.xml", plain);
        ASSERT_EQ(RESET_FILE_OK, EncryptResetFile(P("request.xml").c_str(), P("request.bin").c_str(), P(c.key).c_str(),
                                                  "17022202", c.factor));
        EXPECT_FALSE(QFile::exists(Path("request.xml")));
        const QByteArray sealed = Read("request.bin");
        ASSERT_EQ(276 + c.n, sealed.size());
        EXPECT_EQ(QByteArray("XMLPRST\x01\x01\x07\x00\x02\x02\x02\x00\x02", 16), sealed.left(16));
        const uint32_t n = uint8_t(sealed[272]) << 24 | uint8_t(sealed[273]) << 16 | uint8_t(sealed[274]) << 8 |
                           uint8_t(sealed[275]);
        EXPECT_EQ(uint32_t(c.n), n);
        EXPECT_EQ(plain, Open("request.bin"));
    }
}

TEST_F(ResetContainer, SamePathIsReplacedByTheContainer)
{
    Write("same.xml", "<a/>");
    ASSERT_EQ(RESET_FILE_OK, EncryptResetFile(P("same.xml").c_str(), P("same.xml").c_str(), P("pub.pem").c_str(), "1702", 0));
    const QByteArray sealed = Read("same.xml");
    EXPECT_EQ(QByteArray("XMLPRST\x01\x01\x07\x00\x02\x00\x00\x00\x00", 16), sealed.left(16));
    EXPECT_EQ(QByteArray("<a/>"), Open("same.xml"));
}

TEST_F(ResetContainer, FailuresKeepThePlainFileAndLeaveNoContainer)
{
    Write("bad.pem", "-----BEGIN PUBLIC KEY-----\nnot a key\n-----END PUBLIC KEY-----\n");
    Write("empty.pem", "");
    struct Case {
        const char* name;
        QByteArray plain;
        const char* key;
        const char* out;
        int result;
    } cases[] = {
        {"too big", QByteArray(1600, 'x'), "pub.pem", "o.bin", RESET_FILE_TOO_BIG},
        {"empty", QByteArray(), "pub.pem", "o.bin", RESET_FILE_EMPTY},
        {"missing key", "<a/>", "nokey.pem", "o.bin", RESET_FILE_KEY_FAILED},
        {"bad key", "<a/>", "bad.pem", "o.bin", RESET_FILE_KEY_FAILED},
        {"empty key", "<a/>", "empty.pem", "o.bin", RESET_FILE_KEY_FAILED},
        {"private key as public", "<a/>", "priv.pem", "o.bin", RESET_FILE_KEY_FAILED},
        {"good", "<a/>", "pub.pem", "o.bin", RESET_FILE_OK},
        {"no output folder", "<a/>", "pub.pem", "nodir/o.bin", RESET_FILE_CANNOT_CREATE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Path("o.bin"));
        Write("p.xml", c.plain);
        EXPECT_EQ(c.result, EncryptResetFile(P("p.xml").c_str(), P(c.out).c_str(), P(c.key).c_str(), "17022202", 0));
        EXPECT_EQ(c.result != RESET_FILE_OK, QFile::exists(Path("p.xml")));
        EXPECT_EQ(c.result == RESET_FILE_OK, QFile::exists(Path("o.bin")));
        EXPECT_FALSE(QFile::exists(Path("o.bin.tmp")));
    }
    EXPECT_EQ(RESET_FILE_CANNOT_OPEN,
              EncryptResetFile(P("none.xml").c_str(), P("o.bin").c_str(), P("pub.pem").c_str(), "17022202", 0));
}

TEST_F(ResetContainer, KeyFileErrors)
{
    struct Case {
        const char* file;
        int isPublic;
        int error;
    } cases[] = {{"nokey.pem", 1, 1}, {"empty.pem", 1, 2}, {"bad.pem", 1, 6}, {"pub.pem", 1, 0},
                 {"pub1.pem", 1, 0},  {"priv.pem", 0, 0},  {"pub.pem", 0, 6}};
    Write("bad.pem", "garbage");
    Write("empty.pem", "");
    for (const auto& c : cases) {
        int error = 0;
        EVP_PKEY* key = ReadRsaKeyFile(P(c.file).c_str(), c.isPublic, &error);
        EXPECT_EQ(c.error, error) << c.file << " " << c.isPublic;
        EXPECT_EQ(c.error == 0, key != nullptr) << c.file;
        FreeRsaKey(key);
    }
}

// libcrypto is opened on first use: when it cannot be, sealing fails with its own code and the
// library's name, the plain file stays, and once the library is found again sealing works.
TEST_F(ResetContainer, MissingCryptographicLibraryIsNamedAndLeavesThePlainFile)
{
    os::RuntimeLib& lib = CryptoRuntimeLib();
    const std::string real = lib.Soname();
    lib.SetSoname("libvx-no-such-crypto.so.3");
    Write("p.xml", "<a/>");
    QFile::remove(Path("o.bin"));
    EXPECT_EQ(RESET_FILE_NO_LIBRARY,
              EncryptResetFile(P("p.xml").c_str(), P("o.bin").c_str(), P("pub.pem").c_str(), "17022202", 0));
    EXPECT_TRUE(QFile::exists(Path("p.xml")));
    EXPECT_FALSE(QFile::exists(Path("o.bin")));
    EXPECT_FALSE(QFile::exists(Path("o.bin.tmp")));
    EXPECT_EQ(ResetFileCryptError().rfind("libvx-no-such-crypto.so.3: ", 0), 0u) << ResetFileCryptError();
    int error = 0;
    EXPECT_EQ(nullptr, ReadRsaKeyFile(P("pub.pem").c_str(), 1, &error));
    EXPECT_EQ(7, error);
    FreeRsaKey(nullptr);

    lib.SetSoname(real);
    EXPECT_TRUE(ResetFileCryptError().empty());
    ASSERT_EQ(RESET_FILE_OK,
              EncryptResetFile(P("p.xml").c_str(), P("o.bin").c_str(), P("pub.pem").c_str(), "17022202", 0));
    EXPECT_EQ(QByteArray("<a/>"), Open("o.bin"));
}

} // namespace
