// The maker's code rule, shared by the emulated devices and the reset service stand-in: a
// security code is derived from the factory secret, the serial number and the number of the
// description the device issued. Neither side asks the other (or the program) for it.
#pragma once

#include <cstdint>
#include <string>

namespace resetsvc {

constexpr const char* kFactorySecret = "vantyx-factory-2026";

// Six decimal digits.
inline std::string SecurityCodeOf(const std::string& secret, const std::string& serial, uint32_t number)
{
    uint32_t h = 2166136261u;
    for (char c : secret + "|" + serial + "|" + std::to_string(number))
        h = (h ^ uint8_t(c)) * 16777619u;
    return std::to_string(100000 + h % 900000);
}

// The description text a device hands out: "RST1:serial:mac:number:contact".
inline std::string DescriptionOf(const std::string& serial, const std::string& mac, uint32_t number,
                                 const std::string& contact)
{
    return "RST1:" + serial + ":" + mac + ":" + std::to_string(number) + ":" + contact;
}

} // namespace resetsvc
