// A session connection of the fleet (Fleet.cpp, FleetTransfer.cpp). Guarded by the fleet's lock.
#pragma once

#include "devsim/Fleet.h"

#include "devsdk/Wire.h"

#include <cstdint>
#include <string>

namespace devsim {

struct Fleet::Conn {
    int fd = -1;
    uint64_t id = 0;
    size_t dev = 0;
    devsdk::wire::FrameReader reader;
    std::string out;
    bool closeAfterFlush = false;
    bool wantOut = false;
    SessionCtx ctx;
    int64_t lastActive = 0;  // last byte received
    bool ownReader = false;  // read by a thread of its own (FleetTransfer.cpp)
};

} // namespace devsim
