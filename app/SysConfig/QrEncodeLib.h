// libqrencode opened on first use (the QR code of the password reset), not linked: the program
// does not load it at start.
#pragma once

#include <qrencode.h>

#include <string>

namespace os {
class RuntimeLib;
}

struct QrEncodeLib {
    decltype(&::QRcode_encodeString) QRcode_encodeString;
    decltype(&::QRcode_free) QRcode_free;
};

// Loads libqrencode once (any thread). Null when it or one of its functions could not be loaded;
// QrEncodeLibError() then says why, naming the library.
const QrEncodeLib* LoadQrEncodeLib();
std::string QrEncodeLibError();
// The loader itself: its SetSoname() is the test seam.
os::RuntimeLib& QrEncodeRuntimeLib();
