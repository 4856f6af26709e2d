// Restore to factory defaults (PROTOCOL.md, op 18). Configuration, typed records and the clock
// go back to their defaults; users and the network stay. Most devices then reboot; a traffic
// camera ("ITC" in its type) stays up and waits for the reboot its client sends next.
#include "devsim/DeviceModel.h"

#include <algorithm>
#include <cctype>

namespace devsim {

Reply DeviceModel::RestoreRequest(const Json::Value& req)
{
    s_.lastRestore = devsdk::wire::GetStr(req, "via", "control");
    std::string type = s_.type;
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    Reply r;
    r.body["error"] = 0;
    if (type.find("ITC") != std::string::npos) {
        RestoreDefaults();
        return r;
    }
    r.action = Action::Restore;
    return r;
}

} // namespace devsim
