// Acceptance of devices by the list model and their hand-out to the pages, with recording peers.
#include <gtest/gtest.h>

#include "Common/AppSettings.h"
#include "RecordingPeers.h"

namespace {

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppSettings::CloudEnable = true;
        CAppSettings::User = L"admin";
        CAppSettings::Password = L"qwert789";
        peers = std::make_shared<RecordingPeers>();
        model = std::make_shared<CDeviceListUILogic>(std::weak_ptr<CMainFrameEventImp>());
        model->SetPeers(peers);
        model->Init();
        peers->logic = model;
    }
    void Insert(const DevicePtr& d) { model->Task_InsertDevice(d); }
    size_t Listed() { return model->GetDeviceList().size(); }

    std::shared_ptr<RecordingPeers> peers;
    std::shared_ptr<CDeviceListUILogic> model;
};

} // namespace

TEST_F(ModelTest, AcceptanceTable)
{
    struct Case {
        const char* name;
        DevicePtr device;
        bool accepted;
    } cases[] = {
        {"valid IPv4", MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01"), true},
        {"unknown type", MakeDevice("10.0.0.3", "aa:bb:cc:00:00:02", "unknown"), false},
        {"empty type", MakeDevice("10.0.0.4", "aa:bb:cc:00:00:03", ""), false},
        {"null address", MakeDevice("0.0.0.0", "aa:bb:cc:00:00:04"), false},
        {"empty address", MakeDevice("", "aa:bb:cc:00:00:05"), false},
        {"dashed MAC", MakeDevice("10.0.0.6", "aa-bb-cc-00-00-06"), false},
        {"empty MAC", MakeDevice("10.0.0.7", ""), false},
        {"bad IPv4", MakeDevice("10.0.0.300", "aa:bb:cc:00:00:08"), false},
        {"IPv6 with prefix", MakeDevice("fe80::1/64", "aa:bb:cc:00:00:09", "IPC", 2, 6), true},
        {"bad IPv6", MakeDevice("fe80::zz/64", "aa:bb:cc:00:00:0a", "IPC", 2, 6), false},
        {"same MAC other case, same version", MakeDevice("10.0.0.11", "AA:BB:CC:00:00:01"), false},
        {"same MAC over IPv6", MakeDevice("fe80::2", "aa:bb:cc:00:00:01", "IPC", 2, 6), true},
    };
    DevicePtr noDetail = MakeDevice("10.0.0.12", "aa:bb:cc:00:00:0c");
    noDetail->stNetInfo.szDetailName[0] = 0;
    for (const Case& c : cases) {
        const size_t before = Listed();
        Insert(c.device);
        EXPECT_EQ(c.accepted ? before + 1 : before, Listed()) << c.name;
    }
    Insert(noDetail);
    EXPECT_EQ(3u, Listed());
    // Two distinct MACs were taken; the IPv6 twin of the first is not counted again.
    EXPECT_EQ(2, model->GetFoundCount());
    // Found devices carry the search login.
    EXPECT_STREQ("admin", model->GetDeviceList()[0]->szUser);
    EXPECT_STREQ("qwert789", model->GetDeviceList()[0]->szPassword);
}

TEST_F(ModelTest, FanOutOrderOfAnInitialisedDevice)
{
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01"));
    Insert(MakeDevice("10.0.0.3", "aa:bb:cc:00:00:02"));
    const std::vector<std::string> expected = {
        "upgrade.add 10.0.0.3", "upgrade.row 10.0.0.3", "cloud.add 10.0.0.3", "cloud.hint 0",
        "cloud.row 10.0.0.3",   "sys.add 10.0.0.3 @1",  "tpl.add 10.0.0.3 @1", "load.add 10.0.0.3",
        "load.expand",          "cfg.add 10.0.0.3 @1",  "bar.count 2"};
    std::vector<std::string> tail(peers->calls.end() - expected.size(), peers->calls.end());
    EXPECT_EQ(expected, tail);
}

TEST_F(ModelTest, UninitialisedDeviceReachesThePagesAfterItsInitialisation)
{
    CAppSettings::CloudEnable = false;
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01", "IPC", 1));
    EXPECT_EQ((std::vector<std::string>{"bar.count 1"}), peers->calls);
    peers->calls.clear();
    model->Task_InitDevice_Success(0);
    EXPECT_EQ(3, model->GetDeviceList()[0]->stNetInfo.byInitState);
    // The cloud page is skipped while cloud upgrade is off, on this path as on the search path.
    EXPECT_TRUE(peers->Matching("cloud.").empty());
    EXPECT_EQ(1u, peers->Matching("sys.add 10.0.0.2 @0").size());
    EXPECT_EQ(1, model->GetFoundCount());
}

TEST_F(ModelTest, InitialisedPositionIsConfirmedByMacAndAddress)
{
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01", "IPC", 1));
    Insert(MakeDevice("10.0.0.3", "aa:bb:cc:00:00:02", "IPC", 1));
    peers->calls.clear();
    // The worker computed position 0 for the second device before the list changed.
    model->Task_InitDevice_SuccessEx(0, "AA:BB:CC:00:00:02", "10.0.0.3");
    EXPECT_EQ(1, model->GetDeviceList()[0]->stNetInfo.byInitState);
    EXPECT_EQ(3, model->GetDeviceList()[1]->stNetInfo.byInitState);
    EXPECT_EQ(1u, peers->Matching("sys.add 10.0.0.3 @1").size());
    // Positions outside the list and devices no longer listed change nothing.
    peers->calls.clear();
    model->Task_InitDevice_Success(7);
    model->Task_InitDevice_Success(-1);
    model->Task_InitDevice_SuccessEx(0, "aa:bb:cc:00:00:99", "10.0.0.9");
    EXPECT_TRUE(peers->calls.empty());
}

TEST_F(ModelTest, AddressConflictFlagsBothDevices)
{
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01"));
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:02"));
    ASSERT_EQ(2u, Listed());
    EXPECT_EQ(1, model->GetDeviceList()[0]->bIPConflict);
    EXPECT_EQ(1, model->GetDeviceList()[1]->bIPConflict);
}

TEST_F(ModelTest, StaleGenerationIsDroppedUnlessManual)
{
    DevicePtr stale = MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01");
    stale->byGeneration = static_cast<uint8_t>(model->GetGeneration() + 1);
    Insert(stale);
    EXPECT_EQ(0u, Listed());
    stale->bManual = 1;
    Insert(stale);
    EXPECT_EQ(1u, Listed());
}

TEST_F(ModelTest, AccessDevicesAreHiddenOrRefused)
{
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01", "VTO2000A"));
    EXPECT_EQ(1u, Listed());
    EXPECT_EQ(0, model->GetFoundCount());
    EXPECT_TRUE(peers->calls.empty());
    model->SetImporting(true);
    Insert(MakeDevice("10.0.0.3", "aa:bb:cc:00:00:02", "ASI1201"));
    model->SetImporting(false);
    EXPECT_EQ(1u, Listed());
}

TEST_F(ModelTest, DeleteRemovesEveryRecordOfTheMac)
{
    Insert(MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01"));
    Insert(MakeDevice("fe80::2", "aa:bb:cc:00:00:01", "IPC", 2, 6));
    Insert(MakeDevice("10.0.0.3", "aa:bb:cc:00:00:02"));
    model->DeleteDevice(L"AA:BB:CC:00:00:01");
    ASSERT_EQ(1u, Listed());
    EXPECT_STREQ("10.0.0.3", model->GetDeviceList()[0]->stNetInfo.szIpAddr);
    model->RefreshAllPages();
    EXPECT_EQ(1u, Listed());
    EXPECT_EQ(1, model->GetFoundCount());
}

TEST_F(ModelTest, DeviceTextsFillingTheirFieldsAreReadBounded)
{
    DevicePtr d = MakeDevice("10.0.0.2", "aa:bb:cc:00:00:01");
    std::memset(d->stNetInfo.szTypeName, 'I', sizeof(d->stNetInfo.szTypeName));
    Insert(d);
    ASSERT_EQ(1u, Listed());
    EXPECT_EQ(sizeof(d->stNetInfo.szTypeName) - 1, std::strlen(d->stNetInfo.szTypeName));
}
