// Shared pieces of the system configuration page tests: an application folder of the test's
// own (settings, public.pem, QR image, request file), the page fed with a device list, and a
// driver that acts on each modal dialog as it comes up.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QTimer>

#include "SysConfig/CSysConfigEventImp.h"
#include "devsim/DeviceModel.h"

class QWidget;
class CSFTreeCtrl;

namespace pagetest {

// Temporary application folder, settings, skin path and loops; once per process.
void EnsurePageEnvironment();
std::string AppDir();
std::string TempPath(const std::string& name);

// The search record a device list would hold for an emulated device.
std::shared_ptr<DEVICE_INFO> DeviceInfoOf(const devsim::DeviceState& s);

// A page with its own device list; File() hands every device to it as the list does.
struct PageRig {
    PageRig();
    void SetDevices(const std::vector<devsim::DeviceState>& states);
    void File();
    CSFTreeCtrl* Tree() const;
    void* Row(const std::string& ip) const;
    void Check(const std::string& ip, int on = 1);
    // Group texts in tree order, and the row texts of a group.
    std::vector<std::wstring> Groups() const;
    std::vector<std::wstring> Rows(const std::wstring& group) const;

    std::shared_ptr<CSysConfigEventImp> page;
    CSysConfigEventImp::DeviceVector devices;
};

// Acts on modal dialogs: the handler of a dialog is asked first (true = handled, leave it
// open); any other modal is a message box whose text is recorded and which is answered.
class ModalDriver {
public:
    ModalDriver();
    ~ModalDriver();
    void On(QWidget* dialog, std::function<void()> step) { handlers_.push_back({dialog, std::move(step)}); }
    void Answer(int answer) { answer_ = answer; }
    const std::vector<std::wstring>& Texts() const { return texts_; }

private:
    void Poll();
    struct Handler {
        QWidget* dialog;
        std::function<void()> step;
    };
    QTimer timer_;
    std::vector<Handler> handlers_;
    std::vector<std::wstring> texts_;
    int answer_ = 1;
    bool busy_ = false;
};

// Runs a program and answers its standard output; false when it did not end with 0.
// Texts of visible labels and buttons under root that do not fit their control (a wrapped text: its
// height), as "text (needed > had)".
std::vector<std::string> CutTexts(QWidget* root);
// With VX_SYSCONFIG_SHOTS naming a folder, saves the widget there as <name>.png (run under Xvfb).
void Shot(QWidget* w, const std::string& name);

bool RunProgram(const QString& program, const QStringList& args, std::string* out = nullptr,
                std::string* err = nullptr);

} // namespace pagetest
