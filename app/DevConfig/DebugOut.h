// Diagnostic lines of the device configuration logic: to the optional log library when it is
// loaded, and to a sink that tests install. Never carries a password.
#pragma once

#include <functional>
#include <string>

void DevConfigDebug(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Receives every line (tests); empty function removes it.
void SetDevConfigDebugSink(std::function<void(const std::string&)> sink);
