// The emulated fleet against peers that hold connections: half-sent and idle connections are
// closed, logins stay; a separate devsim process out of descriptors backs off instead of
// spinning and serves again, with the scripted faults of its fleet file.
#include "TestFleet.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <json/json.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

using namespace devtest;

namespace {

int Connect(const std::string& ip, uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    inet_pton(AF_INET, ip.c_str(), &sa.sin_addr);
    if (connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Whether the peer has closed the connection within ms.
bool ClosedWithin(int fd, int ms)
{
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, ms) <= 0)
        return false;
    char c;
    return recv(fd, &c, 1, MSG_DONTWAIT) == 0;
}

class FleetLimits : public SdkFleetTest {};

} // namespace

TEST_F(FleetLimits, HalfSentAndIdleConnectionsAreClosedButLoginsStay)
{
    std::unique_ptr<devsim::Fleet> fleet;
    std::string prefix;
    for (int attempt = 0; attempt < 8 && !fleet; ++attempt) {
        prefix = ProcessPrefix(attempt + 20);
        devsim::Fleet::Options fo;
        fo.partialMs = 300;
        fo.idleMs = 600;
        fleet = std::make_unique<devsim::Fleet>(fo);
        for (auto& d : devsim::MakeMixedFleet(1, prefix + "2", 3))
            fleet->Add(d);
        if (!fleet->Start())
            fleet.reset();
    }
    ASSERT_TRUE(fleet);
    const std::string ip = fleet->StateOf(0).ip;
    devsdk::SimOptions o;
    o.embedded = false;
    o.fleets = {ip + "+1"};
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    ASSERT_TRUE(SdkInit(nullptr, nullptr));
    inited_ = true;

    int half = Connect(ip, 37777);
    int idle = Connect(ip, 37777);
    ASSERT_GE(half, 0);
    ASSERT_GE(idle, 0);
    send(half, "VXD", 3, MSG_NOSIGNAL);  // part of a header
    int err = 0;
    LONG login = SdkLogin(ip.c_str(), 37777, "admin", "admin123", nullptr, &err);
    ASSERT_NE(login, 0) << err;

    EXPECT_TRUE(ClosedWithin(half, 5000)) << "a half-sent request holds its connection";
    EXPECT_TRUE(ClosedWithin(idle, 5000)) << "an idle connection without a login holds its slot";
    // The login, as quiet as the idle connection, still answers.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    char buf[2048] = {};
    int ret = 0;
    EXPECT_TRUE(SdkGetDevConfig(login, SDK_DEV_DEVICECFG, -1, buf, sizeof buf, &ret, 3000));
    SdkLogout(login);
    close(half);
    close(idle);
    SdkCleanup();
    inited_ = false;
    devsdk::ResetSimOptions();
}

TEST_F(FleetLimits, SeparateDevsimOutOfDescriptorsBacksOffAndServesItsScriptedFaultsAgain)
{
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string devsimPath = self;
    devsimPath = devsimPath.substr(0, devsimPath.rfind('/')) + "/devsim";
    ASSERT_EQ(access(devsimPath.c_str(), X_OK), 0) << devsimPath;

    const std::string prefix = ProcessPrefix(31);
    devsim::Fleet::Options fo;
    devsim::Fleet script(fo);
    for (auto& d : devsim::MakeMixedFleet(1, prefix + "2", 3)) {
        d.busy = true;  // a scripted fault: every login is refused as busy
        script.Add(d);
    }
    const std::string ip = script.StateOf(0).ip;
    const std::string file = "/tmp/fleet-limits-" + std::to_string(getpid()) + ".json";
    {
        std::ofstream out(file);
        out << Json::FastWriter().write(script.ToJson());
    }

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit lim{24, 24};  // a few descriptors: epoll, eventfd, the device's sockets, some peers
        setrlimit(RLIMIT_NOFILE, &lim);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(devsimPath.c_str(), "devsim", "--fleet", file.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    auto cpuMs = [&] {
        std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
        std::string line;
        std::getline(stat, line);
        std::istringstream rest(line.substr(line.rfind(')') + 2));
        std::string field;
        long ticks = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i)
            if (i == 14 || i == 15)
                ticks += std::stol(field);
        return ticks * 1000 / sysconf(_SC_CLK_TCK);
    };
    int probe = -1;
    ASSERT_TRUE(WaitFor([&] { return (probe = Connect(ip, 37777)) >= 0; }));
    close(probe);

    devsdk::SimOptions o;
    o.embedded = false;
    o.fleets = {ip + "+1"};
    o.localIp = prefix + "1";
    devsdk::SetSimOptions(o);
    ASSERT_TRUE(SdkInit(nullptr, nullptr));
    inited_ = true;
    int err = 0;
    EXPECT_EQ(SdkLogin(ip.c_str(), 37777, "admin", "admin123", nullptr, &err), 0);
    EXPECT_EQ(err, 7) << "the fleet file's busy device refuses the login as busy";

    // More connections than the process has descriptors: the rest wait in its queue.
    std::vector<int> held;
    for (int i = 0; i < 40; ++i) {
        int fd = Connect(ip, 37777);
        if (fd >= 0)
            held.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const long before = cpuMs();
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_LT(cpuMs() - before, 500) << "devsim spins when it runs out of descriptors";
    for (int fd : held)
        close(fd);
    // Served again once descriptors are free.
    bool served = WaitFor([&] {
        int e = 0;
        SdkLogin(ip.c_str(), 37777, "admin", "admin123", nullptr, &e);
        return e == 7;
    }, 15000);
    EXPECT_TRUE(served);

    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    unlink(file.c_str());
    SdkCleanup();
    inited_ = false;
    devsdk::ResetSimOptions();
}
