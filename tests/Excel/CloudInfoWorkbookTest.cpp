// The cloud-upgrade information workbook: columns A to Y written, read back, and exchanged with openpyxl.
#include <gtest/gtest.h>

#include <cstring>

#include "../support/CloudRecords.h"
#include "CloudUpgrade/CloudUpgradeRecords.h"
#include "Common/AppPath.h"
#include "Common/Translate.h"
#include "Excel/SaveToExcel.h"
#include "ExcelTestSupport.h"

namespace {

DEVICE_NET_INFO_EX Net(const char* ip, const char* mac)
{
    return vxtest::CloudNetInfo(ip, mac, "Gate");
}

CLOUDCHECK Check(int hasNew, const char* version)
{
    return vxtest::CloudCheck("IPC-S", "SN1", "2.8", hasNew, version);
}

strudevice Remote(const char* mac, int index, int state, BYTE checked)
{
    strudevice r = vxtest::CloudRemote(mac, index, "id-1", "RSN", 37778);
    std::strcpy(r.szFileName, "remote.bin");
    r.nDownloadState = state;
    r.byCheckResult = checked;
    return r;
}

class CloudInfoWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetAppPathForTest(L"/nonexistent-app-dir");
        TrResetForTest();
    }
    // Writes one local device (password "pa\x01ss"), a remote device in state 2 and one in state 3.
    std::string WriteSample()
    {
        const std::string path = m_dir.File("cloud.xlsx");
        CSaveToExcel xl;
        xl.Create(path);
        EXPECT_TRUE(xl.WriteCloudInfoHeader());
        const DEVICE_NET_INFO_EX net = Net("192.168.1.10", "aa:bb:cc:00:00:01");
        const CLOUDCHECK check = Check(2, "2.9");
        EXPECT_TRUE(xl.WriteCloudInfoRow(&net, &check, 3, "fw.bin", true, "admin", "pa\x01ss"));
        const strudevice paused = Remote("00:00:00:00:00:21", 4, 2, 1);
        const strudevice done = Remote("00:00:00:00:00:22", 5, 3, 1);
        EXPECT_TRUE(xl.WriteRemoteCloudInfoRow(&paused, "aa:bb:cc:00:00:20"));
        EXPECT_TRUE(xl.WriteRemoteCloudInfoRow(&done, "AA:BB:CC:00:00:20"));
        EXPECT_TRUE(xl.SaveAs(path)) << xl.LastError();
        xl.Close();
        return path;
    }
    CTempDir m_dir;
};

} // namespace

