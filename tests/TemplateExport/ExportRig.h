// The export page under test: owned by a recording editor shell, fed by a real device list, with
// loop 1 on this thread and loop 3 on a worker; and a driver for its modal dialogs.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QTimer>

#include "../Discovery/RecordingPeers.h"
#include "../TemplateStore/TemplateTestOwner.h"
#include "Template/CTemplateLoadEventImp.h"
#include "Template/TemplateExportOwners.h"
#include "devsim/DeviceModel.h"

class QWidget;

namespace exporttest {

// Loops, skin path; once per process.
void EnsureEnvironment();
bool PumpUntil(const std::function<bool()>& done, int limitMs = 15000);

class RecordingShell : public tpltest::OwnerView, public ITemplateExportShell {
public:
    int LoadExportedTemplate(int devClass, tagTEMPLATEINFO* info) override;
    void EndExport() override { ++ends; }
    std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() override { return list; }

    std::shared_ptr<CDeviceListUILogic> list;
    std::vector<std::pair<int, tagTEMPLATEINFO>> loads;
    int ends = 0;
};

// Hands the device list's calls for the export page to the page.
class ExportPeers : public RecordingPeers {
public:
    bool TemplateLoad_IsSupportedDevice(DEVICE_NET_INFO_EX* i) override { return CTemplateLoadEventImp::IsSupportedDevice(i); }
    void TemplateLoad_AddDeviceToTree(std::shared_ptr<DEVICE_INFO> d) override { if (auto p = page_.lock()) p->AddDeviceToTree(d); }
    bool TemplateLoad_MatchFilter(const char* t, int v, const char* ip) override
    {
        auto p = page_.lock();
        return p && p->MatchFilter(t, v, ip);
    }
    void TemplateLoad_ExpandDeviceTree() override { if (auto p = page_.lock()) p->ExpandDeviceTree(); }
    std::weak_ptr<CTemplateLoadEventImp> page_;
};

std::shared_ptr<DEVICE_INFO> DeviceOf(const devsim::DeviceState& s, const char* password = "admin123");

struct Rig {
    Rig();
    ~Rig();
    // Puts the device into the list and hands it to the page as a search result would.
    void Offer(std::shared_ptr<DEVICE_INFO> device);
    CSFTreeCtrl* Tree() const;
    std::vector<std::wstring> Groups() const;
    std::vector<std::wstring> Rows(const std::wstring& group) const;
    void* Row(const std::string& ip) const;
    void Click(void* item);
    // Types text into the filter box and presses Enter.
    void Filter(const std::wstring& text);

    std::shared_ptr<RecordingShell> shell;
    std::shared_ptr<ExportPeers> peers;
    std::shared_ptr<CDeviceListUILogic> list;
    std::shared_ptr<CTemplateLoadEventImp> page;
};

// Acts on modal dialogs while it lives: the export dialog goes to its handler (called on every
// poll while it is open); any other modal is a message box whose text is kept and answered OK.
class ModalDriver {
public:
    explicit ModalDriver(QWidget* exportDialog, std::function<void()> onExportDialog);
    std::vector<std::wstring> boxes;

private:
    QTimer timer_;
};

// Texts of the labels under a widget, joined with "|".
std::wstring LabelTexts(QWidget* root);

} // namespace exporttest
