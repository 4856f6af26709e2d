// A device connection that opened a firmware transfer is read by a thread of its own: pieces sent
// back to back are answered in order and checked, the device installs and reboots; half a piece
// held back is still closed after the fleet's limit; stopping the fleet ends such a connection.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTemporaryDir>

#include <chrono>
#include <fstream>
#include <memory>
#include <thread>

#include "devsdk/Wire.h"
#include "devsim/Fleet.h"
#include "fwmake/FirmwareImage.h"

namespace {

namespace wire = devsdk::wire;

class TransferReader : public ::testing::Test {
protected:
    // Each test its own loopback block (tests of this program run in parallel).
    void StartFleet(int block, int partialMs = 15000)
    {
        ip = "127.67." + std::to_string(block) + "." + std::to_string(2 + getpid() % 200);
        devsim::Fleet::Options fo;
        fo.partialMs = partialMs;
        fo.rebootMs = 100;
        fleet = std::make_unique<devsim::Fleet>(fo);
        devsim::DeviceState s;
        s.ip = ip;
        s.model = s.detail = "IPC-VX2431";
        s.mac = "3c:ef:67:00:00:0" + std::to_string(block);
        s.version = "1.0";
        s.users.push_back(devsim::User{"admin", "admin123", 1, false, 0, 0});
        s.installMs = 10;
        fleet->Add(s);
        ASSERT_TRUE(fleet->Start());
    }

    int Connect()
    {
        int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(37777);
        inet_pton(AF_INET, ip.c_str(), &sa.sin_addr);
        if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
            close(fd);
            return -1;
        }
        return fd;
    }

    static bool SendAll(int fd, const std::string& bytes)
    {
        for (size_t off = 0; off < bytes.size();) {
            ssize_t n = send(fd, bytes.data() + off, bytes.size() - off, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            off += size_t(n);
        }
        return true;
    }

    // The next frame from the device, within 5 s.
    static bool Read(int fd, wire::FrameReader& reader, wire::Frame& f)
    {
        char buf[65536];
        for (int waited = 0; waited < 5000;) {
            if (reader.Next(f) == wire::FrameReader::kFrame)
                return true;
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) {
                waited += 100;
                continue;
            }
            ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                return false;
            reader.Feed(buf, size_t(n));
        }
        return false;
    }

    // Logs in and opens a transfer of size bytes.
    void Open(int fd, wire::FrameReader& reader, int64_t size)
    {
        Json::Value login(Json::objectValue), start(Json::objectValue), reply;
        login["user"] = "admin";
        login["password"] = "admin123";
        start["size"] = Json::Int64(size);
        wire::Frame f;
        ASSERT_TRUE(SendAll(fd, wire::Encode(wire::kRequest, wire::kOpLogin, 1, login)));
        ASSERT_TRUE(Read(fd, reader, f));
        ASSERT_TRUE(SendAll(fd, wire::Encode(wire::kRequest, wire::kOpUpgradeStart, 2, start)));
        ASSERT_TRUE(Read(fd, reader, f));
        ASSERT_TRUE(wire::ParseObject(f.json, reply));
        ASSERT_EQ(wire::GetInt(reply, "error", -1), 0);
    }

    std::string ip;
    std::unique_ptr<devsim::Fleet> fleet;
};

TEST_F(TransferReader, PiecesSentBackToBackAreAnsweredInOrderAndTheImageInstalls)
{
    StartFleet(1);
    QTemporaryDir dir;
    fwmake::ImageOptions o;
    o.family = "IPC-VX";
    o.version = "7.7";
    o.payloadSize = (5u << 20) + 12345;
    const std::string path = dir.path().toStdString() + "/fw.bin";
    ASSERT_TRUE(fwmake::WriteImage(path, o));
    std::ifstream in(path, std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    int fd = Connect();
    ASSERT_GE(fd, 0);
    wire::FrameReader reader;
    Open(fd, reader, int64_t(image.size()));
    // Pieces of different sizes, a small one among them, all sent before any answer is read.
    std::vector<size_t> cuts = {100, 1u << 20, 4000, 3u << 20};
    std::thread sender([&] {
        size_t at = 0;
        uint32_t seq = 10;
        for (size_t i = 0; at < image.size(); ++i) {
            const size_t n = std::min(i < cuts.size() ? cuts[i] : size_t(1) << 20, image.size() - at);
            Json::Value body(Json::objectValue);
            body["offset"] = Json::Int64(at);
            if (!SendAll(fd, wire::Encode(wire::kRequest, wire::kOpUpgradeData, seq++, body, image.substr(at, n))))
                return;
            at += n;
        }
    });
    wire::Frame f;
    Json::Value reply;
    int64_t received = 0;
    uint32_t seq = 10;
    while (received < int64_t(image.size())) {
        ASSERT_TRUE(Read(fd, reader, f)) << "after " << received << " bytes";
        ASSERT_EQ(f.kind, wire::kReply);
        EXPECT_EQ(f.seq, seq++) << "answers in the order of the pieces";
        ASSERT_TRUE(wire::ParseObject(f.json, reply));
        ASSERT_EQ(wire::GetInt(reply, "error", -1), 0);
        received = wire::GetInt(reply, "received");
    }
    sender.join();
    EXPECT_TRUE(wire::GetBool(reply, "complete"));
    std::string result;
    while (result.empty() && Read(fd, reader, f))
        if (f.kind == wire::kEvent && wire::ParseObject(f.json, reply))
            result = wire::GetStr(reply, "result");
    EXPECT_EQ(result, "success");
    close(fd);
    for (int i = 0; i < 300 && fleet->StateOf(0).version != "7.7"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(fleet->StateOf(0).version, "7.7");
}

TEST_F(TransferReader, HalfAPieceHeldBackIsClosedAndStoppingTheFleetEndsTransfers)
{
    StartFleet(2, 300);
    int held = Connect(), open = Connect();
    ASSERT_GE(held, 0);
    ASSERT_GE(open, 0);
    wire::FrameReader heldReader, openReader;
    Open(held, heldReader, 1 << 20);
    Open(open, openReader, 1 << 20);
    Json::Value body(Json::objectValue);
    body["offset"] = 0;
    const std::string piece = wire::Encode(wire::kRequest, wire::kOpUpgradeData, 3, body, std::string(1 << 20, 'Z'));
    ASSERT_TRUE(SendAll(held, piece.substr(0, piece.size() / 2)));
    pollfd p{held, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1) << "half a piece holds its connection";
    char c;
    EXPECT_EQ(recv(held, &c, 1, 0), 0);
    close(held);

    const auto t0 = std::chrono::steady_clock::now();
    fleet->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));
    pollfd q{open, POLLIN, 0};
    ASSERT_EQ(poll(&q, 1, 2000), 1);
    EXPECT_LE(recv(open, &c, 1, 0), 0) << "the transfer's connection ends with the fleet";
    close(open);
}

} // namespace
