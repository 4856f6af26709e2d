// Where the SDK looks for devices. By default SdkInit starts an embedded fleet of emulated
// devices inside the process, unless VX_DEVSIM_FLEET names an external one. Tests set their
// own options before SdkInit.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace devsim {
class Fleet;
}

namespace devsdk {

struct SimOptions {
    bool embedded = true;                  // start the embedded fleet in SdkInit
    std::string embeddedFirst = "127.0.0.2"; // its first address
    int embeddedRebootMs = 3000;
    // External fleets: "ADDR+COUNT[:PROBEPORT]", "ADDR[:PROBEPORT]" or a fleet file path.
    std::vector<std::string> fleets;
    std::string localIp = "127.0.0.1";     // address of the search socket
    uint16_t probePort = 5050;             // devices' discovery port
    int loginWaitMs = 5000;                // until SdkSetNetworkParam
};

// Options from the environment: VX_DEVSIM_FLEET (comma-separated fleets; turns the embedded
// fleet off), VX_DEVSIM_EMBEDDED (0/1), VX_DEVSIM_FIRST, VX_DEVSIM_PROBE_PORT, VX_DEVSIM_LOCAL_IP.
SimOptions SimOptionsFromEnvironment();
// Takes effect at the next SdkInit. Without a call, SdkInit uses SimOptionsFromEnvironment().
void SetSimOptions(const SimOptions& opt);
void ResetSimOptions();
// The embedded fleet while the SDK is initialised (nullptr otherwise).
devsim::Fleet* EmbeddedFleet();
// Starts the embedded fleet ahead of SdkInit, with the options SdkInit would use, so that program
// start-up can overlap it with other work. SdkInit starts it again if the options changed.
void PrepareEmbeddedDevices();
// Every (address, probe port) a broadcast search probes now.
std::vector<std::pair<std::string, uint16_t>> KnownDeviceAddresses();

// Tests only: the next `count` SdkStopSearchDevices calls fail and leave their search running.
void FailNextSearchStops(int count);
// Answers a running broadcast search has passed to its callback (0 once it is stopped).
uint64_t SearchAnswerCount(int32_t handle);

} // namespace devsdk
