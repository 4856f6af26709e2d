// The export page driven as a user would: the device tree and its filter through the device list,
// and exports from emulated devices through the confirm/progress dialog.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "../devsdk/TestFleet.h"
#include "ExportRig.h"
#include "Template/CTemplateLoadApplyDlg.h"
#include "Template/CTemplateLoadLogic.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFTask.h"
#include "Template/CTemplateTreeEventImp.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFSliderCtrl.h"
#include "devsdk/Wire.h"

using namespace exporttest;

namespace {

// Mixed fleet positions: 0 IPC, 3 SD, 4 PTZ, 5 DVR (not initialised), 6 HCVR, 7 NVR.
enum { kIpc = 0, kSd = 3, kPtz = 4, kUninitDvr = 5, kHcvr = 6, kNvr = 7, kDevices = 9 };

QWidget* Widget(void* p) { return static_cast<QWidget*>(p); }

void Click(CSFButton* button)
{
    if (auto* b = dynamic_cast<QAbstractButton*>(button))
        b->click();
}

// Waits until loop 3 has run everything posted to it so far, without running loop 1.
bool WaitForWorkerWithoutLoop1()
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    auto marker = VeyraBase::CreateTask<std::atomic<bool>>([done] { done->store(true); }, done);
    VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_SDK)->PostTask(marker);
    for (int i = 0; i < 2000 && !done->load(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done->load();
}

template <class Control>
bool Visible(Control* control)
{
    auto* w = dynamic_cast<QWidget*>(control);
    return w && w->isVisible();
}

class ExportPage : public devtest::SdkFleetTest {
protected:
    void SetUp() override
    {
        StartFleet(kDevices);
        rig = std::make_unique<Rig>();
    }
    void TearDown() override
    {
        rig.reset();
        devtest::SdkFleetTest::TearDown();
    }
    std::shared_ptr<DEVICE_INFO> Device(size_t i, const char* password = "admin123")
    {
        return DeviceOf(fleet_->StateOf(i), password);
    }
    CTemplateLoadApplyDlg& Dlg() { return *rig->page->GetApplyDlg(); }
    QWidget* DlgWidget() { return Widget(Dlg().GetUIWnd()); }
    // Offers the device, clicks its row and presses the export button.
    void SelectAndExport(std::shared_ptr<DEVICE_INFO> device, ModalDriver& driver)
    {
        (void)driver;
        rig->Offer(device);
        rig->Click(rig->Row(device->stNetInfo.szIpAddr));
        rig->page->StartExport();
    }

    std::unique_ptr<Rig> rig;
};

} // namespace

TEST_F(ExportPage, TreeGroupsRowsAndSelection)
{
    rig->Offer(Device(kHcvr));
    rig->Offer(Device(kPtz));
    rig->Offer(Device(kIpc));
    rig->Offer(Device(kNvr));
    rig->Offer(Device(kSd));
    auto v6 = Device(1);
    v6->stNetInfo.nIpVersion = 6;
    rig->Offer(v6);
    auto other = Device(2);
    std::strcpy(other->stNetInfo.szTypeName, "EVS");
    rig->Offer(other);
    EXPECT_EQ((std::vector<std::wstring>{L"IPC", L"DVR", L"NVR", L"PTZ"}), rig->Groups());
    const std::string sd = fleet_->StateOf(kSd).ip, ptz = fleet_->StateOf(kPtz).ip;
    EXPECT_EQ((std::vector<std::wstring>{std::wstring(ptz.begin(), ptz.end()), std::wstring(sd.begin(), sd.end())}),
              rig->Rows(L"PTZ"));
    EXPECT_EQ(1u, rig->Rows(L"IPC").size());

    auto& panel = *rig->page->GetTreePanel();
    EXPECT_EQ(nullptr, panel.GetSelectedDevice());
    rig->Click(rig->Row(fleet_->StateOf(kNvr).ip));
    ASSERT_NE(nullptr, panel.GetSelectedDevice());
    EXPECT_STREQ(fleet_->StateOf(kNvr).ip.c_str(), panel.GetSelectedDevice()->stNetInfo.szIpAddr);
    // Ticking a box leaves the selection; a group row clears it.
    rig->Tree()->SetCheck(rig->Row(fleet_->StateOf(kIpc).ip), 1);
    EXPECT_NE(nullptr, panel.GetSelectedDevice());
    rig->Click(rig->Tree()->FindChildItem(L"DVR", SF_TVI_ROOT));
    EXPECT_EQ(nullptr, panel.GetSelectedDevice());
    rig->Click(rig->Row(fleet_->StateOf(kNvr).ip));
    rig->page->ClearDevices();
    EXPECT_EQ(nullptr, panel.GetSelectedDevice());
    EXPECT_TRUE(rig->Groups().empty());
}

