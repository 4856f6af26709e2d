// "CloudUpgradeTemplate.csv": the lines the export writes and what the import reads back.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "OfflineTestSupport.h"

using namespace cloudtemplate;

namespace {

std::vector<std::string> Fields(std::string line)
{
    EXPECT_GE(line.size(), 2u);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    line.resize(line.size() - 2);
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
        out.push_back(line.substr(start, comma - start));
    out.push_back(line.substr(start));
    return out;
}

ReadResult Parse(const std::string& text, CloudCheckMap* checks, RemoteDeviceMap* remotes)
{
    return ParseTemplate(text, "admin", "secret", checks, remotes);
}

} // namespace

TEST(CloudTemplateTest, HeaderHas26TitlesEachFollowedByAComma)
{
    std::vector<std::string> titles(kHeaderFields, "x");
    const std::string line = HeaderLine(titles);
    EXPECT_EQ(line.substr(line.size() - 3), ",\r\n");
    EXPECT_EQ(Fields(line).size(), 27u);  // a last empty piece after the final ","
    EXPECT_EQ(std::wstring(kTitleKeys[22]), L"Device Mac");
}

TEST(CloudTemplateTest, LocalRowHoldsTheSearchRecordCheckAndDownload)
{
    DEVICE_INFO d = MakeDevice("192.168.1.10", "aa:bb:cc:00:11:22", "A,B");
    CLOUDCHECK c = MakeCheck("2.900");
    const auto f = Fields(LocalDeviceLine(d.stNetInfo, c, 3, "fw.bin", true, ""));
    ASSERT_EQ(f.size(), 26u);
    EXPECT_EQ(f[2], "A%44B");
    EXPECT_EQ(f[3], "192.168.1.10");
    EXPECT_EQ(f[4], "37777");
    EXPECT_EQ(f[5], "0");
    EXPECT_EQ(f[8], "3");
    EXPECT_EQ(f[10], "t1");
    EXPECT_EQ(f[12], "IPC-HDW1200-S");
    EXPECT_EQ(f[14], "1");
    EXPECT_EQ(f[15], "SN0001");
    EXPECT_EQ(f[16], "2.800.0.1");
    EXPECT_EQ(f[17], "2017-03-09_08:05:00");
    EXPECT_EQ(f[18], "1");
    EXPECT_EQ(f[19], "2.900");
    EXPECT_EQ(f[21], "3");
    EXPECT_EQ(f[22], "aa:bb:cc:00:11:22");
    EXPECT_EQ(f[23], "fw.bin");
    EXPECT_EQ(f[24], "1");
    EXPECT_EQ(f[25], "<root></root>");
}

TEST(CloudTemplateTest, LocalRowWithoutCheckUsesZerosAndTheSearchVersion)
{
    DEVICE_INFO d = MakeDevice("10.0.0.2", "00:11:22:33:44:55");
    CLOUDCHECK none;
    std::memset(&none, 0, sizeof(none));
    const auto f = Fields(LocalDeviceLine(d.stNetInfo, none, 2, "fw.bin", false, "<a/>"));
    ASSERT_EQ(f.size(), 26u);
    EXPECT_EQ(f[8], "0");
    EXPECT_EQ(f[14], "0");
    EXPECT_EQ(f[18], "0");
    for (int i : {9, 10, 11, 12, 13, 19})
        EXPECT_EQ(f[static_cast<size_t>(i)], "") << "field " << i + 1;
    EXPECT_EQ(f[16], "2.800.0.0");
    EXPECT_EQ(f[17], "0-00-00_00:00:00");
    EXPECT_EQ(f[23], "") << "no file name unless downloaded";
    EXPECT_EQ(f[25], "<a/>");
}

TEST(CloudTemplateTest, RemoteRowHas25FieldsAndQuotesTheVideoStandard)
{
    const auto f = Fields(RemoteDeviceLine(MakeRemote("00:00:00:00:00:09", 4), "AA:BB:CC:00:00:01"));
    ASSERT_EQ(f.size(), 25u);
    EXPECT_EQ(f[3], "4");
    EXPECT_EQ(f[5], "1");
    EXPECT_EQ(f[6], "AA:BB:CC:00:00:01");
    EXPECT_EQ(f[9], "IPC");
    EXPECT_EQ(f[10], "IPC-A");
    EXPECT_EQ(f[12], "\"PAL%44NTSC\"");
    EXPECT_EQ(f[20], "") << "state 0: no file";
    EXPECT_EQ(f[24], "<root></root>");
}

