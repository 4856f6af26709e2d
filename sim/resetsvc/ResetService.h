// Stand-in for the maker's password-reset service: opens a sealed reset request with the
// service's private key, reads the descriptions in it, and answers with an authorisation file
// ("result") or, for one description read from a QR code, with its security code.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace resetsvc {

constexpr size_t kMaxContainer = 1 << 20;  // bytes of a sealed request
constexpr size_t kMaxDevices = 256;        // descriptions in one request
constexpr size_t kMaxDescription = 999;    // bytes of one description
constexpr int kMaxDepth = 16;              // element nesting of a request

struct Request {
    std::string ip, mac, create;
    std::vector<std::string> descriptions;
};

struct Description {
    std::string serial, mac, contact;
    unsigned number = 0;
};

// Opens the container bytes with the PEM private key at keyPath; false with a reason.
bool OpenRequest(const std::string& container, const std::string& keyPath, std::string& xml, std::string& error);
// Reads a plain request document; false with a reason.
bool ParseRequest(const std::string& xml, Request& request, std::string& error);
// Splits a device description; false when it is not one.
bool ParseDescription(const std::string& text, Description& d);
// The security code of a description, empty when it is not one.
std::string SecurityCodeFor(const std::string& description, const std::string& secret);
// The authorisation document: per serial number three codes (those of the description and of
// the next two descriptions the device may issue). create: "YYYY-MM-DDThh:mm:ss".
std::string AuthorizationXml(const Request& request, const std::string& create, const std::string& secret);
// Local time now as "YYYY-MM-DDThh:mm:ss", shifted by offsetSec.
std::string LocalTimeText(long long offsetSec = 0);

} // namespace resetsvc