TEST_F(ExportPage, FilterRefillsTheTreeThroughTheDeviceList)
{
    for (int i : {int(kIpc), int(kSd), int(kPtz), int(kHcvr), int(kNvr), 8})
        rig->Offer(Device(size_t(i)));
    auto v6 = Device(1);
    v6->stNetInfo.nIpVersion = 6;
    rig->Offer(v6);
    struct Case {
        std::wstring filter;
        std::vector<std::wstring> groups;
        size_t rows;
    } cases[] = {
        {L"nvr", {L"NVR"}, 2},
        {L"ptz", {L"PTZ"}, 2},
        {L"hcvr", {L"DVR"}, 1},
        {std::wstring(prefix_.begin(), prefix_.end()), {L"IPC", L"DVR", L"NVR", L"PTZ"}, 6},
        {L"nothing-matches", {}, 0},
        {L"", {L"IPC", L"DVR", L"NVR", L"PTZ"}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.filter.begin(), c.filter.end()));
        rig->Filter(c.filter);
        ASSERT_TRUE(PumpUntil([&] { return rig->Groups() == c.groups; }, 5000));
        size_t rows = 0;
        for (const std::wstring& g : rig->Groups())
            rows += rig->Rows(g).size();
        EXPECT_EQ(c.rows, rows);
    }
    // The filter box holds at most 63 characters, and the page keeps what it held.
    rig->Filter(std::wstring(70, L'x'));
    PumpUntil([&] { return rig->Groups().empty(); }, 5000);
    EXPECT_EQ(63u, rig->page->GetFilterText().size());
    // Without a device list to refill it, the tree and the filter stay as they were.
    rig->Filter(L"");
    ASSERT_TRUE(PumpUntil([&] { return rig->Groups().size() == 4; }, 5000));
    {
        ModalDriver driver(nullptr, nullptr);
        rig->shell->list.reset();
        rig->Filter(L"nvr");
        ASSERT_EQ(1u, driver.boxes.size());
        EXPECT_NE(std::wstring::npos, driver.boxes[0].find(L"Searching,please wait..."));
        EXPECT_EQ(4u, rig->Groups().size());
        EXPECT_EQ("", rig->page->GetFilterText());
        rig->shell->list = rig->list;
    }
    // A new search empties the filter box and the tree.
    rig->page->ClearDevices();
    wchar_t text[80] = {};
    rig->page->GetTreePanel()->GetFilterEdit()->GetWindowTextW(text, 79);
    EXPECT_STREQ(L"", text);
    EXPECT_TRUE(rig->Groups().empty());
}

