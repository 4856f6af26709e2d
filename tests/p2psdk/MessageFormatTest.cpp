// Text messages of the P2P server protocol: golden texts, the reader's rules, the body and the digest.
#include "P2PSDK/HttpMessage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace Orvan::Tou;

namespace {

std::string serialize(const HttpMessage& msg)
{
    char buf[kHttpBufferSize];
    int n = serializeHttpMessage(&msg, buf, sizeof(buf));
    return n < 0 ? "<refused>" : std::string(buf, size_t(n));
}

HttpMessage request(int kind, const char* url, int cseq)
{
    HttpMessage msg = {};
    msg.kind = kind;
    std::strcpy(msg.url, url);
    msg.CSeq = cseq;
    return msg;
}

std::string shell(const std::string& command)
{
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[256];
    while (fgets(buf, sizeof(buf), p))
        out += buf;
    pclose(p);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

struct PrivateWords
{
    explicit PrivateWords(int on) { setPrivateMethods(on); }
    ~PrivateWords() { setPrivateMethods(0); }
};

} // namespace

TEST(MessageFormat, GoldenTexts)
{
    HttpMessage signedGet = request(kHttpGet, "/probe/p2psrv", 42);
    signedGet.wsse = 1;
    std::strcpy(signedGet.username, "P2PClient");
    std::strcpy(signedGet.passwordDigest, "AAAAAAAAAAAAAAAAAAAAAAAAAAA=");
    std::strcpy(signedGet.nonce, "-17");
    std::strcpy(signedGet.created, "2015-06-01T08:00:00+08:00");

    const char body[] = "<body><US>:8800</US></body>";
    HttpMessage answer = {};
    answer.kind = kHttpResponse;
    answer.status = 200;
    std::strcpy(answer.reason, "OK");
    answer.CSeq = 7;
    answer.body = body;
    answer.contentLength = int(std::strlen(body));

    HttpMessage challenge = {};
    challenge.kind = kHttpResponse;
    challenge.status = 401;
    std::strcpy(challenge.reason, "Unauthorized");
    challenge.CSeq = 9;
    challenge.wsse = 1;
    std::strcpy(challenge.created, "2015-06-01T00:00:00Z");

    struct Case
    {
        const char* name;
        int privateWords;
        HttpMessage msg;
        const char* text;
    } cases[] = {
        {"plain GET", 0, request(kHttpGet, "/probe/p2psrv", 5), "GET /probe/p2psrv HTTP/1.1\r\nCSeq: 5\r\n\r\n"},
        {"private GET", 1, request(kHttpGet, "/probe/p2psrv", 5), "ZRGET /probe/p2psrv HTTP/1.1\r\nCSeq: 5\r\n\r\n"},
        {"POST without body", 1, request(kHttpPost, "/x", -3),
         "ZRPOST /x HTTP/1.1\r\nCSeq: -3\r\nContent-Length: 0\r\n\r\n"},
        {"signed GET", 1, signedGet,
         "ZRGET /probe/p2psrv HTTP/1.1\r\nCSeq: 42\r\nAuthorization: WSSE profile=\"UsernameToken\"\r\n"
         "X-WSSE: UsernameToken Username=\"P2PClient\", PasswordDigest=\"AAAAAAAAAAAAAAAAAAAAAAAAAAA=\", "
         "Nonce=\"-17\", Created=\"2015-06-01T08:00:00+08:00\"\r\n\r\n"},
        {"answer with body", 1, answer,
         "HTTP/1.1 200 OK\r\nCSeq: 7\r\nContent-Type: \r\nContent-Length: 27\r\n\r\n<body><US>:8800</US></body>"},
        {"challenge", 1, challenge,
         "HTTP/1.1 401 Unauthorized\r\nCSeq: 9\r\nWWW-Authenticate: WSSE realm=\"kelvra\", "
         "profile=\"UsernameToken\"\r\nDate: 2015-06-01T00:00:00Z\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrivateWords words(c.privateWords);
        EXPECT_EQ(serialize(c.msg), c.text);
    }
}

TEST(MessageFormat, SerializerRefusesWhatWouldBreakTheMessage)
{
    HttpMessage blankUrl = request(kHttpGet, "/device/ab c/p2p-channel", 1);
    HttpMessage injected = request(kHttpGet, "/x", 1);
    std::strcpy(injected.host, "a\r\nX-Evil: 1");
    EXPECT_EQ(serialize(blankUrl), "<refused>");
    EXPECT_EQ(serialize(injected), "<refused>");

    HttpMessage fits = request(kHttpGet, "/probe/p2psrv", 5);
    char small[20];
    EXPECT_EQ(serializeHttpMessage(&fits, small, sizeof(small)), -1);
    EXPECT_EQ(serializeHttpMessage(nullptr, small, sizeof(small)), -1);
    EXPECT_EQ(serializeHttpMessage(&fits, small, 0), -1);
}

TEST(MessageFormat, ReaderRules)
{
    struct Case
    {
        const char* name;
        std::string text;
        int result; // 0: the whole text
        const char* field; // which field to look at
        const char* value;
    } cases[] = {
        {"value starts two characters after the colon", "GET / HTTP/1.1\r\nHost:abc\r\n\r\n", 0, "host", "bc"},
        {"reason cut to 31", "HTTP/1.1 200 " + std::string(40, 'r') + "\r\n\r\n", 0, "reason",
         "rrrrrrrrrrrrrrrrrrrrrrrrrrrrrrr"},
        {"private method word read as GET", "ZRGET /p HTTP/1.1\r\nCSeq: 12\r\n\r\n", 0, "kind", "1"},
        {"other method is POST", "PUT /p HTTP/1.1\r\n\r\n", 0, "kind", "0"},
        {"header names ignore case", "HTTP/1.1 401 U\r\ncseq: 8\r\nDATE: 2015-06-01T00:00:00Z\r\n\r\n", 0, "date",
         "2015-06-01T00:00:00Z"},
        {"short body", "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", -2, nullptr, nullptr},
        {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nabc", -1, nullptr, nullptr},
        {"missing line end", "HTTP/1.1 200 OK\r\nCSeq: 1", -1, nullptr, nullptr},
        {"start line with one blank", "HTTP/1.1 200\r\n\r\n", -1, nullptr, nullptr},
        {"four WSSE words ignored", "GET / HTTP/1.1\r\nX-WSSE: UsernameToken Username=\"a\", Nonce=\"1\", Created=\"x\"\r\n\r\n",
         0, "wsse", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpMessage msg;
        EXPECT_EQ(parseHttpMessage(&msg, c.text.data(), int(c.text.size())), c.result ? c.result : int(c.text.size()));
        if (!c.field)
            continue;
        std::string got = !std::strcmp(c.field, "host")     ? msg.host
                          : !std::strcmp(c.field, "reason") ? msg.reason
                          : !std::strcmp(c.field, "date")   ? msg.date
                          : !std::strcmp(c.field, "kind")   ? std::to_string(msg.kind)
                                                            : std::to_string(msg.wsse);
        EXPECT_EQ(got, c.value);
    }
}

TEST(MessageFormat, SignedRequestRoundTripsAndVerifies)
{
    PrivateWords words(1);
    HttpRequest req;
    req.CSeq = 77;
    req.method = kHttpPost;
    req.url = "/device/SN123/p2p-channel";
    req.auth = true;
    req.username = "P2PClient";
    req.password = "secret-key";
    req.fields = {{"PubAddr", "1.2.3.4:5"}, {"Identify", "0 1a ff 7 0 0 1 10"}, {"Type", "a<b>&\r\nc"}};
    HttpMessage msg;
    std::string body;
    buildRequestMessage(req, msg, body, 0);
    std::string text = serialize(msg);

    HttpMessage back;
    ASSERT_EQ(parseHttpMessage(&back, text.data(), int(text.size())), int(text.size()));
    EXPECT_EQ(back.kind, kHttpPost);
    EXPECT_STREQ(back.url, "/device/SN123/p2p-channel");
    EXPECT_EQ(back.CSeq, 77);
    EXPECT_EQ(back.wsse, 1);
    EXPECT_STREQ(back.username, "P2PClient");
    EXPECT_EQ(std::strlen(back.passwordDigest), 28u);
    std::strcpy(back.realm, "ZRP2P");
    EXPECT_EQ(verifyWsseDigest(back, "secret-key", 60), 0);
    EXPECT_EQ(verifyWsseDigest(back, "other-key", 60), -1);

    // Markup and line breaks in a value stay inside its element (the parser folds the break to a blank).
    std::string bodyText(back.body, size_t(back.contentLength));
    FieldMap fields;
    parseXmlBody(bodyText.c_str(), fields);
    EXPECT_EQ(fields["Type"], "a<b>& c");
    EXPECT_EQ(fields["PubAddr"], "1.2.3.4:5");
    EXPECT_EQ(fields.size(), 3u);
}

TEST(MessageFormat, DigestEqualsOpenssl)
{
    struct Case
    {
        const char* user;
        const char* password;
        const char* secret;
    } cases[] = {{"P2PClient", "k3y", "ZRP2P:P2PClient:k3y"}, {"dom\\user", "only-the-key", "only-the-key"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        HttpRequest req;
        req.url = "/probe/p2psrv";
        req.auth = true;
        req.username = c.user;
        req.password = c.password;
        HttpMessage msg;
        std::string body;
        buildRequestMessage(req, msg, body, 0);
        std::string input = std::string(msg.nonce) + msg.created + c.secret;
        std::string expected = shell("printf %s '" + input + "' | openssl sha1 -binary | base64");
        EXPECT_EQ(std::string(msg.passwordDigest), expected);
        EXPECT_EQ(expected.size(), 28u);
    }
}

TEST(MessageFormat, VerifyRefusesStaleCreated)
{
    HttpMessage msg = {};
    std::strcpy(msg.username, "u");
    std::strcpy(msg.realm, "ZRP2P");
    std::strcpy(msg.nonce, "1");
    formatIsoTime(msg.created, sizeof(msg.created), time(nullptr) - 3600 * 30);
    signRequest(msg, "pw");
    EXPECT_EQ(verifyWsseDigest(msg, "pw", 60), -1);
    formatIsoTime(msg.created, sizeof(msg.created), time(nullptr));
    signRequest(msg, "pw");
    EXPECT_EQ(verifyWsseDigest(msg, "pw", 60), 0);
}

TEST(MessageFormat, XmlBodyFields)
{
    struct Case
    {
        const char* name;
        const char* body;
        FieldMap expected;
    } cases[] = {
        {"known and unknown", "<body><US>:8800</US><Other>x</Other></body>", {{"US", ":8800"}}},
        {"root not body", "<answer><US>:8800</US></answer>", {}},
        {"first of a name counts", "<body><seq>1</seq><seq>2</seq><ip/></body>", {{"seq", "1"}, {"ip", ""}}},
        {"not XML", "<body><US>", {}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FieldMap fields;
        parseXmlBody(c.body, fields);
        EXPECT_EQ(fields, c.expected);
    }
    FieldMap fields;
    parseXmlBody(("<body><Token>" + std::string(2000, 't') + "</Token></body>").c_str(), fields);
    EXPECT_EQ(fields["Token"].size(), 1023u);

    std::string body;
    buildXmlBody({{"", "{\"raw\":1}"}, {"US", "x"}}, body);
    EXPECT_EQ(body, "{\"raw\":1}");
    buildXmlBody({{"b", "2"}, {"a", "1"}}, body);
    EXPECT_EQ(body, "<body><a>1</a><b>2</b></body>");
}

TEST(MessageFormat, IsoTimes)
{
    EXPECT_EQ(parseIsoTime("2015-06-01T08:00:00+08:00"), parseIsoTime("2015-06-01T00:00:00Z"));
    EXPECT_EQ(parseIsoTime("2015-06-01T00:00:00Z"), 1433116800);
    EXPECT_EQ(parseIsoTime("2015-05-31T20:00:00-04:00"), 1433116800);
    EXPECT_EQ(parseIsoTime("2015-06-01T00:00"), 0);
    char text[32];
    time_t now = time(nullptr);
    formatIsoTime(text, sizeof(text), now);
    EXPECT_EQ(parseIsoTime(text), now) << text;
}

TEST(MessageFormat, RandomIdsAndSplitting)
{
    EXPECT_NE(generateRandomId(), generateRandomId());
    std::vector<std::string> parts;
    EXPECT_EQ(splitString("/info/device/ab", '/', parts), 3);
    EXPECT_EQ(parts, (std::vector<std::string>{"info", "device", "ab"}));
    parts.clear();
    EXPECT_EQ(splitString("none", '/', parts), 0);
    EXPECT_TRUE(parts.empty());

    for (const char* ok : {"SN-1_a.b", "8ZR2C0A1B2C3D4E"})
        EXPECT_TRUE(isSafePathToken(ok)) << ok;
    for (const char* bad : {"", "a b", "a/b", "a\r\nb", "<x>", "a%20"})
        EXPECT_FALSE(isSafePathToken(bad)) << bad;
}
