// Read-modify-write of a named configuration, shared by the time and maintenance routines.
#pragma once

#include <new>
#include <vector>

#include "SysConfig/CConfigLogic.h"
#include "devsdk/CfgSdk.h"
#include "devsdk/DevSdk.h"

// Steps: read the text, parse it into the record (sizes preset by the caller), patch, pack into
// a zeroed buffer, write. A failed step (or a buffer that cannot be had) gives 0 and no write.
template <class Patch>
int CConfigLogic::WriteNamedConfig(LONG login, const char* name, void* record, DWORD size, int writeWaitMs,
                                   Patch patch)
{
    std::vector<char> text, packed;
    try {
        text.assign(sysconfig::kTextBufferSize, 0);
        packed.assign(sysconfig::kTextBufferSize, 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    int error = 0, restart = 0;
    if (!SdkGetNewConfig(login, name, -1, text.data(), DWORD(text.size()), &error, sysconfig::kConfigReadWaitMs))
        return 0;
    if (!SdkCfgParse(name, text.data(), record, size, nullptr))
        return 0;
    patch();
    if (!SdkCfgPack(name, record, size, packed.data(), DWORD(packed.size())))
        return 0;
    return SdkSetNewConfig(login, name, -1, packed.data(), DWORD(packed.size()), &error, &restart, writeWaitMs) ? 1
                                                                                                             : 0;
}
