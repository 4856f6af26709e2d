// The service stand-in's side: request frames, its option file and fleet files.
#include "cloudsvc/CloudCatalog.h"
#include "devsdk/CloudWire.h"

#include <cstddef>
#include <cstdint>

using namespace devsdk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    cloudsvc::Options opt;
    std::string error;
    cloudsvc::ParseOptions(text, opt, error);
    std::vector<cloudsvc::Entry> entries;
    cloudsvc::EntriesFromFleet(text, entries, error);

    static cloudsvc::Catalog* catalog = [] {
        cloudsvc::Options o;
        o.checkAccount = false;
        cloudsvc::Entry e;
        e.family = "IPC-VX";
        e.newVersion = "2.0";
        e.payloadSize = 4096;
        o.entries.push_back(e);
        auto* c = new cloudsvc::Catalog(o);
        c->SetBaseUrl("http://127.0.0.1:1");
        return c;
    }();
    wire::FrameReader r;
    r.Feed(text.data(), text.size());
    wire::Frame f;
    while (r.Next(f) == wire::FrameReader::kFrame) {
        std::string reply;
        catalog->Handle(f, reply);
    }
    return 0;
}
