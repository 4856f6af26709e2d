// Proxy channel messages from the peer: the frame check and every field reader.
#include "Proxy/TouMessage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Orvan::Tou;
    std::vector<uint8_t> copy(data, data + size); // exact bounds for the sanitizer
    TouFields f;
    if (TouMessage::parse(copy.data(), copy.size(), f)) {
        volatile size_t sink = f.host.size() + f.port + f.option + f.value + f.channelId;
        if (f.payload && f.length != 0)
            sink = sink + f.payload[f.length - 1]; // the last payload byte lies inside the message
        (void)sink;
    }
    if (size >= size_t(TouMessage::kHeaderSize)) {
        volatile int s = TouMessage::expectedSize(copy.data()) + TouMessage::getType(copy.data());
        (void)s;
    }
    return 0;
}