TEST_F(ExportPage, ExportOfAnNvrOpensItsEditorWithTheDeviceValues)
{
    fleet_->With(kNvr, [](devsim::DeviceModel& m) {
        devsim::DeviceState& s = m.State();
        s.videoStandard = 1;
        Json::Value& main = s.tables["Encode"][0]["MainFormat"][0];
        main["Video"]["Profile"] = "High";
        main["Video"]["BitRateControl"] = "VBR";
        main["Video"]["BitRate"] = 6144;
        main["Video"]["Width"] = 2688;
        main["Video"]["Height"] = 1520;
        main["AudioEnable"] = true;
        main["Audio"]["Compression"] = "AAC";
        Json::Value& extra = s.tables["Encode"][0]["ExtraFormat"][0];
        extra["Video"]["Compression"] = "H.265";
        extra["Video"]["Profile"] = "High";
        extra["Video"]["Height"] = 576;
        Json::Value& period = s.tables["VideoColor"][0]["Periods"][0];
        period["Brightness"] = 61;
        period["Contrast"] = 42;
        period["Style"] = 3;
        s.tables["VideoInOptions"][0]["DayNightColor"] = 2;
    });

    // First the user changes his mind at the confirmation: nothing starts.
    int phase = 0;
    std::wstring confirm, waiting;
    ModalDriver driver(DlgWidget(), [&] {
        if (phase == 0) {
            confirm = Dlg().GetMessageText();
            EXPECT_FALSE(Visible(Dlg().GetProgress()));
            phase = 1;
            Click(Dlg().GetCancelButton());
        } else if (phase == 2) {
            phase = 3;
            Click(Dlg().GetOkButton());
            waiting = Dlg().GetMessageText();
        }
    });
    SelectAndExport(Device(kNvr), driver);
    EXPECT_EQ(1, phase);
    EXPECT_EQ(0, rig->page->IsExporting());
    const std::string ip = fleet_->StateOf(kNvr).ip;
    EXPECT_EQ(L"Export template from " + std::wstring(ip.begin(), ip.end()) + L", continue?", confirm);

    phase = 2;
    rig->page->StartExport();
    EXPECT_EQ(3, phase);
    EXPECT_EQ(L"Export template from " + std::wstring(ip.begin(), ip.end()) + L", please wait......", waiting);
    EXPECT_TRUE(driver.boxes.empty());
    EXPECT_EQ(0, rig->page->IsExporting());
    EXPECT_EQ(3, Dlg().GetProgress()->GetPos());
    ASSERT_EQ(1u, rig->shell->loads.size());
    EXPECT_EQ(1, rig->shell->ends);
    EXPECT_EQ(8, rig->shell->loads[0].first);
    const tagTEMPLATEINFO& t = rig->shell->loads[0].second;
    EXPECT_STREQ(L"", t.name);
    EXPECT_STREQ(L"", t.type);
    EXPECT_EQ(61, t.VideoColor.Brightness);
    EXPECT_EQ(42, t.VideoColor.Contrast);
    EXPECT_EQ(TEMPLATE_COLOR_BRIGHT, t.VideoColor.ColorMode);
    EXPECT_EQ(2, t.DayNight.DayNight);
    EXPECT_STREQ("H.264H", t.Encode.MStreamNCodeMode);
    EXPECT_STREQ("H.265", t.Encode.EStreamNCodeMode);
    EXPECT_EQ(TEMPLATE_BITRATE_VBR, t.Encode.MStreamNBitRateControl);
    EXPECT_EQ(TEMPLATE_BITRATE_CBR, t.Encode.EStreamNBitRateControl);
    EXPECT_EQ(6144, t.Encode.MStreamNBitRate);
    EXPECT_EQ(1, t.Encode.MAudioEnable);
    EXPECT_STREQ("AAC", t.Encode.MAudioEncode);
    EXPECT_EQ(1, t.Encode.MVideoStandard);
    EXPECT_EQ(1, t.Encode.EVideoStandard);
    EXPECT_EQ(1, t.Encode.EStreamMEnable);
    EXPECT_EQ(2688, t.Encode.MStreamNWidth);
    EXPECT_EQ(1520, t.Encode.MStreamNHeight);
    EXPECT_EQ(576, t.Encode.EStreamNHeight);
    EXPECT_EQ(TEMPLATE_FILEMANAGE_NORMAL, t.FileManage.FileManage);
    // The logout is sent without an answer: the device ends the session when it reads it.
    EXPECT_TRUE(PumpUntil([&] { return fleet_->OpenSessions(kNvr) == 0; }, 5000)) << "logged out";
}

