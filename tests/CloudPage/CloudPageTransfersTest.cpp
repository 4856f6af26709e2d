// The cloud upgrade page's download and upgrade commands offscreen: which rows become download
// records and upgrade tasks, the rows' look while queued, the guards, and the result texts.
#include "CloudPageSupport.h"

#include <QAbstractButton>
#include <QDir>

#include <cstring>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Common/AppSettings.h"

using namespace cloudpage;
using Page = CCloudUpgradeEventImp;

namespace {

bool Contains(const std::vector<std::wstring>& seen, const std::wstring& text)
{
    for (const std::wstring& s : seen)
        if (s.find(text) != std::wstring::npos)
            return true;
    return false;
}

} // namespace

class CloudTransfers : public CloudPage {
protected:
    void SetUp() override
    {
        CloudPage::SetUp();
        for (int i = 0; i < 3; ++i)
            devices.push_back(Record("127.93.30." + std::to_string(i + 1), "IPC", i + 1));
        AddFound(devices);
        page->SetSingleCheck(1);
        Result(devices[0], 1, 0, Answer(true, "2.9", "http://127.0.0.1:9/fw/IPC_2.9.bin"));
        Result(devices[1], 1, 0);
        Result(devices[2], 1, 0, Answer(true, "2.9", "http://127.0.0.1:9/fw/IPC_2.9.bin"));
        page->SetDownloadResult(2, true);
    }
    // Downloads and upgrades the test started (to addresses where nothing answers) end first, so
    // that the SDK holds no transfer when the program ends.
    void TearDown() override
    {
        EXPECT_TRUE(shelltest::WaitUntil([&] { return !page->IsDownloading() && !page->IsUpgrading(); }, 20000));
        Logic().ClearDownVecTask();
        Logic().ClearVecTask();
        EXPECT_TRUE(shelltest::DrainSdkLoop(2));
    }
    void Press(int id)
    {
        auto* b = dynamic_cast<QAbstractButton*>(page->GetButton(id));
        ASSERT_NE(b, nullptr);
        b->click();
    }
    CCloudUpgradeUILogic& Logic() { return *page->GetCloudUpgradeUILogic(); }
    std::vector<DEVICE_INFO> devices;
};

TEST_F(CloudTransfers, DownLoadFileQueuesOnlyRowsWithAnUndownloadedNewVersion)
{
    list->SetCheck(1, 1);
    {
        DialogTexts boxes;
        Press(Page::ID_DOWNLOAD_ALL);
        EXPECT_TRUE(Contains(boxes.Seen(), L"No file can be download."));
    }
    EXPECT_FALSE(page->IsDownloading());

    TickAll();
    Press(Page::ID_DOWNLOAD_ALL);
    ASSERT_EQ(Logic().GetDownVec().size(), 1u);
    const DOWNLOADTASK& d = Logic().GetDownVec()[0];
    EXPECT_EQ(d.m_nItem, 0);
    EXPECT_EQ(d.m_strFilePath, folder.path().toStdString() + "/IPC_2.9.bin");
    EXPECT_EQ(d.m_strUrl, "http://127.0.0.1:9/fw/IPC_2.9.bin");
    EXPECT_TRUE(page->IsDownloading());
    EXPECT_EQ(WidgetText(0, Page::ID_DOWNLOAD), L"Stop");
    EXPECT_FALSE(Enabled(0, Page::ID_DOWNLOAD));
    EXPECT_TRUE(Shown(0, Page::ID_DOWNLOAD_BAR));
    EXPECT_EQ(ButtonText(Page::ID_DOWNLOAD_ALL), L"Stop downloading");
}

TEST_F(CloudTransfers, DownloadFolderNameIsLimitedTo200Characters)
{
    const QString base = folder.path() + "/";
    // The refused length first: the accepted one starts a download run.
    list->SetCheck(0, 1);
    for (int length : {201, 200}) {
        SCOPED_TRACE(length);
        const QString path = base + QString(length - base.size(), QLatin1Char('d'));
        ASSERT_TRUE(QDir().mkpath(path));
        CAppSettings::DownloadPath = path.toStdWString();
        DialogTexts boxes;
        Press(Page::ID_DOWNLOAD_ALL);
        EXPECT_EQ(Contains(boxes.Seen(), L"Download Path is too long."), length > 200);
        EXPECT_EQ(Logic().GetDownVec().size(), length > 200 ? 0u : 1u);
    }
}

