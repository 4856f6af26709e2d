#include "Template/TemplateEncodeExchange.h"

#include <json/json.h>

#include <cstring>
#include <memory>

#include "Template/CTemplateXml.h"

namespace tplenc {
namespace {

bool Parse(const char* text, Json::Value& out)
{
    if (!text)
        return false;
    Json::CharReaderBuilder builder;
    builder["collectComments"] = false;
    builder["stackLimit"] = int(CTemplateXml::kMaxJsonDepth);
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    std::string errors;
    const size_t len = strnlen(text, TEMPLATE_JSON_BUFFER_SIZE);
    try {
        return reader->parse(text, text + len, &out, &errors);
    } catch (const std::exception&) {
        return false;  // nesting over the limit
    }
}

// Indented, one member per line, members in name order.
std::string Styled(const Json::Value& v)
{
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    return Json::writeString(builder, v) + "\n";
}

Json::Value Request(const char* method, int channel)
{
    Json::Value r(Json::objectValue);
    r["method"] = method;
    r["params"]["channel"] = channel;
    r["params"]["name"] = "Encode";
    return r;
}

} // namespace

std::string GetRequest(int channel)
{
    Json::Value r = Request("configManager.getConfig", channel);
    r["params"]["onlyLocal"] = true;
    return Styled(r);
}

bool SetRequest(const char* answer, int channel, std::string& request)
{
    Json::Value merged;
    if (!Parse(answer, merged) || !merged.isObject())
        return false;
    const Json::Value& params = static_cast<const Json::Value&>(merged)["params"];
    if (!params.isObject())
        return false;
    const Json::Value& table = params["table"];
    if (!table.isObject())
        return false;
    Json::Value r = Request("configManager.setConfig", channel);
    r["params"]["table"] = table;
    request = Styled(r);
    return true;
}

bool Accepted(const char* answer)
{
    Json::Value v;
    if (!Parse(answer, v) || !v.isObject())
        return false;
    const Json::Value& result = static_cast<const Json::Value&>(v)["result"];
    return result.isBool() && result.asBool();
}

} // namespace tplenc
