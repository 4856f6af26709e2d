// The page's check and remote-device maps, the scheduler's task list and download records.
#include <gtest/gtest.h>

#include <cstring>

#include "CloudUpgrade/CCloudUpgradeUILogic.h"

namespace {

CLOUDCHECK CheckWithVersion(const char* version)
{
    CLOUDCHECK c{};
    c.stuOut.bHasNewVersion = 1;
    std::strcpy(c.stuOut.szNewVersion, version);
    return c;
}

TEST(CloudRecordsTest, CheckMapIsKeyedByUpperCaseMacAndReplaces)
{
    CloudCheckMap map;
    StoreCloudCheck(map, "aa:bb:0c:1d:ee:ff", CheckWithVersion("V1"));
    StoreCloudCheck(map, "AA:BB:0C:1D:EE:FF", CheckWithVersion("V2"));
    ASSERT_EQ(map.size(), 1u);
    EXPECT_EQ(map.begin()->first, "AA:BB:0C:1D:EE:FF");
    CLOUDCHECK* found = FindCloudCheck(map, "Aa:bB:0c:1D:eE:Ff");
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->stuOut.szNewVersion, "V2");
    EXPECT_EQ(FindCloudCheck(map, "00:00:00:00:00:00"), nullptr);
}

TEST(CloudRecordsTest, RemoteDeviceIsFoundByRecorderMacAndSerialIgnoringCase)
{
    RemoteDeviceMap map;
    strudevice a, b;
    std::strcpy(a.szSerialNo, "SN-one");
    std::strcpy(b.szSerialNo, "SN-TWO");
    b.nIndex = 1;
    map[CloudMacKey("0a:0b:0c:0d:0e:0f")] = {a, b};
    strudevice* found = FindRemoteDevice(map, "0A:0B:0C:0D:0E:0F", "sn-two");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->nIndex, 1);
    EXPECT_EQ(FindRemoteDevice(map, "0a:0b:0c:0d:0e:0f", "SN-THREE"), nullptr);
    EXPECT_EQ(FindRemoteDevice(map, "11:22:33:44:55:66", "SN-ONE"), nullptr);
    // A serial number that fills its field has no terminator and still compares.
    strudevice full;
    std::memset(full.szSerialNo, 'x', sizeof full.szSerialNo);
    map["FULL"] = {full};
    EXPECT_NE(FindRemoteDevice(map, "full", std::string(64, 'X').c_str()), nullptr);
}

TEST(CloudRecordsTest, FreshRemoteDeviceIsZero)
{
    strudevice d;
    EXPECT_EQ(d.nDownloadState, 0);
    EXPECT_EQ(d.byCheckResult, 0);
    EXPECT_EQ(d.szXml[0], 0);
    EXPECT_EQ(d.szFileName[1023], 0);
}

class CloudTaskListTest : public ::testing::Test {
protected:
    std::shared_ptr<CCloudUpgradePageSink> page = std::make_shared<CCloudUpgradePageSink>();
    std::shared_ptr<CCloudUpgradeUILogic> logic = CCloudUpgradeUILogic::Create(page);

    void Insert(const char* serial, const char* file, const REMOTETASKINFO* remote = nullptr, int port = 37777)
    {
        logic->InsertTaskInfo(port, "127.0.0.5", "admin", "pass", "aa:bb:cc:dd:ee:ff", serial,
                              int(logic->GetTaskVec().size()), file, remote);
    }
};

TEST_F(CloudTaskListTest, CreateLinksAWorkerAndStartsIdle)
{
    EXPECT_NE(logic->GetLogic(), nullptr);
    EXPECT_EQ(logic->IsUpgrading(), 0);
    EXPECT_EQ(logic->IsDownloading(), 0);
    EXPECT_EQ(logic->IsStoppingUpgrade(), 0);
    EXPECT_EQ(logic->IsStopUpgrade(), 0);
    EXPECT_EQ(logic->IsStopDownload(), 0);
    logic->SetStopCheck(1);
    EXPECT_EQ(logic->StopCheckFlag(), 1);
}

TEST_F(CloudTaskListTest, InsertNumbersTasksFromZeroAgainAfterClear)
{
    Insert("SN1", "/d/a.bin");
    Insert("SN2", "/d/b.bin");
    auto& tasks = logic->GetTaskVec();
    ASSERT_EQ(tasks.size(), 2u);
    EXPECT_EQ(tasks[0]->m_nTaskIndex, 0);
    EXPECT_EQ(tasks[1]->m_nTaskIndex, 1);
    const CCloudUpgradeTaskInfo& t = *tasks[1];
    EXPECT_STREQ(t.m_szSerialNo, "SN2");
    EXPECT_EQ(t.m_strFilePath, "/d/b.bin");
    EXPECT_EQ(t.m_stRemote.nRemoteIndex, -1);
    EXPECT_EQ(t.m_stRemote.nParentTask, -1);
    EXPECT_EQ(t.m_nSameSnIndex, -1);
    EXPECT_EQ(t.m_nSameFileIndex, -1);
    EXPECT_EQ(t.m_nloginID, 0);
    EXPECT_EQ(t.m_lUpgradID, 0);
    EXPECT_EQ(t.m_nUpgradeState, 0);
    logic->ClearVecTask();
    EXPECT_TRUE(tasks.empty());
    logic->ClearVecTask(); // empty list: nothing else happens
    Insert("SN3", "/d/c.bin");
    EXPECT_EQ(tasks[0]->m_nTaskIndex, 0);
}

