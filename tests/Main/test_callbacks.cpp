// Lost and regained device connections reported from a foreign thread, and the message relay.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <thread>

#include "ShellTestSupport.h"

#include "CloudUpgrade/CCloudUpgradeEventImp.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "DevConfig/CLoginUILogic.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeUILogic.h"

using namespace shelltest;

namespace {

const char* kIp = "127.0.0.9";
const std::wstring kOffline = L"Device is offline:127.0.0.9";
const std::wstring kCheckVersion = L"Device is offline,please check device version.";

struct Lists {
    std::vector<std::shared_ptr<CUpgradeTaskInfo>>& upgrade;
    std::vector<std::shared_ptr<CCloudUpgradeTaskInfo>>& cloud;
};

Lists ListsOf(const std::shared_ptr<CMainFrameEventImp>& f)
{
    return Lists{f->GetUpgradePage()->GetUpgradeUILogic()->GetTaskVec(),
                 f->GetCloudUpgradePage()->GetCloudUpgradeUILogic()->GetTaskVec()};
}

std::shared_ptr<CUpgradeTaskInfo> Upgrade(LONG login, int delivered, int state, int succeeded = 0, int row = 0)
{
    auto t = std::make_shared<CUpgradeTaskInfo>();
    t->m_lLoginID = login;
    t->m_bFileDelivered = delivered;
    t->m_nUpgradeState = state;
    t->m_bSucceeded = succeeded;
    t->m_nRow = row;
    return t;
}

std::shared_ptr<CCloudUpgradeTaskInfo> Cloud(LONG login, int state, int success, int remote = -1, int sameFile = -1)
{
    auto t = std::make_shared<CCloudUpgradeTaskInfo>();
    t->m_nloginID = login;
    t->m_nUpgradeState = state;
    t->m_bUpgradeSuccess = success;
    t->m_stRemote.nRemoteIndex = remote;
    t->m_nSameFileIndex = sameFile;
    std::snprintf(t->m_szIP, sizeof t->m_szIP, "%s", kIp); // the device comes back on its address
    return t;
}

// Calls the SDK callback from a thread of its own, as the SDK does.
void FromSdkThread(void (*cb)(LONG, const char*, LONG, void*), LONG login, CMainFrameEventImp* frame)
{
    std::thread sdk([=] { cb(login, kIp, 37777, frame); });
    sdk.join();
}

} // namespace

TEST(DeviceCallbacks, LostDevicesAreHandledByTheirOwnersOnTheGuiThread)
{
    auto frame = MakeMainWindow();
    Lists lists = ListsOf(frame);
    auto login = frame->GetLoginUILogic();
    struct Case {
        const char* name;
        std::function<void()> setup;
        LONG lost;
        std::vector<std::wstring> messages;
        std::function<bool()> changed;  // what the GUI thread has done afterwards
    } cases[] = {
        {"upgrade still sending", [&] { lists.upgrade.push_back(Upgrade(101, 0, 1)); }, 101, {kOffline},
         [&] { return lists.upgrade[0]->m_nUpgradeState == 1; }},
        {"upgrade file delivered", [&] { lists.upgrade.push_back(Upgrade(102, 1, 1)); }, 102, {kCheckVersion},
         [&] { return lists.upgrade[0]->m_nUpgradeState == 2; }},
        {"upgrade finished with success", [&] { lists.upgrade.push_back(Upgrade(103, 1, 2, 1)); }, 103, {},
         [&] { return lists.upgrade[0]->m_nUpgradeState == 2; }},
        {"configuration login", [&] { login->SetLoginID(104); }, 104, {kOffline},
         [&] { return login->GetLoginID() == 0; }},
        {"another device than the configured one", [&] { login->SetLoginID(105); }, 106, {},
         [&] { return login->GetLoginID() == 105; }},
        {"cloud upgrade running", [&] { lists.cloud.push_back(Cloud(107, 1, 0)); }, 107, {kOffline},
         [&] { return lists.cloud[0]->m_nUpgradeState == 2; }},
        {"cloud upgrade succeeded", [&] { lists.cloud.push_back(Cloud(108, 2, 1)); }, 108, {},
         [&] { return lists.cloud[0]->m_nUpgradeState == 2 && lists.cloud[0]->m_bUpgradeSuccess == 1; }},
        {"held by upgrade and configuration", [&] {
             lists.upgrade.push_back(Upgrade(109, 0, 1));
             login->SetLoginID(109);
         },
         109, {kOffline}, [&] { return login->GetLoginID() == 0; }},
    };
    for (const Case& c : cases) {
        lists.upgrade.clear();
        lists.cloud.clear();
        login->SetLoginID(0);
        c.setup();
        const int stateBefore = lists.upgrade.empty() ? -1 : lists.upgrade[0]->m_nUpgradeState;
        ModalAnswerer answer(1);
        FromSdkThread(&CMainFrameEventImp::DisconnectCallback, c.lost, frame.get());
        // Nothing has changed on the SDK's thread.
        if (!lists.upgrade.empty()) {
            EXPECT_EQ(lists.upgrade[0]->m_nUpgradeState, stateBefore) << c.name;
        }
        EXPECT_TRUE(WaitUntil(c.changed)) << c.name;
        if (!c.messages.empty()) {
            EXPECT_TRUE(WaitUntil([&] { return answer.Texts().size() >= c.messages.size(); })) << c.name;
        }
        Pump(100);
        EXPECT_EQ(answer.Texts(), c.messages) << c.name;
    }
    lists.upgrade.clear();
    lists.cloud.clear();
    login->SetLoginID(0);
}

