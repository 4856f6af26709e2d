// The device configuration page, standalone, against the SDK's embedded fleet through the real
// configuration logic, SDK, emulated devices and player, with the task loops running.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <string>

#include "DevConfig/CCodeVideoCfgEventImp.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "DevConfig/CLoginUILogic.h"
#include "DevConfig/DevConfigPagePeers.h"
#include "FleetAddresses.h"
#include "ReadyDevice.h"
#include "TaskLoops.h"
#include "Widgets/SFGlobal.h"

namespace devconfigtest {

class PageFleetFixture : public ::testing::Test {
protected:
    // Takes the page's own peers and gives those the logic talks to.
    using PeersWrap = std::function<std::shared_ptr<IDevConfigPeers>(std::shared_ptr<IDevConfigPeers>)>;

    static void SetUpTestSuite()
    {
        SFSetSkinPath((QCoreApplication::applicationDirPath() + QStringLiteral("/Skin/")).toStdWString().c_str());
        vxtest::StartSuiteLoops();
    }
    static void TearDownTestSuite() { vxtest::StopSuiteLoops(); }

    // The fleet's devices from address first on, ours at local; the page is shown at 929 x 616.
    void OpenPage(const char* first, const char* local, const PeersWrap& wrap = nullptr)
    {
        devsdk::SimOptions opt;
        opt.embeddedFirst = first;
        opt.localIp = local;
        vxtest::StartEmbeddedSdk(opt, sdkUp, fleet);
        if (HasFatalFailure())
            return;
        ui = std::make_shared<CLoginUILogic>(std::weak_ptr<CMainFrameEventImp>());
        ui->Init();
        page = CDevConfigEventImp::CreateStandalone(nullptr, CreateLoginUILogicRequests(ui));
        std::shared_ptr<IDevConfigPeers> peers = CreateDevConfigPagePeers(page, {});
        ui->SetPeers(wrap ? wrap(peers) : peers);
        win = page->GetCodeVideoCfgPage();
        ui->SetVideoWindow(win->GetVideoWindow());
        page->GetView()->MoveWindow(0, 0, 929, 616);
        page->GetView()->ShowWindow(1);
    }

    void TearDown() override
    {
        if (ui) {
            ui->LogoutDev();
            vxtest::PumpUntil([] { return false; }, 300);
        }
        page.reset();
        ui.reset();
        if (sdkUp)
            SdkCleanup();
        devsdk::ResetSimOptions();
    }

    size_t DeviceOf(const std::string& type) { return ReadyDevice(*fleet, type); }

    bool sdkUp = false;
    devsim::Fleet* fleet = nullptr;
    std::shared_ptr<CLoginUILogic> ui;
    std::shared_ptr<CDevConfigEventImp> page;
    std::shared_ptr<CCodeVideoCfgEventImp> win;
};

} // namespace devconfigtest
