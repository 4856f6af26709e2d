// A firmware image as the emulated device receives it, in pieces of any size, and the program's
// check of its first bytes.
#include "devsim/DeviceFirmware.h"
#include "fwmake/FirmwareImage.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte chooses the piece size, the rest is the image.
    const size_t piece = 1 + size_t(data[0]) * 7;
    const std::string image(reinterpret_cast<const char*>(data + 1), size - 1);
    fwmake::ImageHeader header;
    fwmake::ParseHeader(image.data(), image.size(), header);
    devsim::FirmwareReceiver rx;
    rx.Begin(int64_t(image.size()));
    for (size_t at = 0; at < image.size(); at += piece)
        if (rx.Piece(image.substr(at, piece), "IPC-VX2431") != 0)
            break;
    const devsim::FirmwareReceiver::Verdict v = rx.Final();
    if (v == devsim::FirmwareReceiver::Verdict::Good && rx.Version().empty())
        __builtin_trap(); // a good image always names its version
    return 0;
}
