// The configuration-device library: encode settings of one logged-in device as Json list-field
// objects. Queries read the device's "Encode" table and its encode capabilities; sets stage
// changes in a copy of the table; the commit writes the staged tables back. All calls block
// on the device (run them on the device-call loop).
#pragma once

#include "os/WinTypes.h"

#include <json/json.h>

#include <map>
#include <string>

// How the library reaches the device; the program passes its setting through unchanged.
enum SDKMETHOD { SDKMETHOD_DEFAULT = 0, SDKMETHOD_JSON = 1 };

class CSFConfigDevice {
public:
    explicit CSFConfigDevice(long lLoginID);
    ~CSFConfigDevice();
    CSFConfigDevice(const CSFConfigDevice&) = delete;
    CSFConfigDevice& operator=(const CSFConfigDevice&) = delete;

    // Fills `result` with {key: answer} (see EncodeAnswers.h); leaves it null on failure.
    bool QueryConfig(int nChannel, int nMainType, std::string strMainCompression, int nVideoStandard,
                     int nMainResolution, int nSubType, std::string strSubCompression, int nSubResolution,
                     std::string& strKey, Json::Value& result, SDKMETHOD method);
    // Stages one item; false when the value is not one the device takes.
    bool SetConfig(int nChannel, int nA, int nB, int nC, int nD, std::string& strKey, Json::Value value,
                   SDKMETHOD method);
    // Writes every staged item; true when the device took them all. Staged items stay after a
    // failure, so that a second commit can retry them.
    bool CommitConfig(SDKMETHOD method);

    long GetLoginID() const { return m_lLoginID; }
    size_t StagedChannels() const { return m_staged.size(); }

private:
    bool Request(const Json::Value& request, Json::Value& response, int waitMs);
    bool ReadTable(int channel, Json::Value& table);
    bool ReadCaps(int channel, Json::Value& caps);

    long m_lLoginID;
    std::map<int, Json::Value> m_caps;   // per channel, read once
    std::map<int, Json::Value> m_staged; // per channel: the table with the staged changes
    int m_nRequestId = 1;
};
