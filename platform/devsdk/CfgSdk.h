// The configuration-text SDK: configuration text (as SdkGetNewConfig returns it) to records
// and back. Known names: "Network", "DVRIP", "Https", "VideoInOptions", "VideoColor",
// "ChannelTitle", "Locales", "NTP", "AutoMaintain". Both calls set the thread's last error.
#pragma once

#include "devsdk/DevSdkErrors.h"

// Fills the record of szCommand from szInBuffer; fields the text does not carry keep their
// value (size fields preset by the caller survive). Returns nonzero on success.
BOOL SdkCfgParse(const char* szCommand, const char* szInBuffer, void* lpOutBuffer, DWORD dwOutBufferSize,
                 void* pReserved = nullptr);
// Writes the NUL-terminated text of the record into szOutBuffer. Returns nonzero on success;
// 0 with SDK_SERIALIZE_ERROR when the text does not fit.
BOOL SdkCfgPack(const char* szCommand, const void* lpInBuffer, DWORD dwInBufferSize, char* szOutBuffer,
                DWORD dwOutBufferSize);
