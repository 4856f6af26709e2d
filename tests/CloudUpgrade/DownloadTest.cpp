// Download runs of the scheduler: the limit of five, shared files, files already there, and the
// ways a download fails.
#include "CloudFixture.h"

#include <sys/stat.h>

#include <fstream>

namespace cloudtest {
namespace {

bool Exists(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

class CloudDownloadTest : public CloudFixture {
protected:
    // Adds a record for device 0's firmware stored under name, on the given row.
    void Add(const std::string& name, int row, const std::string& url = std::string())
    {
        logic_->AddDownloadTask(Ip(0).c_str(), State(0).mac.c_str(), row, Folder() + "/" + name,
                                url.empty() ? UrlFor(0) : url);
    }
    bool RunEnded() { return page_->downloadIdle > 0 && logic_->IsDownloading() == 0; }
};

TEST_F(CloudDownloadTest, FiveRunAtOnceFollowersShareAndEveryFileArrives)
{
    Start(Devices(1), cloudsvc::Faults(), 512 * 1024);
    for (int i = 0; i < 7; ++i)
        Add("fw" + std::to_string(i) + ".bin", i);
    Add("fw0.bin", 7); // the same file as row 0
    logic_->GetDownVec()[7].m_nSameIndex = 0;
    { std::ofstream(Folder() + "/there.bin") << "old"; }
    Add("there.bin", 8);

    logic_->BatchStartDownload();
    int starting = 0;
    for (const DOWNLOADTASK& d : logic_->GetDownVec())
        starting += d.m_nDownloadState == DOWNTASK_STARTING && d.m_lUpgradID == kPendingHandle && d.m_nSameIndex == -1;
    EXPECT_EQ(starting, 5);
    EXPECT_EQ(logic_->GetDownVec()[5].m_nDownloadState, DOWNTASK_WAITING);
    EXPECT_EQ(logic_->IsDownloading(), 1);

    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }));
    for (const DOWNLOADTASK& d : logic_->GetDownVec()) {
        SCOPED_TRACE(d.m_nIndex);
        EXPECT_EQ(d.m_nDownloadState, DOWNTASK_FINISHED);
        EXPECT_EQ(d.m_nResult, 1);
        EXPECT_EQ(d.m_lUpgradID, 0);
        EXPECT_EQ(page_->downloadResult[d.m_nItem], 1);
        EXPECT_TRUE(Exists(d.m_strFilePath));
        EXPECT_FALSE(Exists(d.m_strFilePath + ".part"));
    }
    EXPECT_EQ(page_->downloadIdle, 1);
    // The record already there was not fetched, the follower not twice: 7 files of one piece each.
    EXPECT_EQ(service_->GetCatalog().Pieces(), 7u);
    EXPECT_TRUE(WaitUntil([&] { return logic_->GetLogic()->DownloadUserCount() == 0; }));
    // The percentage went to the row only when it changed.
    for (const auto& row : page_->progress[CLOUD_ID_DOWNLOAD_BAR])
        for (size_t i = 1; i < row.second.size(); ++i)
            EXPECT_NE(row.second[i], row.second[i - 1]);
}

TEST_F(CloudDownloadTest, FailuresEndTheRecordUnloadedAndTheRunEnds)
{
    cloudsvc::Faults drop;
    drop.dropDownloadAt = 1;
    Start(Devices(1), drop, 2 * 1024 * 1024);
    Add("dropped.bin", 0);
    Add("refused.bin", 1, "https://update.example.com/firmware/x.bin");
    logic_->BatchStartDownload();
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }));
    for (const DOWNLOADTASK& d : logic_->GetDownVec()) {
        SCOPED_TRACE(d.m_nIndex);
        EXPECT_EQ(d.m_nDownloadState, DOWNTASK_FINISHED);
        EXPECT_EQ(d.m_nResult, 0);
        EXPECT_EQ(page_->downloadResult[d.m_nItem], 0);
        EXPECT_FALSE(Exists(d.m_strFilePath));
    }

    // No disk space: the user is told, the record ends unloaded.
    cloudsvc::Faults full;
    full.downloadState = RemoteUpdateState_NoDiskSpace;
    full.downloadStateAt = 1;
    service_->GetCatalog().SetFaults(full);
    logic_->ClearDownVecTask();
    page_->downloadIdle = 0;
    Add("full.bin", 2);
    logic_->BatchStartDownload();
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }));
    EXPECT_EQ(logic_->GetDownVec()[0].m_nResult, 0);
    ASSERT_EQ(page_->attention.size(), 1u);
    EXPECT_EQ(page_->attention[0], L"insufficient download path diskspace.");
    EXPECT_TRUE(WaitUntil([&] { return logic_->GetLogic()->DownloadUserCount() == 0; }));
}

TEST_F(CloudDownloadTest, StoppingTheRunOrOneDeviceEndsRecordsUnloaded)
{
    cloudsvc::Faults slow;
    slow.pieceDelayMs = 200;
    Start(Devices(1), slow, 8 * 1024 * 1024);
    Add("a.bin", 0);
    Add("b.bin", 1);
    logic_->BatchStartDownload();
    ASSERT_TRUE(WaitUntil([&] { return logic_->GetDownVec()[0].m_nDownloadState == DOWNTASK_DOWNLOADING; }));
    logic_->StopSingleDownload("", CloudMacKey(State(0).mac.c_str()));
    ASSERT_TRUE(WaitUntil([&] { return logic_->GetDownVec()[0].m_nDownloadState == DOWNTASK_FINISHED; }));
    EXPECT_EQ(logic_->GetDownVec()[0].m_nResult, 0);
    logic_->BatchStopDownload();
    EXPECT_EQ(logic_->IsStopDownload(), 1);
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(); }));
    EXPECT_EQ(logic_->GetDownVec()[1].m_nResult, 0);
    EXPECT_FALSE(Exists(Folder() + "/a.bin"));
    EXPECT_FALSE(Exists(Folder() + "/b.bin"));
    EXPECT_FALSE(Exists(Folder() + "/b.bin.part"));

    // Answers for a list that was cleared reach no record of the new one.
    Add("c.bin", 0);
    const unsigned old = logic_->DownGeneration();
    logic_->ClearDownVecTask();
    Add("d.bin", 0);
    logic_->Task_DownLoadCallBack_Ret(77, RemoteUpdateState_Downloading, 50, 0, old);
    logic_->Task_StopDownloadFile_Ret(1, 77, 0, 1, old);
    logic_->Task_StopDownloadFile_Ret(1, 77, 5, 1, logic_->DownGeneration());
    EXPECT_EQ(logic_->GetDownVec()[0].m_nDownloadState, DOWNTASK_WAITING);
    EXPECT_EQ(logic_->GetDownVec()[0].m_nProgress, 0);

    // A progress report that overtakes the start answer: the answer keeps the download going.
    DOWNLOADTASK& d = logic_->GetDownVec()[0];
    d.m_nDownloadState = DOWNTASK_STARTING;
    d.m_lUpgradID = kPendingHandle;
    logic_->Task_DownLoadCallBack_Ret(88, RemoteUpdateState_Downloading, 10, 0, logic_->DownGeneration());
    logic_->Task_StartDownloadFile_Ret("", 88, 0, logic_->DownGeneration());
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(d.m_nDownloadState, DOWNTASK_DOWNLOADING);
    EXPECT_EQ(d.m_lUpgradID, 88);
    EXPECT_EQ(d.m_nProgress, 10);
}

} // namespace
} // namespace cloudtest
