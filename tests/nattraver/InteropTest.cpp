// Interoperation with independent STUN implementations: Debian's coturn server answers our client,
// Debian's classic stun client reads our responder, and tshark decodes our messages.
#include "../p2psdk/NetTestSupport.h"
#include "nattraver/stunclient/CStunClient.h"
#include "nattraver/stunpro/SCLink.h"
#include "p2pserver/P2PServerSim.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Orvan::NATTraver;
using nettest::UdpPeer;

namespace {

bool Installed(const char* path)
{
    return ::access(path, X_OK) == 0;
}

int FreeUdpPort()
{
    UdpPeer probe;
    return probe.port();
}

std::string TempDir()
{
    char tmpl[] = "/tmp/p2p-interop-XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    return d ? d : "/tmp";
}

// A program started by the test and stopped (SIGTERM, then waited for) when the object goes.
class Child
{
public:
    Child(const std::vector<std::string>& argv, const std::string& logFile)
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            int fd = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd >= 0) {
                ::dup2(fd, 1);
                ::dup2(fd, 2);
            }
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            ::execv(args[0], args.data());
            ::_exit(127);
        }
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }

private:
    pid_t pid_ = -1;
};

std::string Shell(const std::string& command)
{
    std::string out;
    FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return out;
    char buf[512];
    while (std::fgets(buf, sizeof(buf), p))
        out += buf;
    ::pclose(p);
    return out;
}

bool s_ok = false;
int s_port = 0;
void OnMapped(bool ok, const StunResult& r, int)
{
    s_ok = ok;
    s_port = r.port;
}

} // namespace

TEST(Interop, CoturnAnswersOurStunClientWithTheXorForm)
{
    if (!Installed("/usr/bin/turnserver"))
        GTEST_SKIP() << "coturn is not installed (scripts/deps.d/p2p.txt)";
    const std::string dir = TempDir();
    const int port = FreeUdpPort();
    Child turn({"/usr/bin/turnserver", "-n", "--stun-only", "--no-cli", "--no-tls", "--no-dtls", "--no-tcp",
                "--listening-ip=127.0.0.1", "--listening-port=" + std::to_string(port), "--log-file=stdout",
                "--simple-log", "--userdb=" + dir + "/turndb", "--pidfile=" + dir + "/turn.pid"},
               dir + "/turn.log");

    UdpPeer own;
    auto client = createStunClient();
    StunConfig c;
    c.fd = own.fd();
    std::strcpy(c.server, "127.0.0.1");
    c.port = port;
    c.timeoutMs = 10000; // a request every second while the server starts
    c.handler = StunHandler(&OnMapped);
    ASSERT_TRUE(client->setConfig(c));
    EXPECT_TRUE(client->sendBindingRequest()) << Shell("cat " + dir + "/turn.log");
    EXPECT_TRUE(s_ok);
    EXPECT_EQ(s_port, own.port());

    // Coturn's answer to a plain Binding request carries XOR-MAPPED-ADDRESS.
    UdpPeer raw;
    CStunMSG req;
    req.createBindingRequest();
    uint8_t bytes[512];
    int n = req.toBuffer(bytes, sizeof(bytes));
    raw.SendTo(std::string(reinterpret_cast<char*>(bytes), size_t(n)), port);
    std::string answer = raw.Receive(3000);
    CStunMSG m;
    ASSERT_EQ(m.parse(reinterpret_cast<const uint8_t*>(answer.data()), int(answer.size())), 0);
    EXPECT_EQ(m.getType(), stunBindingResponse);
    Address mapped;
    ASSERT_TRUE(m.getXorMappedAddress(mapped));
    EXPECT_EQ(mapped.getPort(), raw.port());
}

TEST(Interop, ClassicStunClientReadsOurResponder)
{
    if (!Installed("/usr/bin/stun"))
        GTEST_SKIP() << "stun-client is not installed (scripts/deps.d/p2p.txt)";
    p2psim::P2PServerSim server(p2psim::ServerOptions{});
    ASSERT_TRUE(server.Start());
    std::string out = Shell("timeout 10 /usr/bin/stun 127.0.0.1:" + std::to_string(server.Port()) + " 1 -v 2>&1");
    EXPECT_NE(out.find("MappedAddress = 127.0.0.1:"), std::string::npos) << out;
    EXPECT_NE(out.find("XorMappedAddress = 127.0.0.1:"), std::string::npos) << out;
    EXPECT_NE(out.find("ok=1"), std::string::npos) << out;
    EXPECT_EQ(server.StunAnswered(), 1u);
}

