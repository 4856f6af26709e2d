// The scripted faults of a device in a fleet file: what tests against a separate devsim use.
#pragma once

#include "devsim/DeviceModel.h"

namespace devsim {

// Writes hangOps, failOps, busy, blacklist, authCodes, cameraStates, fixedSecurityCode, the reserved
// reset contacts and the account lock settings into a fleet-file entry (only what differs from the
// defaults).
void ScriptedFaultsToJson(const DeviceState& s, Json::Value& v);
// Reads them back; wrong types are ignored and every list is bounded.
void ScriptedFaultsFromJson(const Json::Value& v, DeviceState& s);

} // namespace devsim