TEST_F(CloudTaskListTest, LongTextsAreCutToTheirFieldsAndRemotePartIsCopied)
{
    const std::string longText(300, 'z');
    REMOTETASKINFO remote;
    remote.nRemoteIndex = 3;
    remote.nParentTask = 0;
    std::strcpy(remote.szDeviceID, "dev-7");
    remote.nVendor = 9;
    logic->InsertTaskInfo(0, longText.c_str(), longText.c_str(), longText.c_str(), longText.c_str(),
                          longText.c_str(), 4, "f", &remote);
    const CCloudUpgradeTaskInfo& t = *logic->GetTaskVec()[0];
    EXPECT_EQ(std::strlen(t.m_szIP), sizeof t.m_szIP - 1);
    EXPECT_EQ(std::strlen(t.m_szMac), sizeof t.m_szMac - 1);
    EXPECT_EQ(std::strlen(t.m_szUserName), sizeof t.m_szUserName - 1);
    EXPECT_EQ(std::strlen(t.m_szPassword), sizeof t.m_szPassword - 1);
    EXPECT_EQ(std::strlen(t.m_szSerialNo), sizeof t.m_szSerialNo - 1);
    EXPECT_EQ(t.m_nItem, 4);
    EXPECT_EQ(t.m_stRemote.nRemoteIndex, 3);
    EXPECT_EQ(t.m_stRemote.nParentTask, 0);
    EXPECT_STREQ(t.m_stRemote.szDeviceID, "dev-7");
    EXPECT_EQ(t.m_stRemote.nVendor, 9);
}

TEST_F(CloudTaskListTest, SameSerialWinsOverSameFileAndFinishedTasksAreSkipped)
{
    Insert("AbC", "/d/x.bin");   // 0
    Insert("abc", "/d/y.bin");   // 1 follows 0 by serial
    Insert("DEF", "/D/X.BIN");   // 2 shares 0's file
    Insert("ghi", "/d/z.bin");   // 3 nothing
    Insert("JKL", "/d/z.bin");   // 4 would share 3's file, but 3 is finished
    Insert("jkl", "/d/q.bin");   // 5 follows 4 by serial
    auto& tasks = logic->GetTaskVec();
    tasks[3]->m_nUpgradeState = 2;
    SetUpgradeSameIndex(tasks);
    const int sameSn[] = {-1, 0, -1, -1, -1, 4};
    const int sameFile[] = {-1, -1, 0, -1, -1, -1};
    for (size_t i = 0; i < tasks.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tasks[i]->m_nSameSnIndex, sameSn[i]);
        EXPECT_EQ(tasks[i]->m_nSameFileIndex, sameFile[i]);
    }
}

TEST_F(CloudTaskListTest, DownloadRecordsAreNumberedAndResetEmptiesBothLists)
{
    logic->AddDownloadTask("127.0.0.5", "aa:bb", 2, "/d/a.bin", "http://127.0.0.1:1/a.bin");
    logic->AddDownloadTask("127.0.0.6", "cc:dd", 3, "/d/b.bin", "http://127.0.0.1:1/b.bin");
    auto& downs = logic->GetDownVec();
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[1].m_nIndex, 1);
    EXPECT_EQ(downs[1].m_nItem, 3);
    EXPECT_EQ(downs[1].m_strMac, "cc:dd");
    EXPECT_EQ(downs[1].m_strUrl, "http://127.0.0.1:1/b.bin");
    EXPECT_EQ(downs[1].m_nSameIndex, -1);
    EXPECT_EQ(downs[1].m_nDownloadState, DOWNTASK_WAITING);
    EXPECT_EQ(downs[1].m_lUpgradID, 0);

    Insert("SN1", "/d/a.bin");
    logic->GetTaskVec()[0]->m_nloginID = 0x7000; // a login that is already gone
    const unsigned taskGen = logic->TaskGeneration(), downGen = logic->DownGeneration();
    logic->ResetTaskList();
    EXPECT_TRUE(logic->GetTaskVec().empty());
    EXPECT_TRUE(downs.empty());
    EXPECT_NE(logic->TaskGeneration(), taskGen);
    EXPECT_NE(logic->DownGeneration(), downGen);
}

} // namespace
