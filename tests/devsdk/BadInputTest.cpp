#include "TestFleet.h"

#include "devsdk/Wire.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace devtest {
namespace {

namespace wire = devsdk::wire;

int Connect(const std::string& ip, int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(uint16_t(port));
    inet_pton(AF_INET, ip.c_str(), &sa.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads until the peer closes (true) or 10 s pass (false); keeps what arrived.
bool PeerCloses(int fd, std::string* got = nullptr)
{
    char buf[4096];
    for (int i = 0; i < 100; ++i) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            return true;
        if (got)
            got->append(buf, size_t(n));
    }
    return false;
}

std::string Header(uint32_t magic, uint16_t kind, uint32_t jsonLen, uint32_t binLen)
{
    std::string s(20, '\0');
    auto put = [&](size_t off, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            s[off + i] = char((v >> (8 * i)) & 0xFF);
    };
    put(0, magic, 4);
    put(4, kind, 2);
    put(6, wire::kOpLogin, 2);
    put(12, jsonLen, 4);
    put(16, binLen, 4);
    return s;
}

class BadInputTest : public SdkFleetTest {};

TEST_F(BadInputTest, DeviceEndsTheSessionOnMalformedFrames)
{
    StartFleet(1);
    const std::string cases[] = {
        std::string("GET / HTTP/1.0\r\n\r\n") + std::string(20, 'x'),
        Header(wire::kMagic, wire::kRequest, 0x7FFFFFFF, 0),
        Header(wire::kMagic, wire::kRequest, 10, 0xFFFFFFFF),
        Header(wire::kMagic, 9, 2, 0) + "{}",
        Header(wire::kMagic, wire::kReply, 2, 0) + "{}",
    };
    for (const std::string& bytes : cases) {
        int fd = Connect(DeviceIp(0), 37777);
        ASSERT_GE(fd, 0);
        send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        EXPECT_TRUE(PeerCloses(fd));
        close(fd);
    }
    // The device still serves.
    LONG h = LoginTo(0);
    EXPECT_GE(h, 2);
    SdkLogout(h);
}

TEST_F(BadInputTest, DeviceAnswersBadRequestsWithErrorCodes)
{
    StartFleet(1);
    int fd = Connect(DeviceIp(0), 37777);
    ASSERT_GE(fd, 0);
    struct {
        uint16_t op;
        std::string body;
        uint32_t error;
    } cases[] = {
        {wire::kOpQueryDevState, "{\"type\":15}", SDK_NOT_AUTHORIZED},
        {wire::kOpLogin, "not json", SDK_ILLEGAL_PARAM},
        {wire::kOpLogin, "{\"user\":[1],\"password\":{}}", SDK_LOGIN_ERROR_USER},
        {wire::kOpLogin, "{\"user\":\"admin\",\"password\":\"admin123\"}", 0},
        {777, "{}", SDK_NOT_SUPPORTED},
        {wire::kOpGetNewConfig, "{\"name\":\"VideoColor\",\"channel\":99}", SDK_ILLEGAL_PARAM},
        {wire::kOpSetDevConfig, "{\"command\":8,\"year\":\"x\",\"month\":13}", SDK_ILLEGAL_PARAM},
    };
    wire::FrameReader reader;
    uint32_t seq = 1;
    for (auto& c : cases) {
        SCOPED_TRACE(c.body);
        std::string f = wire::Encode(wire::kRequest, c.op, seq, c.body);
        ASSERT_EQ(send(fd, f.data(), f.size(), MSG_NOSIGNAL), ssize_t(f.size()));
        wire::Frame reply;
        char buf[4096];
        while (reader.Next(reply) != wire::FrameReader::kFrame) {
            pollfd p{fd, POLLIN, 0};
            ASSERT_GT(poll(&p, 1, 10000), 0);
            ssize_t n = recv(fd, buf, sizeof buf, 0);
            ASSERT_GT(n, 0);
            reader.Feed(buf, size_t(n));
        }
        EXPECT_EQ(reply.seq, seq);
        Json::Value v;
        ASSERT_TRUE(wire::ParseObject(reply.json, v));
        EXPECT_EQ(uint32_t(wire::GetInt(v, "error", -1)), c.error);
        ++seq;
    }
    close(fd);
}

// A peer that is not a well-behaved device.
class FakeDevice {
public:
    FakeDevice(const std::string& ip, std::function<void(int)> script) : script_(std::move(script))
    {
        lfd_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(lfd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(37777);
        inet_pton(AF_INET, ip.c_str(), &sa.sin_addr);
        ok_ = bind(lfd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 && listen(lfd_, 4) == 0;
        thread_ = std::thread([this] {
            int fd = accept(lfd_, nullptr, nullptr);
            if (fd >= 0) {
                script_(fd);
                close(fd);
            }
        });
    }
    ~FakeDevice()
    {
        shutdown(lfd_, SHUT_RDWR);
        thread_.join();
        close(lfd_);
    }
    bool ok_ = false;

private:
    int lfd_;
    std::function<void(int)> script_;
    std::thread thread_;
};

void ReadSome(int fd)
{
    char buf[4096];
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) > 0)
        recv(fd, buf, sizeof buf, 0);
}

TEST_F(BadInputTest, LoginAgainstABadPeerFailsCleanlyWithinItsWait)
{
    StartFleet(1);
    NET_PARAM np{};
    np.nWaittime = 400;
    SdkSetNetworkParam(&np);
    struct Case {
        const char* name;
        std::function<void(int)> script;
        int loginError;
    };
    std::vector<Case> cases = {
        {"garbage", [](int fd) { ReadSome(fd); send(fd, "HTTP/1.0 400 Bad\r\n\r\nxxxxxxxxxx", 30, MSG_NOSIGNAL); PeerCloses(fd); }, 9},
        {"oversized", [](int fd) { ReadSome(fd); std::string h = Header(wire::kMagic, wire::kReply, 0x7FFFFFFF, 0); send(fd, h.data(), h.size(), MSG_NOSIGNAL); PeerCloses(fd); }, 9},
        {"closes", [](int fd) { ReadSome(fd); }, 9},
        {"silent", [](int fd) { ReadSome(fd); PeerCloses(fd); }, 3},
    };
    // Well-framed login answers whose members are wrong: a bad answer, not a refusal.
    for (const char* body : {"{\"error\":5}", "{\"loginError\":\"x\"}", "{\"error\":1,\"loginError\":77}",
                             "{\"error\":\"no\",\"loginError\":0}"}) {
        cases.push_back({body, [body](int fd) {
                             ReadSome(fd);
                             std::string f = wire::Encode(wire::kReply, wire::kOpLogin, 1, std::string(body));
                             send(fd, f.data(), f.size(), MSG_NOSIGNAL);
                             PeerCloses(fd);
                         },
                         9});
    }
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDevice fake(Addr(240), c.script);
        ASSERT_TRUE(fake.ok_);
        int err = -1;
        EXPECT_EQ(SdkLogin(Addr(240).c_str(), 37777, "admin", "x", nullptr, &err), 0);
        EXPECT_EQ(err, c.loginError);
        EXPECT_NE(SdkGetLastError(), 0u);
    }
}

TEST_F(BadInputTest, GarbageMidSessionEndsItAndIsReportedAsADisconnect)
{
    StartFleet(1);
    SdkCleanup();
    std::atomic<LONG> lost{0};
    SdkInit([](LONG h, const char*, LONG, void* u) { static_cast<std::atomic<LONG>*>(u)->store(h); }, &lost);
    FakeDevice fake(Addr(241), [](int fd) {
        wire::FrameReader r;
        wire::Frame f;
        char buf[4096];
        for (int frames = 0; frames < 2;) {
            if (r.Next(f) == wire::FrameReader::kFrame) {
                ++frames;
                if (frames == 1) {
                    std::string ok = wire::Encode(wire::kReply, f.op, f.seq, std::string("{\"error\":0,\"channels\":1}"));
                    send(fd, ok.data(), ok.size(), MSG_NOSIGNAL);
                } else {
                    std::string h = Header(0xDEADBEEF, wire::kReply, 0, 0);
                    send(fd, h.data(), h.size(), MSG_NOSIGNAL);
                }
                continue;
            }
            ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                return;
            r.Feed(buf, size_t(n));
        }
        PeerCloses(fd);
    });
    ASSERT_TRUE(fake.ok_);
    int err = -1;
    LONG h = SdkLogin(Addr(241).c_str(), 37777, "admin", "x", nullptr, &err);
    ASSERT_GE(h, 2);
    ZRDEV_VERSION_INFO v{};
    int len = 0;
    EXPECT_FALSE(SdkQueryDevState(h, SDK_DEVSTATE_SOFTWARE, reinterpret_cast<char*>(&v), sizeof v, &len, 5000));
    EXPECT_EQ(SdkGetLastError(), SDK_NETWORK_ERROR);
    EXPECT_TRUE(WaitFor([&] { return lost.load() == h; }));
    SdkLogout(h);
}

TEST(Wire, ReaderReassemblesSplitFramesAndRefusesBadHeadersForGood)
{
    std::string a = wire::Encode(wire::kRequest, 5, 7, std::string("{\"a\":1}"), std::string("\x01\x02", 2));
    std::string b = wire::Encode(wire::kReply, 6, 8, std::string("{}"));
    std::string all = a + b;
    wire::FrameReader r;
    wire::Frame f;
    for (char c : all) // byte by byte
        r.Feed(&c, 1);
    ASSERT_EQ(r.Next(f), wire::FrameReader::kFrame);
    EXPECT_EQ(f.op, 5);
    EXPECT_EQ(f.seq, 7u);
    EXPECT_EQ(f.json, "{\"a\":1}");
    EXPECT_EQ(f.bin.size(), 2u);
    ASSERT_EQ(r.Next(f), wire::FrameReader::kFrame);
    EXPECT_EQ(f.kind, wire::kReply);
    EXPECT_EQ(r.Next(f), wire::FrameReader::kNeedMore);
    std::string bad = Header(wire::kMagic, wire::kRequest, wire::kMaxJson + 1, 0);
    r.Feed(bad.data(), bad.size());
    EXPECT_EQ(r.Next(f), wire::FrameReader::kBad);
    r.Feed(b.data(), b.size());
    EXPECT_EQ(r.Next(f), wire::FrameReader::kBad);
}

} // namespace
} // namespace devtest
