// The addresses a static batch hands out and the host test behind the dialog's checks.
#include <gtest/gtest.h>

#include "IPConfig/AddressPlan.h"

TEST(AddressPlan, NthHostAddressSkipsNetworkAndBroadcast)
{
    struct Case {
        const char *start, *mask;
        int n, same;
        const char* expected;
    } cases[] = {
        {"192.168.1.10", "255.255.255.0", 0, 0, "192.168.1.10"},
        {"192.168.1.10", "255.255.255.0", 5, 0, "192.168.1.15"},
        // /24: .255 is the broadcast and .0 the next network: both are stepped over.
        {"192.168.1.250", "255.255.255.0", 4, 0, "192.168.1.254"},
        {"192.168.1.250", "255.255.255.0", 5, 0, "192.168.2.1"},
        // /16: x.x.1.255 and x.x.2.0 are hosts like any other.
        {"192.168.1.250", "255.255.0.0", 5, 0, "192.168.1.255"},
        {"192.168.1.250", "255.255.0.0", 6, 0, "192.168.2.0"},
        {"192.168.255.254", "255.255.0.0", 1, 0, "192.169.0.1"},
        // A start on the network address begins with the first host.
        {"10.0.0.0", "255.255.255.0", 0, 0, "10.0.0.1"},
        // /30: two hosts per block.
        {"10.0.0.1", "255.255.255.252", 1, 0, "10.0.0.2"},
        {"10.0.0.1", "255.255.255.252", 2, 0, "10.0.0.5"},
        // Same IP: the start for everyone; no host address in /31 and /32.
        {"192.168.1.255", "255.255.255.0", 9, 1, "192.168.1.255"},
        {"10.0.0.1", "255.255.255.254", 0, 0, ""},
        {"10.0.0.1", "x", 0, 0, ""},
        {"255.255.255.254", "0.0.0.0", 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.start) + "/" + c.mask + " #" + std::to_string(c.n));
        EXPECT_EQ(PlanAddress(c.start, c.mask, c.n, c.same), c.expected);
    }
}

TEST(AddressPlan, HostAddressTable)
{
    struct Case {
        const char *address, *mask;
        bool host;
    } cases[] = {
        {"192.168.1.1", "255.255.255.0", true},   {"192.168.1.0", "255.255.255.0", false},
        {"192.168.1.255", "255.255.255.0", false}, {"192.168.0.255", "255.255.254.0", true},
        {"192.168.0.255", "255.255.0.0", true},    {"192.168.255.255", "255.255.0.0", false},
        {"10.1.2.3", "0.0.0.0", true},            {"10.1.2.3", "255.255.255.255", false},
        {"", "255.255.255.0", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsHostAddress(c.address, c.mask), c.host) << c.address << "/" << c.mask;
}

TEST(AddressPlan, AFullSubnetHoldsItsHostsOnly)
{
    // From .1 in a /24 every one of the 254 hosts is handed out once, then the next subnet.
    for (int n = 0; n < 254; ++n)
        EXPECT_EQ(PlanAddress("172.16.5.1", "255.255.255.0", n, 0), "172.16.5." + std::to_string(n + 1));
    EXPECT_EQ(PlanAddress("172.16.5.1", "255.255.255.0", 254, 0), "172.16.6.1");
}
