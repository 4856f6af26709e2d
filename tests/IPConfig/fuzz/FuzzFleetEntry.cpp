// A device entry of a fleet file (its network cards, reset contact and cloud options included),
// then the device's "Network" table written back to it as a client would.
#include "devsim/DeviceModel.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Json::Value v;
    if (!devsdk::wire::ParseObject(std::string(reinterpret_cast<const char*>(data), size), v))
        return 0;
    devsim::DeviceState s = devsim::DeviceModel::FromJson(v);
    if (s.ip.empty())
        s.ip = "127.0.0.2";
    devsim::DeviceModel model(s);
    model.Complete();
    Json::Value back = devsim::DeviceModel::ToJson(model.State());
    (void)back;
    // Read the table, then write it unchanged through a login.
    devsim::SessionCtx ctx;
    ctx.peerIp = "127.0.0.1";
    auto send = [&](uint16_t op, const Json::Value& body) {
        devsdk::wire::Frame f;
        f.kind = devsdk::wire::kRequest;
        f.op = op;
        f.json = devsdk::wire::WriteCompact(body);
        return model.Handle(f, ctx, 1000);
    };
    Json::Value login(Json::objectValue);
    login["user"] = model.State().users.empty() ? "admin" : model.State().users[0].name;
    login["password"] = model.State().users.empty() ? "" : model.State().users[0].password;
    send(devsdk::wire::kOpLogin, login);
    Json::Value get(Json::objectValue);
    get["name"] = "Network";
    devsim::Reply r = send(devsdk::wire::kOpGetNewConfig, get);
    Json::Value set(Json::objectValue);
    set["name"] = "Network";
    set["table"] = r.body["table"];
    send(devsdk::wire::kOpSetNewConfig, set);
    return 0;
}
