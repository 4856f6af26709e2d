// What the cloud upgrade scheduler calls on its page (loop 1 only): check results, and the row and
// button states of downloads and upgrades. The page implements it; tests use a recording fake.
// Every operation does nothing by default.
#pragma once

#include <memory>
#include <string>

#include "devsdk/DevSdkRecords.h"

// Row widget ids the scheduler names.
enum {
    CLOUD_ID_UPGRADE_BAR = 1113,   // upgrade progress bar of a row
    CLOUD_ID_UPGRADE_RESULT = 1156, // upgrade result button of a row
    CLOUD_ID_DOWNLOAD_BAR = 1186,  // download progress bar of a row
};

class CCloudUpgradePageSink {
public:
    virtual ~CCloudUpgradePageSink() = default;

    // Results of update checks, passed on unchanged.
    virtual void OnCheckResult(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> /*request*/,
                               std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> /*answer*/, int /*checkResult*/,
                               std::string /*ip*/, std::string /*mac*/, long /*loginHandle*/, int /*result*/)
    {
    }
    virtual void OnRemoteCheckResult(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> /*answer*/, int /*checkResult*/,
                                     std::string /*serialNo*/, std::string /*recorderKey*/, int /*row*/)
    {
    }

    // Row states.
    virtual void ResetRowTransfer(int /*row*/, bool /*isDownload*/) {}
    virtual void SetDownloadResult(int /*row*/, bool /*success*/) {}
    virtual void MarkRowDownloading(int /*row*/) {}
    virtual void MarkRowUpgrading(int /*row*/) {}
    virtual void EnableRowButtons(int /*row*/, bool /*enable*/, bool /*isDownload*/) {}
    virtual void SetRowButtonEnable(int /*row*/, int /*buttonId*/, bool /*enable*/) {}
    virtual void SetRowProgress(int /*row*/, int /*value*/, int /*barId*/) {}
    virtual void SetSortEnable(bool /*enable*/) {}
    virtual void ResetUpgradeResult(int /*row*/) {}
    // The row's result button (CLOUD_ID_UPGRADE_RESULT) shows success (code 0) or failure, the
    // row's column-0 item data takes the code, and the row is selected.
    virtual void ShowUpgradeResult(int /*row*/, int /*code*/) {}
    virtual void ResetUpgradeButton(bool /*enable*/) {}
    virtual void ResetDownloadButton(bool /*enable*/) {}
    virtual void MarkDeviceUpgraded(const char* /*ip*/, const char* /*mac*/) {}
    virtual void HideProgressDialog() {}
    // A modal message box with the caption "Attention"; the text is not yet translated.
    virtual void ShowAttention(const wchar_t* /*text*/) {}
};