TEST_F(CloudInfoWorkbookTest, WrittenRowsReadBackIntoTheThreeCollections)
{
    const std::string path = WriteSample();
    std::vector<DEVICE_INFO> devices(1);  // appended to, never cleared
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    CSaveToExcel xl;
    ASSERT_TRUE(xl.Open(path)) << xl.LastError();
    ASSERT_TRUE(xl.ImportCloudInfo(&devices, &checks, &remotes)) << xl.LastError();
    xl.Close();

    ASSERT_EQ(devices.size(), 2u);
    const DEVICE_INFO& d = devices[1];
    EXPECT_STREQ(d.stNetInfo.szIpAddr, "192.168.1.10");
    EXPECT_EQ(d.stNetInfo.nPort, 37777);
    EXPECT_STREQ(d.stNetInfo.szDeviceName, "Gate");
    EXPECT_STREQ(d.stNetInfo.szSerialNumber, "SN1");
    EXPECT_STREQ(d.stNetInfo.szSoftVersion, "2.8");
    EXPECT_EQ(d.bHasNewVersion, 1) << "2 is written as 1";
    EXPECT_EQ(d.nDownloadState, 3);
    EXPECT_STREQ(d.szFileName, "fw.bin");
    EXPECT_EQ(d.bCheckResult, 1);
    EXPECT_STREQ(d.szUser, "admin");
    EXPECT_STREQ(d.szPassword, "pa\x01ss");
    EXPECT_STREQ(d.szXml, "<root></root>");

    ASSERT_EQ(checks.count("AA:BB:CC:00:00:01"), 1u);
    const CLOUDCHECK& c = checks["AA:BB:CC:00:00:01"];
    EXPECT_EQ(c.stuIn.nVendor, 3);
    EXPECT_EQ(c.stuIn.nStandard, 1);
    EXPECT_EQ(c.stuIn.stuBuildTime.dwYear, 2017u);
    EXPECT_EQ(c.stuIn.stuBuildTime.dwSecond, 0u);
    EXPECT_STREQ(c.stuIn.szSN, "IPC-S");
    EXPECT_EQ(c.stuOut.bHasNewVersion, 1);
    EXPECT_STREQ(c.stuOut.szNewVersion, "2.9");
    EXPECT_EQ(c.stuIn.dwSize, 0u);

    ASSERT_EQ(remotes.size(), 1u) << "both recorder MAC spellings end in one list";
    const std::vector<strudevice>& list = remotes["AA:BB:CC:00:00:20"];
    ASSERT_EQ(list.size(), 2u);
    EXPECT_STREQ(list[0].szIP, "4") << "the index comes back as the address text";
    EXPECT_EQ(list[0].nIndex, 0);
    EXPECT_STREQ(list[0].szFileName, "") << "no program name below state 3";
    EXPECT_STREQ(list[1].szFileName, "remote.bin");
    EXPECT_STREQ(list[1].szVideoStandard, "PAL,NTSC");
    EXPECT_STREQ(list[1].szBuildTime, "2018-01-02_03:04:05");
    EXPECT_EQ(list[1].nPort, 37778);
    EXPECT_STREQ(list[1].szMac, "") << "the MAC column is not read for a remote device";
}