TEST(DeviceCallbacks, ReturningDevicesRestartOrContinueTheirUpgrade)
{
    auto frame = MakeMainWindow();
    Lists lists = ListsOf(frame);
    static std::vector<std::string>* lines = new std::vector<std::string>;
    static std::mutex* linesLock = new std::mutex;
    struct Case {
        const char* name;
        std::function<void()> setup;
        LONG back;
        std::function<bool()> done;
        std::vector<const char*> posted;
    } cases[] = {
        {"upgrade broke while sending", [&] { lists.upgrade.push_back(Upgrade(201, 0, 1, 0, 3)); }, 201,
         [&] { return lists.upgrade[0]->m_lLoginID == 0; },
         {"<&CUpgradeEventImp::SetBtnState> called by <Reconnet>", "<&CUpgradeEventImp::SetStartState> called by <Reconnet>"}},
        {"upgrade file already delivered", [&] { lists.upgrade.push_back(Upgrade(202, 1, 1)); }, 202,
         [&] { return lists.upgrade[0]->m_lLoginID == 202; }, {}},
        {"cloud device reached directly", [&] { lists.cloud.push_back(Cloud(203, 2, 1)); }, 203,
         [&] { return lists.cloud[0]->m_bRebootDone == 1 && lists.cloud[0]->m_nloginID == 0; }, {}},
        {"remote cloud device alone", [&] { lists.cloud.push_back(Cloud(204, 2, 1, 0)); }, 204,
         [&] { return lists.cloud[0]->m_bRebootDone == 1 && lists.cloud[0]->m_nloginID == 204; }, {}},
        {"remote cloud device whose file a waiting task reuses", [&] {
             lists.cloud.push_back(Cloud(205, 2, 1, 0));
             lists.cloud.push_back(Cloud(0, 0, 0, 1, 0));
         },
         205, [&] { return lists.cloud[0]->m_bRebootDone == 1 && lists.cloud[0]->m_nloginID == 0; }, {}},
        {"cloud upgrade not finished", [&] { lists.cloud.push_back(Cloud(206, 1, 0)); }, 206,
         [&] { return lists.cloud[0]->m_bRebootDone == 0 && lists.cloud[0]->m_nloginID == 206; }, {}},
    };
    for (const Case& c : cases) {
        lists.upgrade.clear();
        lists.cloud.clear();
        c.setup();
        lines->clear();
        VeyraBase::SetTaskTraceSink([](const char* line) {
            std::lock_guard<std::mutex> guard(*linesLock);
            lines->push_back(line);
        });
        VeyraBase::SetTaskTraceSwitch(1);
        VeyraBase::SetTaskTraceLevel(1);
        FromSdkThread(&CMainFrameEventImp::ReconnectCallback, c.back, frame.get());
        Pump(200);
        VeyraBase::SetTaskTraceSwitch(0);
        VeyraBase::SetTaskTraceLevel(0);
        VeyraBase::SetTaskTraceSink(nullptr);
        EXPECT_TRUE(WaitUntil(c.done)) << c.name;
        std::lock_guard<std::mutex> guard(*linesLock);
        for (const char* needle : c.posted) {
            const bool found = std::any_of(lines->begin(), lines->end(), [&](const std::string& l) {
                return l.find("PostMessage") != std::string::npos && l.find(needle) != std::string::npos;
            });
            EXPECT_TRUE(found) << c.name << ": " << needle;
        }
    }
    lists.upgrade.clear();
    lists.cloud.clear();
}

TEST(MessageRelay, ABoxPostedFromAWorkerIsShownOnceTranslated)
{
    auto frame = MakeMainWindow();
    // A language file of the test's own, so that the shown text differs from the posted key.
    const QString dir = QString::fromStdWString(AppDir()) + QStringLiteral("/Lang");
    QDir().mkpath(dir);
    QFile lang(dir + QStringLiteral("/Lang_7.xml"));
    ASSERT_TRUE(lang.open(QIODevice::WriteOnly));
    lang.write("<Language><Text name=\"Searching,please wait...\" value=\"relayed and translated\"/></Language>");
    lang.close();
    const int language = CAppSettings::Language;
    CAppSettings::Language = 7;
    TrResetForTest();
    ModalAnswerer answer(1);
    std::thread worker([&] { frame->PostMessageBox(L"Searching,please wait..."); });
    worker.join();
    EXPECT_TRUE(WaitUntil([&] { return !answer.Texts().empty(); }));
    Pump(100);
    CAppSettings::Language = language;
    TrResetForTest();
    EXPECT_EQ(answer.Texts(), std::vector<std::wstring>{L"relayed and translated"});
}