namespace {

void Put32(std::string& s, uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); }

// One IPv4/UDP packet 127.0.0.1:40000 -> 127.0.0.1:3478 around the payload, as a raw-IP pcap record.
void AddRecord(std::string& pcap, const std::vector<uint8_t>& payload)
{
    std::vector<uint8_t> pkt(28 + payload.size(), 0);
    size_t total = pkt.size();
    pkt[0] = 0x45;
    pkt[2] = uint8_t(total >> 8);
    pkt[3] = uint8_t(total);
    pkt[8] = 64;
    pkt[9] = 17;
    const uint8_t lo[4] = {127, 0, 0, 1};
    std::memcpy(&pkt[12], lo, 4);
    std::memcpy(&pkt[16], lo, 4);
    uint32_t sum = 0;
    for (int i = 0; i < 20; i += 2)
        sum += uint32_t(pkt[size_t(i)] << 8 | pkt[size_t(i) + 1]);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    pkt[10] = uint8_t(~sum >> 8);
    pkt[11] = uint8_t(~sum);
    size_t udp = total - 20;
    pkt[20] = 40000 >> 8;
    pkt[21] = 40000 & 0xFF;
    pkt[22] = 3478 >> 8;
    pkt[23] = 3478 & 0xFF;
    pkt[24] = uint8_t(udp >> 8);
    pkt[25] = uint8_t(udp);
    std::memcpy(&pkt[28], payload.data(), payload.size());
    Put32(pcap, 0);
    Put32(pcap, 0);
    Put32(pcap, uint32_t(total));
    Put32(pcap, uint32_t(total));
    pcap.append(reinterpret_cast<const char*>(pkt.data()), total);
}

std::vector<uint8_t> Bytes(const CStunMSG& m)
{
    std::vector<uint8_t> out(2048);
    out.resize(size_t(m.toBuffer(out.data(), int(out.size()))));
    return out;
}

} // namespace

TEST(Interop, TsharkDecodesOurMessagesWithoutErrors)
{
    if (!Installed("/usr/bin/tshark"))
        GTEST_SKIP() << "tshark is not installed (scripts/deps.d/p2p.txt)";
    const uint8_t tie[8] = {0, 0x1a, 0xff, 7, 0, 0, 1, 0x10};
    const uint8_t id[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    CStunMSG request, syn, synAck, answer;
    request.createBindingRequest();
    request.addSoftware("orvanstunclient");
    syn.createBindingRequest();
    syn.addIceControlling(tie);
    syn.addSourceAddress(Address("127.0.0.1", 40001));
    synAck.createBindingResponse(id);
    synAck.addIceControlled(tie);
    synAck.addSourceAddress(Address("127.0.0.1", 40002));
    answer.createBindingResponse(id);
    answer.addMappedAddress(Address("127.0.0.1", 40003));
    answer.addXorPeerAddress(Address("192.0.2.1", 32853));
    answer.addLifetime(600);

    std::string pcap;
    Put32(pcap, 0xa1b2c3d4);
    pcap.append("\x02\x00\x04\x00", 4);
    Put32(pcap, 0);
    Put32(pcap, 0);
    Put32(pcap, 65535);
    Put32(pcap, 101); // raw IP
    for (const CStunMSG* m : {&request, &syn, &synAck, &answer})
        AddRecord(pcap, Bytes(*m));
    const std::string file = TempDir() + "/stun.pcap";
    std::ofstream(file, std::ios::binary) << pcap;

    std::string out = Shell("HOME=/tmp timeout 60 /usr/bin/tshark -n -r " + file + " -V 2>&1");
    EXPECT_EQ(out.find("Malformed"), std::string::npos) << out;
    EXPECT_EQ(out.find("Expert Info (Error"), std::string::npos) << out;
    for (const char* expected : {"Binding Request", "Binding Success Response", "orvanstunclient",
                                 "ICE-CONTROLLING", "ICE-CONTROLLED", "SOURCE_ADDRESS (Deprecated): 127.0.0.1:40002",
                                 "XOR-PEER-ADDRESS: 192.0.2.1:32853"})
        EXPECT_NE(out.find(expected), std::string::npos) << expected << "\n" << out;
}