TEST_F(CloudTransfers, SameFileRecordsFollowTheLastEarlierOne)
{
    Logic().ClearDownVecTask();
    for (const char* path : {"/d/FW.bin", "/d/fw.BIN", "/d/fw.bin"})
        Logic().AddDownloadTask("127.0.0.1", "00:00:00:00:00:01", 0, path, "http://h/fw.bin");
    page->SetDownloadSameIndex();
    EXPECT_EQ(Logic().GetDownVec()[0].m_nSameIndex, -1);
    EXPECT_EQ(Logic().GetDownVec()[1].m_nSameIndex, 0);
    EXPECT_EQ(Logic().GetDownVec()[2].m_nSameIndex, 1);
    Logic().ClearDownVecTask();
}

TEST_F(CloudTransfers, RowDownloadWithoutACheckAnswerLeavesTheRowAlone)
{
    page->GetCheckMap().clear();
    auto* b = qobject_cast<QAbstractButton*>(Widget(0, Page::ID_DOWNLOAD));
    ASSERT_NE(b, nullptr);
    b->click();
    EXPECT_EQ(page->GetDeviceVector()[0].nDownloadState, 0);
    EXPECT_EQ(WidgetText(0, Page::ID_DOWNLOAD), L"DownLoad");
    EXPECT_TRUE(Enabled(0, Page::ID_DOWNLOAD));
    EXPECT_TRUE(Logic().GetDownVec().empty());
}

TEST_F(CloudTransfers, KeyUpgradeTakesOnlyDownloadedRows)
{
    list->SetCheck(0, 1);
    list->SetCheck(1, 1);
    {
        DialogTexts boxes;
        Press(Page::ID_UPGRADE_ALL);
        EXPECT_TRUE(Contains(boxes.Seen(), L"No device can upgrade."));
    }
    EXPECT_TRUE(Logic().GetTaskVec().empty());
    EXPECT_FALSE(page->IsUpgrading());

    TickAll();
    Press(Page::ID_UPGRADE_ALL);
    ASSERT_EQ(Logic().GetTaskVec().size(), 1u);
    const CCloudUpgradeTaskInfo& t = *Logic().GetTaskVec()[0];
    EXPECT_EQ(t.m_nItem, 2);
    EXPECT_STREQ(t.m_szIP, "127.93.30.3");
    EXPECT_STREQ(t.m_szUserName, "admin");
    EXPECT_EQ(t.m_strFilePath, folder.path().toStdString() + "/IPC_2.9.bin");
    EXPECT_EQ(t.m_stRemote.nRemoteIndex, -1);
    EXPECT_EQ(WidgetText(2, Page::ID_UPGRADE), L"Stop");
    EXPECT_TRUE(Shown(2, Page::ID_UPGRADE_BAR));
    EXPECT_EQ(ButtonText(Page::ID_UPGRADE_ALL), L"Stop upgrading");
    EXPECT_FALSE(ButtonEnabled(Page::ID_UPGRADE_ALL));
    EXPECT_TRUE(page->IsUpgrading());
    EXPECT_EQ(page->FindRecorderTask("3c:ef:65:aa:00:03"), 0);
    EXPECT_EQ(page->IsRemoteDeviceUpgrading("3C:EF:65:AA:00:03"), 0);
}

TEST_F(CloudTransfers, UpgradeResultButtonNamesTheOutcome)
{
    const struct {
        int code;
        const wchar_t* text;
    } cases[] = {{0, L"Success"}, {4, L"Upgrade timeout."}, {7, L"Login failed."}, {8, L"Incorrect password."},
                 {16, L"Connection failed."}, {42, L"Login failed."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        page->ShowUpgradeResult(2, c.code);
        auto* b = qobject_cast<QAbstractButton*>(Widget(2, Page::ID_UPGRADE_RESULT));
        ASSERT_NE(b, nullptr);
        DialogTexts boxes;
        b->click();
        EXPECT_TRUE(Contains(boxes.Seen(), c.text));
    }
}
