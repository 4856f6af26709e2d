// Worker half of the export of a template from a device (loop 3): logs in, reads the system
// attributes, "VideoColor", "VideoInOptions" and the "Encode" table, builds a template record for
// the export page and reports progress and the result to it on loop 1. Writes no file.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "devsdk/DevSdkRecords.h"

class CTemplateLoadEventImp;

class CTemplateLoadLogic : public std::enable_shared_from_this<CTemplateLoadLogic> {
public:
    explicit CTemplateLoadLogic(std::weak_ptr<CTemplateLoadEventImp> page);

    // Loop 3. port 0 means 37777; p2p nonzero logs in at "127.0.0.1":port through the proxy.
    void Task_StartConfig(std::string ip, std::string user, std::string password, std::string mac, int port, int p2p);
    // Any thread; polled by the task between its reads.
    void SetCancel(int cancel) { m_nCancel.store(cancel); }
    int GetCancel() const { return m_nCancel.load(); }

    // Fill the record of the channel; nonzero on success.
    int ReadVideoColor(LONG loginId, int channel, const std::shared_ptr<AV_CFG_ChannelVideoColor>& record);
    int ReadVideoInOptions(LONG loginId, int channel, const std::shared_ptr<CFG_VIDEO_IN_OPTIONS>& record);
    // Fills the 10240-byte buffer with the device's JSON answer for its "Encode" table; 1 on success.
    int ReadEncodeJson(LONG loginId, int channel, char* buffer);

private:
    void PostToPage(int line, const char* taskName, std::function<void(CTemplateLoadEventImp&)> call);

    std::atomic<int> m_nCancel{0};
    std::weak_ptr<CTemplateLoadEventImp> m_wpPage;
};
