// Shared set-up of the cloud upgrade page tests: a main window with its page, device records on
// loopback addresses where nothing listens, and readers of the list's cells and cell widgets.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "ShellTestSupport.h"

namespace cloudpage {

// A zero-filled IPv4 record with type, serial number, version and MAC "3C:EF:65:AA:00:<n>".
DEVICE_INFO Record(const std::string& ip, const char* type, int n);
// An answer of the update service.
std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> Answer(bool hasNew, const char* version, const char* url);

// Answers every modal dialog that opens while it lives with OK and records all its static texts.
class DialogTexts {
public:
    DialogTexts();
    ~DialogTexts();
    // Texts of each dialog answered, joined with "|".
    std::vector<std::wstring> Seen() const { return seen_; }

private:
    QTimer timer_;
    std::vector<std::wstring> seen_;
};

class CloudPage : public ::testing::Test {
protected:
    void SetUp() override;
    // Adds the records as the device list does for found devices.
    void AddFound(const std::vector<DEVICE_INFO>& records);
    // Hands a check result to the page as the scheduler does.
    void Result(const DEVICE_INFO& d, int checkResult, int code,
                std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer = nullptr, bool lowerMac = false);

    // Ticks every row's check box.
    void TickAll();
    std::wstring Cell(int row, int col);
    // The row's cell widget of that id (button or bar), or null.
    QWidget* Widget(int row, int id);
    bool Shown(int row, int id);
    bool Enabled(int row, int id);
    std::wstring WidgetText(int row, int id);
    int BarValue(int row, int id);
    std::wstring ButtonText(int id);
    bool ButtonEnabled(int id);

    std::shared_ptr<CMainFrameEventImp> main;
    std::shared_ptr<CCloudUpgradeEventImp> page;
    CSFListCtrl* list = nullptr;
    QTemporaryDir folder;
};

} // namespace cloudpage
