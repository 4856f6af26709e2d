// The addresses a static batch hands out: the n-th device gets the n-th host address from the
// start address under the mask. The network and broadcast addresses of the subnet (host part
// all zeros or all ones) are never handed out; the dialog's capacity check counts the same way.
#pragma once

#include <string>

// True when the address and the mask read as addresses and the address's host part under the
// mask is neither all zeros nor all ones.
bool IsHostAddress(const std::string& address, const std::string& mask);

// The n-th (from 0) host address from start, counting start itself when it is one; start
// unchanged when same is nonzero. Empty when start or mask does not read as an address or the
// sequence runs past 255.255.255.255.
std::string PlanAddress(const std::string& start, const std::string& mask, int n, int same);
