// The SDK's side of the cloud protocol: service replies (check answers, download pieces) and
// update-server addresses into records.
#include "devsdk/CloudWire.h"
#include "devsdk/Wire.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace devsdk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* p = reinterpret_cast<const char*>(data);
    cloud::Address a;
    cloud::ParseUrl(p, size, a);
    char field[1024];
    std::memset(field, 'x', sizeof field); // an address that fills its field without a terminator
    std::memcpy(field, p, size < sizeof field ? size : sizeof field);
    cloud::ParseUrl(field, sizeof field, a);

    wire::FrameReader r;
    r.Feed(p, size);
    wire::Frame f;
    while (r.Next(f) == wire::FrameReader::kFrame) {
        Json::Value v;
        if (!wire::ParseObject(f.json, v))
            continue;
        NET_OUT_CLOUD_UPGRADER_CHECK out;
        std::memset(&out, 0, sizeof out);
        cloud::FillCheckAnswer(v, out);
        cloud::PieceReply piece;
        cloud::ParsePieceReply(v, f.bin.size(), int64_t(f.seq), piece);
        cloud::CheckQuery q;
        cloud::ParseCheckRequest(v, q);
    }
    return 0;
}
