#include "CloudFixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdlib>
#include <cstring>

#include "Common/AppSettings.h"
#include "Common/SFMessageLoop.h"
#include "Common/SFMessageLoopManager.h"
#include "Common/SFThreadEx.h"
#include "devsdk/DevSdk.h"
#include "devsdk/DevSdkSim.h"
#include "devsdk/Wire.h"
#include "devsim/DeviceModel.h"
#include "../support/FleetAddresses.h"
#include "fwmake/FirmwareImage.h"

namespace cloudtest {

using namespace VeyraBase;

namespace {

void EnsureLoops()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    CSFMessageLoopManager::Instance()->RegisterLoop(CreateMessageLoop(SF_LOOP_QT), ML_MAIN);
    static auto* workers = new std::vector<std::shared_ptr<CSFThreadEx_Qt>>;
    for (int id : {ML_HELPER, ML_SDK}) {
        std::shared_ptr<CSFThreadEx_Qt> worker = CSFThreadEx_Qt::Create(SF_THREAD_CREATE());
        worker->Start();
        CSFMessageLoopManager::Instance()->RegisterLoop(worker->GetMessageLoop(), id);
        workers->push_back(worker);
    }
}

} // namespace

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void RecordingPage::OnCheckResult(std::shared_ptr<NET_IN_CLOUD_UPGRADER_CHECK> request,
                                  std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult, std::string ip,
                                  std::string mac, long loginHandle, int result)
{
    CheckResult r;
    r.request = *request;
    r.answer = *answer;
    r.checkResult = checkResult;
    r.ip = ip;
    r.mac = mac;
    r.login = loginHandle;
    r.result = result;
    checks.push_back(r);
}

void RecordingPage::OnRemoteCheckResult(std::shared_ptr<NET_OUT_CLOUD_UPGRADER_CHECK> answer, int checkResult,
                                        std::string serialNo, std::string, int)
{
    remoteChecks.emplace_back(checkResult && answer->bHasNewVersion ? 1 : 0, serialNo);
}

std::vector<devsim::DeviceState> CloudFixture::Devices(size_t n)
{
    if (prefix_.empty())
        prefix_ = vxtest::ProcessPrefix(0);
    std::vector<devsim::DeviceState> out = devsim::MakeMixedFleet(n, prefix_ + "2", 5);
    for (devsim::DeviceState& d : out) {
        d.initState = 2;
        d.pnOffer = 0;
        d.users[0].password = "admin123";
    }
    return out;
}

void CloudFixture::Start(std::vector<devsim::DeviceState> devices, const cloudsvc::Faults& faults, uint32_t payload)
{
    EnsureLoops();
    fleet_ = vxtest::StartFleetOnFreeBlock(300, 1, [&](const std::string& prefix) {
        std::vector<devsim::DeviceState> placed = devices;
        for (size_t i = 0; i < placed.size(); ++i)
            placed[i].ip = prefix + std::to_string(2 + i);
        return placed;
    }, prefix_);
    ASSERT_TRUE(fleet_);
    vxtest::StartSdkOnFleet(prefix_, devices.size());

    cloudsvc::Options so;
    so.host = prefix_ + "250";
    so.faults = faults;
    std::string error;
    ASSERT_TRUE(cloudsvc::EntriesFromFleet(devsdk::wire::WriteCompact(fleet_->ToJson()), so.entries, error)) << error;
    for (auto& e : so.entries)
        e.payloadSize = payload;
    service_ = std::make_unique<cloudsvc::Server>(so);
    ASSERT_TRUE(service_->Start(error)) << error;
    CAppSettings::CloudURL = QString::fromStdString(service_->Url()).toStdWString();
    CAppSettings::nUpdateTimeout_Minute = 20;
    CAppSettings::nUpdateWaittime_Sec = 30;

    char tmpl[] = "/tmp/cloudupgrade-test-XXXXXX";
    folder_ = mkdtemp(tmpl);
    logic_ = CCloudUpgradeUILogic::Create(page_);
}

void CloudFixture::TearDown()
{
    if (logic_)
        logic_->StopUpgrade();
    // Let queued answers run before the scheduler goes.
    WaitUntil([this] { return !logic_ || logic_->OutstandingStops() == 0; }, 5000);
    SdkCleanup();
    WaitUntil([] { return false; }, 50);
    logic_.reset();
    if (service_)
        service_->Stop();
    if (fleet_)
        fleet_->Stop();
    devsdk::ResetSimOptions();
    if (!folder_.empty())
        std::system(("rm -rf '" + folder_ + "'").c_str());
}

std::string CloudFixture::UrlFor(size_t i) const
{
    const devsim::DeviceState s = fleet_->StateOf(i);
    cloudsvc::Entry e;
    e.family = fwmake::FamilyOfModel(s.model);
    e.newVersion = cloudsvc::NextVersion(s.version);
    return service_->Url() + cloudsvc::Catalog::FirmwarePath(e);
}

std::string CloudFixture::DownloadFor(size_t i, const std::string& name)
{
    const std::string path = folder_ + "/" + name;
    const size_t before = logic_->GetDownVec().size();
    logic_->AddDownloadTask(Ip(i).c_str(), State(i).mac.c_str(), int(100 + i), path, UrlFor(i));
    logic_->StartSingleDownloadFile(int(100 + i));
    EXPECT_TRUE(WaitUntil([&] { return logic_->GetDownVec()[before].m_nDownloadState == DOWNTASK_FINISHED; }));
    EXPECT_EQ(logic_->GetDownVec()[before].m_nResult, 1);
    return path;
}

} // namespace cloudtest