TEST_F(CloudInfoWorkbookTest, OpenpyxlSeesTitlesNumbersAndTheHexPassword)
{
    const std::string python = PythonWithOpenpyxl();
    ASSERT_FALSE(python.empty()) << "python3 with openpyxl is needed (package python3-openpyxl)";
    const std::string path = WriteSample();
    const char* script =
        "import sys, openpyxl\n"
        "ws = openpyxl.load_workbook(sys.argv[1]).active\n"
        "for row in ws.iter_rows(min_row=1, max_row=ws.max_row, max_col=25):\n"
        "    print('|'.join('' if c.value is None else ('#%d' % c.value if isinstance(c.value, (int, float)) else c.value) for c in row))\n";
    int status = 0;
    const std::string out = RunPython(python, script, "'" + path + "'", &status);
    ASSERT_EQ(status, 0) << out;
    std::vector<std::string> lines;
    for (size_t start = 0, nl; (nl = out.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(out.substr(start, nl - start));
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_EQ(lines[0], "Type|DetailType|DeviceName|IP|Port|RemoteFlag|HigherMac|DeviceID|Vendor|DevClass|Serial|"
                        "Language|VideoStandard|SN|SWVersion|BuildTime|HasNewVersion|NewVersion|DownLoadStatus|Mac|"
                        "ProgramName|CheckResult|Username|Password|xml");
    EXPECT_EQ(lines[1], "IPC|IPC-HDW1200|Gate|192.168.1.10|37777|#0|||#3|IPC|IPC-S|English|#1|SN1|2.8|"
                        "2017-03-09_08:05:00|#1|2.9|#3|aa:bb:cc:00:00:01|fw.bin|#1|admin|7061017373|<root></root>");
    EXPECT_EQ(lines[2], "IPC|IPC-A||#4|37778|#1|aa:bb:cc:00:00:20|id-1|#0|IPC|IPC-A||PAL,NTSC|RSN||"
                        "2018-01-02_03:04:05|#1||#2|00:00:00:00:00:21||#1|||<root></root>");
}

TEST_F(CloudInfoWorkbookTest, SheetsFromOtherProgramsAreReadFromTheirUsedRange)
{
    const std::string python = PythonWithOpenpyxl();
    ASSERT_FALSE(python.empty()) << "python3 with openpyxl is needed (package python3-openpyxl)";
    const std::string path = m_dir.File("other.xlsx");
    // Header in row 3, then: a checked device, a blank row, the same MAC unchecked with text
    // flags, a remote row whose check result is "false", a build time that is no time.
    const char* script =
        "import sys, openpyxl\n"
        "wb = openpyxl.Workbook(); ws = wb.active\n"
        "ws.cell(row=3, column=1, value='Type')\n"
        "def put(r, vals):\n"
        "    for col, v in vals.items(): ws.cell(row=r, column=col, value=v)\n"
        "put(4, {1:'IPC', 4:'10.0.0.1', 5:37777, 6:0, 13:'x', 16:'2017-02-30_00:00:00', 17:'yes', 20:'aa:aa:aa:aa:aa:01', 22:'TRUE', 24:'7a'*70})\n"
        "put(6, {1:'NVR', 6:'0', 20:'AA:AA:AA:AA:AA:01', 22:'False', 17:1})\n"
        "put(7, {1:'IPC', 6:'1', 7:'bb:bb', 22:'false'})\n"
        "put(8, {1:'DVR', 6:False, 20:'aa:aa:aa:aa:aa:03', 22:1, 16:'2019-12-31_23:59:59'})\n"
        "wb.save(sys.argv[1])\n";
    int status = 0;
    const std::string out = RunPython(python, script, "'" + path + "'", &status);
    ASSERT_EQ(status, 0) << out;

    std::vector<DEVICE_INFO> devices;
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    CSaveToExcel xl;
    ASSERT_TRUE(xl.Open(path)) << xl.LastError();
    ASSERT_TRUE(xl.ImportCloudInfo(&devices, &checks, &remotes));
    xl.Close();
    ASSERT_EQ(devices.size(), 4u) << "rows 4 to 8 less the dropped remote row";
    EXPECT_EQ(devices[0].bHasNewVersion, 1);
    EXPECT_EQ(std::strlen(devices[0].szPassword), 63u) << "140 digits give at most 63 bytes";
    EXPECT_STREQ(devices[1].stNetInfo.szIpAddr, "") << "a blank row is an empty device";
    EXPECT_EQ(devices[2].bCheckResult, 0);
    EXPECT_TRUE(remotes.empty());
    ASSERT_EQ(checks.size(), 2u);
    const CLOUDCHECK& first = checks["AA:AA:AA:AA:AA:01"];
    EXPECT_EQ(first.stuIn.nStandard, 0);
    EXPECT_EQ(first.stuIn.stuBuildTime.dwYear, 0u) << "30 February is no date";
    EXPECT_EQ(checks["AA:AA:AA:AA:AA:03"].stuIn.stuBuildTime.dwYear, 2019u);
}

TEST_F(CloudInfoWorkbookTest, NothingIsWrittenOrReadWithoutAWorkbook)
{
    CSaveToExcel xl;
    EXPECT_FALSE(xl.WriteCloudInfoHeader());
    const DEVICE_NET_INFO_EX net = Net("1.2.3.4", "aa");
    const CLOUDCHECK check = Check(0, "");
    EXPECT_FALSE(xl.WriteCloudInfoRow(&net, &check, 0, "", false, "", ""));
    std::vector<DEVICE_INFO> devices;
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    EXPECT_FALSE(xl.Open(m_dir.File("missing.xlsx")));
    EXPECT_FALSE(xl.ImportCloudInfo(&devices, &checks, &remotes));
    EXPECT_FALSE(xl.LastError().empty());
    xl.Close();
    EXPECT_TRUE(devices.empty());
}
