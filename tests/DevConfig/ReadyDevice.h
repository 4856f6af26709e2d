#pragma once
// The fleet's first initialised device of a type.
#include <gtest/gtest.h>

#include <string>

#include "devsim/Fleet.h"

namespace devconfigtest {

// Its index; a test failure, and 0, when the fleet has none.
inline size_t ReadyDevice(devsim::Fleet& fleet, const std::string& type)
{
    for (size_t i = 0; i < fleet.Size(); ++i) {
        devsim::DeviceState s = fleet.StateOf(i);
        if (s.type == type && s.initState == 2)
            return i;
    }
    ADD_FAILURE() << "no device of type " << type;
    return 0;
}

} // namespace devconfigtest
