// The emulated device's side: a session's byte stream into requests and answers.
#include "devsim/DeviceModel.h"

#include <cstddef>
#include <cstdint>

using namespace devsdk;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static devsim::DeviceModel model = [] {
        devsim::DeviceState s;
        s.ip = "127.0.0.2";
        s.mac = "3c:ef:00:00:00:01";
        s.serial = "FUZZ0001";
        s.channels = 2;
        return devsim::DeviceModel(s);
    }();
    devsim::SessionCtx ctx;
    ctx.peerIp = "127.0.0.1";
    wire::FrameReader r;
    r.Feed(reinterpret_cast<const char*>(data), size);
    wire::Frame f;
    int64_t now = 0;
    while (r.Next(f) == wire::FrameReader::kFrame) {
        devsim::Reply rep = model.Handle(f, ctx, now += 1000);
        wire::Encode(wire::kReply, f.op, f.seq, rep.body, rep.bin);
        if (rep.action == devsim::Action::Move)
            model.CommitMove();
        if (rep.action == devsim::Action::Restore)
            model.RestoreDefaults();
    }
    model.SessionClosed(ctx);
    return 0;
}