TEST_F(ExportPage, FailuresSayExportTemplateFailed)
{
    // A wrong password, a device that refuses its colour text, one whose Encode table has no stream.
    fleet_->With(kHcvr, [](devsim::DeviceModel& m) { m.State().failOps[devsdk::wire::kOpGetNewConfig] = 0x80000017; });
    fleet_->With(kPtz, [](devsim::DeviceModel& m) { m.State().tables["Encode"][0]["MainFormat"] = "none"; });
    struct Case {
        size_t device;
        const char* password;
        int progress;
        const wchar_t* reason;  // under the failure, after the device's address
    } cases[] = {{kIpc, "wrong", 0, L"Incorrect password.\nSet the device account in Search Setting"},
                 {kHcvr, "admin123", 3, L"Failed to get the device Information"},
                 {kPtz, "admin123", 3, L"Failed to get the device Information"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        bool started = false;
        ModalDriver driver(DlgWidget(), [&] {
            if (!started) {
                started = true;
                Click(Dlg().GetOkButton());
            }
        });
        SelectAndExport(Device(c.device, c.password), driver);
        ASSERT_TRUE(PumpUntil([&] { return !driver.boxes.empty(); }, 20000))
            << started << " " << rig->page->IsExporting() << " " << Dlg().GetProgress()->GetPos() << " "
            << rig->shell->loads.size();
        EXPECT_NE(std::wstring::npos, driver.boxes[0].find(L"Export template failed"));
        const std::string ip = Device(c.device, c.password)->stNetInfo.szIpAddr;
        EXPECT_NE(std::wstring::npos, driver.boxes[0].find(std::wstring(ip.begin(), ip.end()) + L": ")) << ip;
        EXPECT_NE(std::wstring::npos, driver.boxes[0].find(c.reason));
        EXPECT_EQ(c.progress, Dlg().GetProgress()->GetPos());
        EXPECT_TRUE(rig->shell->loads.empty());
        EXPECT_EQ(0, rig->page->IsExporting());
        rig->page->ClearDevices();
    }
    // No device chosen.
    ModalDriver driver(DlgWidget(), nullptr);
    rig->page->StartExport();
    ASSERT_EQ(1u, driver.boxes.size());
    EXPECT_NE(std::wstring::npos, driver.boxes[0].find(L"Please select one device."));
}

TEST_F(ExportPage, CancelWhileRunningWaitsForTheWorkerAndShowsNothing)
{
    // The device never answers the Encode request: the worker waits its 3 s.
    fleet_->With(kIpc, [](devsim::DeviceModel& m) { m.State().hangOps.insert(devsdk::wire::kOpTransmit); });
    int phase = 0;
    bool waitShown = false, okEnabled = true, cancelEnabled = true, filterRefused = false;
    std::wstring cancelling;
    ModalDriver driver(DlgWidget(), [&] {
        if (phase == 0) {
            phase = 1;
            Click(Dlg().GetOkButton());
        } else if (phase == 1 && Dlg().GetProgress()->GetPos() == 2) {
            phase = 2;
            Click(Dlg().GetCancelButton());
            cancelling = Dlg().GetMessageText();
            waitShown = Visible(Dlg().GetWaitPicture());
            okEnabled = Dlg().GetOkButton()->IsEnabled();
            cancelEnabled = Dlg().GetCancelButton()->IsEnabled();
            // The filter is refused while the export winds down (asked outside this handler, whose
            // timer does not fire again until it returns).
            QTimer::singleShot(0, [&] { rig->page->GetTreePanel()->OnBtnFilter(); });
        } else if (phase == 2 && !driver.boxes.empty()) {
            filterRefused = driver.boxes[0].find(L"Getting,please wait...") != std::wstring::npos;
            phase = 3;
        }
    });
    SelectAndExport(Device(kIpc), driver);
    EXPECT_GE(phase, 2);
    const std::string ip = fleet_->StateOf(kIpc).ip;
    EXPECT_EQ(L"Device is canceled export template from" + std::wstring(ip.begin(), ip.end()) +
                  L", please wait......",
              cancelling);
    EXPECT_TRUE(waitShown);
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(cancelEnabled);
    EXPECT_TRUE(filterRefused);
    EXPECT_EQ(1u, driver.boxes.size());
    EXPECT_EQ(2, Dlg().GetProgress()->GetPos());
    EXPECT_TRUE(rig->shell->loads.empty());
    EXPECT_EQ(0, rig->page->IsExporting());
    EXPECT_TRUE(PumpUntil([&] { return fleet_->OpenSessions(kIpc) == 0; }, 5000)) << "logged out";

    // The next export runs normally.
    fleet_->With(kIpc, [](devsim::DeviceModel& m) { m.State().hangOps.clear(); });
    bool started = false;
    ModalDriver again(DlgWidget(), [&] {
        if (!started) {
            started = true;
            EXPECT_TRUE(Dlg().GetOkButton()->IsEnabled());
            EXPECT_FALSE(Visible(Dlg().GetWaitPicture()));
            Click(Dlg().GetOkButton());
        }
    });
    rig->page->StartExport();
    EXPECT_TRUE(started);
    ASSERT_EQ(1u, rig->shell->loads.size());
    EXPECT_EQ(1, rig->shell->loads[0].first);
}

TEST_F(ExportPage, WorkerCancelledBeforeItsFirstCheckPostsNoProgress)
{
    // Cancelled while the system attributes are read: the colour read still runs, then the
    // worker logs out and reports without any progress step.
    const devsim::DeviceState s = fleet_->StateOf(kNvr);
    std::shared_ptr<CTemplateLoadLogic> worker = rig->page->GetLogic();
    Dlg().SetProgress(0);
    worker->SetCancel(1);
    worker->Task_StartConfig(s.ip, "admin", "admin123", s.mac, 0, 0);
    // Loop 1 runs tasks in posting order: once this one has run, so have the worker's.
    bool drained = false;
    auto marker = VeyraBase::CreateTask<int>([&drained] { drained = true; }, std::make_shared<int>(0));
    VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_MAIN)->PostTask(marker);
    ASSERT_TRUE(PumpUntil([&] { return drained; }));
    EXPECT_EQ(0, Dlg().GetProgress()->GetPos());
    EXPECT_TRUE(rig->shell->loads.empty());
    EXPECT_TRUE(PumpUntil([&] { return fleet_->OpenSessions(kNvr) == 0; }, 5000)) << "logged out";
}

