// The configuration-device library over the device SDK's JSON interface.
#include "configdevice/ConfigDevice.h"

#include "configdevice/EncodeAnswers.h"
#include "devsdk/DevSdk.h"

#include <vector>

namespace {

constexpr int kQueryWaitMs = 3000;
constexpr int kCommitWaitMs = 8000;

} // namespace

CSFConfigDevice::CSFConfigDevice(long lLoginID) : m_lLoginID(lLoginID) {}

CSFConfigDevice::~CSFConfigDevice() = default;

bool CSFConfigDevice::Request(const Json::Value& request, Json::Value& response, int waitMs)
{
    Json::StreamWriterBuilder w;
    w["indentation"] = "";
    std::string text = Json::writeString(w, request);
    std::vector<char> in(text.begin(), text.end());
    in.push_back('\0');
    std::vector<char> out(configdevice::kMaxAnswerBytes, '\0');
    if (!SdkTransmitInfoForWeb(LONG(m_lLoginID), in.data(), DWORD(text.size()), out.data(), DWORD(out.size()),
                               nullptr, waitMs))
        return false;
    size_t len = 0;
    while (len < out.size() && out[len])
        ++len;
    return configdevice::ParseAnswer(out.data(), len, response);
}

bool CSFConfigDevice::ReadTable(int channel, Json::Value& table)
{
    Json::Value req(Json::objectValue), resp;
    req["method"] = "configManager.getConfig";
    req["id"] = m_nRequestId++;
    req["params"]["channel"] = channel;
    req["params"]["name"] = "Encode";
    req["params"]["onlyLocal"] = true;
    return Request(req, resp, kQueryWaitMs) && configdevice::TakeParams(resp, "table", table);
}

bool CSFConfigDevice::ReadCaps(int channel, Json::Value& caps)
{
    auto it = m_caps.find(channel);
    if (it != m_caps.end()) {
        caps = it->second;
        return true;
    }
    Json::Value req(Json::objectValue), resp;
    req["method"] = "encodeManager.getCaps";
    req["id"] = m_nRequestId++;
    req["params"]["channel"] = channel;
    if (!Request(req, resp, kQueryWaitMs) || !configdevice::TakeParams(resp, "caps", caps))
        return false;
    m_caps[channel] = caps;
    return true;
}

bool CSFConfigDevice::QueryConfig(int nChannel, int nMainType, std::string strMainCompression, int nVideoStandard,
                                  int nMainResolution, int nSubType, std::string strSubCompression,
                                  int nSubResolution, std::string& strKey, Json::Value& result, SDKMETHOD)
{
    result = Json::Value();
    if (m_lLoginID <= 0 || nChannel < 0)
        return false;
    Json::Value caps, table;
    if (!ReadCaps(nChannel, caps) || !ReadTable(nChannel, table))
        return false;
    configdevice::QueryArgs args;
    args.mainType = nMainType;
    args.mainCompression = strMainCompression;
    args.videoStandard = nVideoStandard;
    args.mainResolution = nMainResolution;
    args.subType = nSubType;
    args.subCompression = strSubCompression;
    args.subResolution = nSubResolution;
    return configdevice::BuildAnswer(strKey, args, caps, table, result);
}

bool CSFConfigDevice::SetConfig(int nChannel, int nA, int nB, int nC, int nD, std::string& strKey, Json::Value value,
                                SDKMETHOD)
{
    if (m_lLoginID <= 0 || nChannel < 0)
        return false;
    Json::Value caps;
    if (!ReadCaps(nChannel, caps))
        return false;
    auto it = m_staged.find(nChannel);
    if (it == m_staged.end()) {
        Json::Value table;
        if (!ReadTable(nChannel, table))
            return false;
        it = m_staged.emplace(nChannel, table).first;
    }
    return configdevice::StageValue(strKey, nA, nB, nC, nD, value, caps, it->second);
}

bool CSFConfigDevice::CommitConfig(SDKMETHOD)
{
    if (m_lLoginID <= 0)
        return false;
    bool all = true;
    for (auto it = m_staged.begin(); it != m_staged.end();) {
        Json::Value req(Json::objectValue), resp;
        req["method"] = "configManager.setConfig";
        req["id"] = m_nRequestId++;
        req["params"]["channel"] = it->first;
        req["params"]["name"] = "Encode";
        req["params"]["table"] = it->second;
        if (Request(req, resp, kCommitWaitMs) && resp["result"].isBool() && resp["result"].asBool()) {
            it = m_staged.erase(it);
        } else {
            all = false;
            ++it;
        }
    }
    return all;
}