TEST(CloudTemplateTest, EscapingKeepsEveryTextWholeThroughARoundTrip)
{
    for (const std::string text : {"A,B", "100%44 sure", "line1\r\nline2", "%", "%4", "plain", ""}) {
        SCOPED_TRACE(text);
        const std::string escaped = EscapeField(text);
        EXPECT_EQ(escaped.find_first_of(",\r\n"), std::string::npos);
        EXPECT_EQ(UnescapeField(escaped), text);
    }
    EXPECT_EQ(UnescapeField("A%44B"), "A,B") << "files of other workstations";
}

TEST(CloudTemplateTest, BuildTimeParsesOnlyRealDatesAndTimes)
{
    const struct {
        const char* text;
        DWORD year, month, day, hour, minute, second;
    } cases[] = {
        {"2017-03-09_08:05:00", 2017, 3, 9, 8, 5, 0},
        {"2020-02-29_23:59:59", 2020, 2, 29, 23, 59, 59},
        {"2019-02-29_00:00:00", 0, 0, 0, 0, 0, 0},
        {"2017-13-01_00:00:00", 0, 0, 0, 0, 0, 0},
        {"2017-03-09_24:00:00", 0, 0, 0, 0, 0, 0},
        {"0-00-00_00:00:00", 0, 0, 0, 0, 0, 0},
        {"2017-03-09 08:05:00", 0, 0, 0, 0, 0, 0},
        {"", 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const NET_TIME_EX t = ParseBuildTime(c.text);
        EXPECT_EQ(t.dwYear, c.year);
        EXPECT_EQ(t.dwMonth, c.month);
        EXPECT_EQ(t.dwDay, c.day);
        EXPECT_EQ(t.dwHour, c.hour);
        EXPECT_EQ(t.dwMinute, c.minute);
        EXPECT_EQ(t.dwSecond, c.second);
    }
}

TEST(CloudTemplateTest, ExportedRowsImportWithTheirTexts)
{
    DEVICE_INFO d = MakeDevice("192.168.1.10", "aa:bb:cc:00:11:22", "Gate,North");
    std::strcpy(d.szXml, "<x>\r\n</x>");
    CLOUDCHECK c = MakeCheck("2.900");
    const std::string text = HeaderLine(std::vector<std::string>(kHeaderFields, "title")) +
                             LocalDeviceLine(d.stNetInfo, c, 3, "fw 1.bin", true, d.szXml) +
                             RemoteDeviceLine(MakeRemote("00:00:00:00:00:09", 2), "AA:BB:CC:00:11:22");
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    const ReadResult r = Parse(text, &checks, &remotes);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    ASSERT_EQ(r.devices.size(), 1u);
    const DEVICE_INFO& got = r.devices[0];
    EXPECT_STREQ(got.stNetInfo.szDeviceName, "Gate,North");
    EXPECT_STREQ(got.stNetInfo.szIpAddr, "192.168.1.10");
    EXPECT_STREQ(got.stNetInfo.szMacAddr, "aa:bb:cc:00:11:22");
    EXPECT_EQ(got.stNetInfo.nPort, 37777);
    EXPECT_STREQ(got.stNetInfo.szSoftVersion, "2.800.0.1");
    EXPECT_STREQ(got.szFileName, "fw 1.bin");
    EXPECT_STREQ(got.szXml, "<x>\r\n</x>");
    EXPECT_STREQ(got.szUser, "admin");
    EXPECT_STREQ(got.szPassword, "secret");
    EXPECT_EQ(got.nDownloadState, 3);
    EXPECT_EQ(got.bHasNewVersion, 1);
    EXPECT_EQ(got.bCheckResult, 1);

    ASSERT_EQ(checks.count("AA:BB:CC:00:11:22"), 1u);
    const CLOUDCHECK& check = checks["AA:BB:CC:00:11:22"];
    EXPECT_EQ(check.stuIn.nVendor, 3);
    EXPECT_EQ(check.stuIn.nStandard, 1);
    EXPECT_STREQ(check.stuIn.szTag2, "t2");
    EXPECT_STREQ(check.stuIn.szSN, "IPC-HDW1200-S");
    EXPECT_EQ(check.stuIn.stuBuildTime.dwDay, 9u);
    EXPECT_STREQ(check.stuOut.szNewVersion, "2.900");

    ASSERT_EQ(remotes["AA:BB:CC:00:11:22"].size(), 1u);
    const strudevice& remote = remotes["AA:BB:CC:00:11:22"][0];
    EXPECT_STREQ(remote.szVideoStandard, "PAL,NTSC");
    EXPECT_STREQ(remote.szSerialNo, "RSN1");
    EXPECT_STREQ(remote.szIP, "2") << "the index travels under the IP title";
    EXPECT_STREQ(remote.szBuildTime, "2018-01-02_03:04:05");
}

TEST(CloudTemplateTest, HeaderMustHoldExactly26Pieces)
{
    const struct {
        std::string header;
        ReadStatus status;
    } cases[] = {
        {Header(26), ReadStatus::Ok},
        {Header(25), ReadStatus::TemplateError},
        {Header(27), ReadStatus::TemplateError},
        {"类型,详细类型," + Header(24), ReadStatus::Ok},
        {Header(26).substr(0, Header(26).size() - 3) + "\r\n", ReadStatus::Ok},  // no final ","
        {"", ReadStatus::TemplateError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        CloudCheckMap checks;
        RemoteDeviceMap remotes;
        EXPECT_EQ(Parse(c.header, &checks, &remotes).status, c.status);
    }
}

TEST(CloudTemplateTest, LocalRowFlagsFollowTheDownloadState)
{
    auto row = [](const char* hasNew, const char* state, const char* mac, const char* version) {
        return std::string("IPC,D,N,10.0.0.1,37777,0,,,1,C,,,S,L,0,SN,V,2017-03-09_08:05:00,") + hasNew + "," +
               version + ",," + state + "," + mac + ",f.bin,1,<root></root>\r\n";
    };
    const std::string text = Header() + row("1", "0", "aa:aa:aa:aa:aa:01", "v1") + row("7", "3", "aa:aa:aa:aa:aa:02", "v2") +
                             row("1", "1", "AA:AA:AA:AA:AA:02", "v3");
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    const ReadResult r = Parse(text, &checks, &remotes);
    ASSERT_EQ(r.devices.size(), 3u);
    EXPECT_EQ(r.devices[0].bHasNewVersion, 0) << "state 0 clears the flag";
    EXPECT_EQ(checks["AA:AA:AA:AA:AA:01"].stuOut.bHasNewVersion, 0);
    EXPECT_EQ(r.devices[1].bHasNewVersion, 1) << "7 reads as 1";
    ASSERT_EQ(checks.size(), 2u);
    EXPECT_STREQ(checks["AA:AA:AA:AA:AA:02"].stuOut.szNewVersion, "v3") << "the later row with that MAC";
}

TEST(CloudTemplateTest, SplitVideoStandardIsJoinedAndLaterFieldsKeepTheirMeaning)
{
    // As another workstation writes it: the quoted pair is split by its comma.
    const std::string remote = "IPC,IPC-A,,3,37777,1,aa:bb:cc:00:00:01,id7,3,IPC,IPC-A,English,\"NTSC,PAL\",'RSN9,1.0,"
                               "2018-01-02_03:04:05,1,1.1,3,00:00:00:00:00:09,fw.bin,1,,,<root></root>\r\n";
    const std::string dropped = "IPC,IPC-A,,4,37777,1,aa:bb:cc:00:00:01,id8,3,IPC,IPC-A,English,\"PAL\",RSN8,1.0,"
                                "x,1,1.1,0,00:00:00:00:00:08,,0,,,<root></root>\r\n";
    const std::string local = "IPC,D,N,10.0.0.1,37777,0,,,1,C,,,S,L,\"PAL,NTSC\",SN,V,2017-03-09_08:05:00,1,v,,3,"
                              "aa:aa:aa:aa:aa:01,f.bin,1,<root></root>\r\n";
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    const ReadResult r = Parse(Header() + remote + dropped + local, &checks, &remotes);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    ASSERT_EQ(remotes.size(), 1u);
    const std::vector<strudevice>& list = remotes["AA:BB:CC:00:00:01"];
    ASSERT_EQ(list.size(), 1u) << "a remote row without a check result is dropped";
    EXPECT_STREQ(list[0].szVideoStandard, "NTSC,PAL");
    EXPECT_STREQ(list[0].szSerialNo, "RSN9") << "leading apostrophe dropped";
    EXPECT_STREQ(list[0].szFileName, "fw.bin");
    EXPECT_EQ(list[0].nDownloadState, 3);
    EXPECT_EQ(list[0].byCheckResult, 1);
    ASSERT_EQ(r.devices.size(), 1u);
    EXPECT_EQ(checks["AA:AA:AA:AA:AA:01"].stuIn.nStandard, 0);
    EXPECT_STREQ(checks["AA:AA:AA:AA:AA:01"].stuIn.szSerialNo, "SN");
    EXPECT_STREQ(r.devices[0].stNetInfo.szMacAddr, "aa:aa:aa:aa:aa:01");
    EXPECT_STREQ(r.devices[0].szXml, "<root></root>");
}

TEST(CloudTemplateTest, ShortRowsAndUnsafeFileNamesAreLeftOut)
{
    const std::string good = "IPC,D,N,10.0.0.1,37777,0,,,1,C,,,S,L,0,SN,V,x,1,v,,3,aa:aa:aa:aa:aa:01,";
    const std::string tail = ",1,<root></root>\r\n";
    const std::string text = Header() + "IPC,D,N\r\n" + "\r\n" + "x,x,x,x,x,1,key\r\n" + good + "../../etc/passwd" + tail +
                             good + "a%44b.bin" + tail;
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    const ReadResult r = Parse(text, &checks, &remotes);
    ASSERT_EQ(r.status, ReadStatus::Ok);
    EXPECT_EQ(r.skippedRows, 2u);
    EXPECT_EQ(r.refusedFiles, 1u);
    ASSERT_EQ(r.devices.size(), 2u);
    EXPECT_STREQ(r.devices[0].szFileName, "");
    EXPECT_EQ(r.devices[0].nDownloadState, 0);
    EXPECT_EQ(r.devices[0].bHasNewVersion, 0);
    EXPECT_STREQ(r.devices[1].szFileName, "a,b.bin");
}

TEST(CloudTemplateTest, LongTextsAreCutToTheirFields)
{
    const std::string longText(600, 'x');
    std::string text = Header() + longText + ",D,N," + longText + ",37777,0,,,1," + longText + "," + longText + ",,," +
                       "L,0," + longText + ",V,x,1,v,,3," + longText + ",f,1," + std::string(5000, 'y') + "\r\n";
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    const ReadResult r = Parse(text, &checks, &remotes);
    ASSERT_EQ(r.devices.size(), 1u);
    EXPECT_EQ(std::strlen(r.devices[0].stNetInfo.szTypeName), 31u);
    EXPECT_EQ(std::strlen(r.devices[0].stNetInfo.szIpAddr), 63u);
    EXPECT_EQ(std::strlen(r.devices[0].stNetInfo.szSerialNumber), 47u);
    EXPECT_EQ(std::strlen(r.devices[0].stNetInfo.szMacAddr), 39u);
    EXPECT_EQ(std::strlen(r.devices[0].szXml), 1023u);
    const CLOUDCHECK& c = checks.begin()->second;
    EXPECT_EQ(std::strlen(c.stuIn.szClass), 63u);
    EXPECT_EQ(std::strlen(c.stuIn.szTag1), 255u);
    EXPECT_EQ(std::strlen(c.stuIn.szSerialNo), 63u);
}

TEST(CloudTemplateTest, OversizedFilesAreRefused)
{
    CloudCheckMap checks;
    RemoteDeviceMap remotes;
    std::string rows = Header();
    for (size_t i = 0; i <= kMaxRows; ++i)
        rows += "x\r\n";
    EXPECT_EQ(Parse(rows, &checks, &remotes).status, ReadStatus::TooLarge);
    EXPECT_EQ(Parse(std::string(kMaxFileBytes + 1, ','), &checks, &remotes).status, ReadStatus::TooLarge);
    EXPECT_TRUE(checks.empty());
}

TEST(CloudTemplateTest, OlderLayoutKeepsChecksWithAResult)
{
    std::string header;
    for (int i = 0; i < 25; ++i)
        header += "t,";
    const std::string text = header + "\r\n" +
                             "IPC,D,N,10.0.0.1,37777,0,,,5,C,SER,L,\"PAL,NTSC\",'SN5,V,2017-03-09_08:05:00,1,v9,3,"
                             "aa:aa:aa:aa:aa:05,f,1,admin,6162,<root></root>\r\n" +
                             "IPC,D,N,10.0.0.2,37777,0,,,5,C,SER,L,1,SN6,V,x,1,v9,3,aa:aa:aa:aa:aa:06,f,0,admin,,x\r\n";
    CloudCheckMap checks;
    ASSERT_TRUE(ParseCloudInfoCsv(text, &checks));
    ASSERT_EQ(checks.size(), 1u);
    const CLOUDCHECK& c = checks["AA:AA:AA:AA:AA:05"];
    EXPECT_EQ(c.stuIn.nVendor, 5);
    EXPECT_STREQ(c.stuIn.szSerialNo, "SN5");
    EXPECT_STREQ(c.stuOut.szNewVersion, "v9");
    EXPECT_FALSE(ParseCloudInfoCsv(Header(26), &checks));
}

TEST(CloudTemplateTest, ArchiveListingSumsEntriesAndSizes)
{
    const std::string listing = "Path = d\nSize = 0\nAttributes = D\n\nPath = a.txt\nSize = 3\n\n"
                                "Path = b\nSize = 99999999999999999999999\nPacked Size = 5\n";
    const ArchiveTotals totals = SumArchiveListing(listing);
    EXPECT_EQ(totals.entries, 3u);
    EXPECT_EQ(totals.bytes, UINT64_MAX) << "sizes saturate";
    EXPECT_EQ(SumArchiveListing("Path = x\nSize = 12").bytes, 12u);
    EXPECT_EQ(SumArchiveListing("").entries, 0u);
}