TEST_F(ExportPage, ClosingThePageDuringAnExportFreesItAtOnceAndDropsTheResults)
{
    // Closed once the worker has posted all its results but before loop 1 ran them, and closed
    // while the worker still waits on a device that never answers the Encode request.
    fleet_->With(kIpc, [](devsim::DeviceModel& m) { m.State().hangOps.insert(devsdk::wire::kOpTransmit); });
    struct Case {
        size_t device;
        bool workerDone;
    } cases[] = {{kNvr, true}, {kIpc, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device);
        if (!rig)
            rig = std::make_unique<Rig>();
        rig->Offer(Device(c.device));
        rig->Click(rig->Row(fleet_->StateOf(c.device).ip));
        rig->page->Task_StartgetConfig();  // the dialog's OK
        if (c.workerDone) {
            ASSERT_TRUE(WaitForWorkerWithoutLoop1());
        }
        std::shared_ptr<RecordingShell> shell = rig->shell;
        std::weak_ptr<CTemplateLoadEventImp> page = rig->page;
        rig.reset();
        // Nothing of the worker's may own the page: its last owner would free the page's windows
        // on its own thread.
        EXPECT_TRUE(page.expired());
        ASSERT_TRUE(WaitForWorkerWithoutLoop1());
        bool drained = false;
        auto marker = VeyraBase::CreateTask<int>([&drained] { drained = true; }, std::make_shared<int>(0));
        VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_MAIN)->PostTask(marker);
        ASSERT_TRUE(PumpUntil([&] { return drained; }));
        EXPECT_TRUE(shell->loads.empty());
        EXPECT_EQ(0, shell->ends);
        EXPECT_TRUE(PumpUntil([&] { return fleet_->OpenSessions(c.device) == 0; }, 5000)) << "logged out";
    }
}

// Pictures of the page and of the dialog's three states into VX_TEMPLATE_EXPORT_SHOTS (skipped
// without it). Run under a virtual X server.
TEST_F(ExportPage, Pictures)
{
    const QString out = qEnvironmentVariable("VX_TEMPLATE_EXPORT_SHOTS");
    if (out.isEmpty())
        GTEST_SKIP() << "VX_TEMPLATE_EXPORT_SHOTS not set";
    QDir().mkpath(out);
    SFLoadStyleSheet((QCoreApplication::applicationDirPath() + "/Style.css").toStdWString());
    auto* shellWindow = static_cast<QWidget*>(rig->shell->GetUIWnd());
    shellWindow->resize(900, 560);
    rig->page->GetView()->MoveWindow(0, 0, 899, 559);
    shellWindow->show();
    for (int i : {int(kIpc), int(kSd), int(kPtz), int(kHcvr), int(kNvr), 8})
        rig->Offer(Device(size_t(i)));
    rig->Click(rig->Row(fleet_->StateOf(kNvr).ip));
    rig->Tree()->SetItemHilight(rig->Row(fleet_->StateOf(kNvr).ip), 1);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shellWindow->grab().save(out + "/export-page.png"));

    fleet_->With(kNvr, [](devsim::DeviceModel& m) { m.State().hangOps.insert(devsdk::wire::kOpTransmit); });
    int phase = 0;
    ModalDriver driver(DlgWidget(), [&] {
        if (phase == 0) {
            EXPECT_TRUE(DlgWidget()->grab().save(out + "/export-confirm.png"));
            phase = 1;
            Click(Dlg().GetOkButton());
        } else if (phase == 1 && Dlg().GetProgress()->GetPos() == 2) {
            EXPECT_TRUE(DlgWidget()->grab().save(out + "/export-running.png"));
            phase = 2;
            Click(Dlg().GetCancelButton());
        } else if (phase == 2) {
            EXPECT_TRUE(DlgWidget()->grab().save(out + "/export-cancelling.png"));
            phase = 3;
        }
    });
    rig->page->StartExport();
    EXPECT_EQ(3, phase);
}
