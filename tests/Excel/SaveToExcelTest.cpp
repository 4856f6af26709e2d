#include <gtest/gtest.h>

#include <sys/resource.h>
#include <dirent.h>

#include <csignal>
#include <cstring>

#include "Common/AppPath.h"
#include "Common/AppSettings.h"
#include "Common/Translate.h"
#include "Excel/FileWorkbookBackend.h"
#include "Excel/SaveToExcel.h"
#include "Excel/WorkbookLibs.h"
#include "ExcelTestSupport.h"
#include "os/RuntimeLib.h"

namespace {

struct Device {
    const char* type;
    const char* model;
    const char* ip;
    int port;
    const char* mac;
    const char* serial;
    const char* version;
    const char* mask;
    const char* gateway;
    uint8_t initState;
};

DEVICE_NET_INFO_EX MakeRecord(const Device& d)
{
    DEVICE_NET_INFO_EX r;
    std::memset(&r, 0, sizeof(r));
    std::strcpy(r.szTypeName, d.type);
    std::strcpy(r.szDetailName, d.model);
    std::strcpy(r.szIpAddr, d.ip);
    r.nPort = d.port;
    std::strcpy(r.szMacAddr, d.mac);
    std::strcpy(r.szSerialNumber, d.serial);
    std::strcpy(r.szSoftVersion, d.version);
    std::strcpy(r.szNetMask, d.mask);
    std::strcpy(r.szGatewayAddr, d.gateway);
    r.byInitState = d.initState;
    // Fields the workbook does not carry.
    r.nIpVersion = 4;
    std::strcpy(r.szDeviceName, "front door");
    r.wWebPort = 80;
    return r;
}

const Device kDevices[] = {
    {"IPC", "IPC-B2040", "192.168.1.108", 37777, "02:00:00:00:00:01", "7K0A12C00001", "2.6.1.5", "255.255.255.0",
     "192.168.1.1", 2},
    {"NVR", "录像机-N8", "192.168.1.20", 8000, "02:00:00:00:00:02", "1234567890123", "4.1.0.3", "255.255.0.0",
     "192.168.1.1", 5},  // low bits 01: not initialised
    {"", "SD-6C230 IPC", "10.0.0.5", 0, "02:00:00:00:00:03", "SN3", "1.0", "255.0.0.0", "10.0.0.1", 0},
    {"unknown", "Doorbell-2", "10.0.0.6", 37777, "02:00:00:00:00:04", "SN4", "1.1", "255.0.0.0", "10.0.0.1", 3},
};

void Export(const std::string& path, const Device* devices, size_t count)
{
    CSaveToExcel xl;
    ASSERT_TRUE(xl.Create(path));
    ASSERT_TRUE(xl.WriteDeviceHeader());
    for (size_t i = 0; i < count; ++i) {
        DEVICE_NET_INFO_EX r = MakeRecord(devices[i]);
        ASSERT_TRUE(xl.WriteDeviceRow(&r));
    }
    ASSERT_TRUE(xl.SaveAs(path)) << xl.LastError();
    xl.Close();
}

bool Import(const std::string& path, std::vector<DEVICE_INFO>* list, std::string* error = nullptr)
{
    CSaveToExcel xl;
    xl.Open(path);
    bool ok = xl.ReadDeviceList(list);
    if (error)
        *error = xl.LastError();
    xl.Close();
    return ok;
}

// Sets one cell of the active sheet of a stored workbook.
void EditCell(const std::string& path, int row, int column, const CCellValue& value)
{
    CFileWorkbookBackend backend;
    EWorkbookError error;
    std::string message;
    CWorkbook* wb = backend.Open(path, &error, &message);
    ASSERT_NE(wb, nullptr) << message;
    wb->ActiveSheet()->SetCell(row, column, value);
    ASSERT_TRUE(backend.SaveAs(wb, path, &error, &message)) << message;
}

class SaveToExcelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetAppPathForTest(L"/nonexistent-app-dir");
        TrResetForTest();
    }
    void TearDown() override
    {
        SFSetAppPathForTest(L"/nonexistent-app-dir");
        TrResetForTest();
    }
    CTempDir m_dir;
};

TEST_F(SaveToExcelTest, ExportThenImportGivesTheTenFieldsBack)
{
    const std::string path = m_dir.File("list.xls");
    Export(path, kDevices, 4);
    // Stored as Office Open XML whatever the extension.
    EXPECT_EQ(ReadFile(path).substr(0, 4), std::string("PK\x03\x04", 4));
    {
        CFileWorkbookBackend backend;
        EWorkbookError error;
        std::string message;
        CWorksheet* sheet = backend.Open(path, &error, &message)->ActiveSheet();
        const char* status[] = {"Initialized", "Not initialized", "Initialized", "Initialized"};
        for (int row = 2; row <= 5; ++row)
            EXPECT_EQ(sheet->GetCell(row, 10).AsText(), status[row - 2]);
        EXPECT_EQ(sheet->GetCell(5, 1).GetKind(), CCellValue::Empty);  // no type from "Doorbell-2"
    }
    // A status text that is neither word.
    EditCell(path, 4, 10, CCellValue::FromText("initialized"));

    std::vector<DEVICE_INFO> list;
    ASSERT_TRUE(Import(path, &list));
    ASSERT_EQ(list.size(), 4u);
    const char* expectedType[] = {"IPC", "NVR", "IPC", ""};  // no type: taken from the model
    const uint8_t expectedState[] = {2, 1, 255, 2};
    for (size_t i = 0; i < 4; ++i) {
        const DEVICE_NET_INFO_EX& r = list[i].stNetInfo;
        const Device& d = kDevices[i];
        EXPECT_STREQ(r.szTypeName, expectedType[i]);
        EXPECT_STREQ(r.szDetailName, d.model);
        EXPECT_STREQ(r.szIpAddr, d.ip);
        EXPECT_EQ(r.nPort, d.port);
        EXPECT_STREQ(r.szMacAddr, d.mac);
        EXPECT_STREQ(r.szSerialNumber, d.serial);
        EXPECT_STREQ(r.szSoftVersion, d.version);
        EXPECT_STREQ(r.szNetMask, d.mask);
        EXPECT_STREQ(r.szGatewayAddr, d.gateway);
        EXPECT_EQ(r.byInitState, expectedState[i]);
        // Nothing but the ten fields: the rest of both records is zero.
        DEVICE_INFO expected;
        std::memset(&expected, 0, sizeof(expected));
        std::memcpy(expected.stNetInfo.szTypeName, r.szTypeName, sizeof(r.szTypeName));
        std::memcpy(expected.stNetInfo.szDetailName, r.szDetailName, sizeof(r.szDetailName));
        std::memcpy(expected.stNetInfo.szIpAddr, r.szIpAddr, sizeof(r.szIpAddr));
        expected.stNetInfo.nPort = r.nPort;
        std::memcpy(expected.stNetInfo.szMacAddr, r.szMacAddr, sizeof(r.szMacAddr));
        std::memcpy(expected.stNetInfo.szSerialNumber, r.szSerialNumber, sizeof(r.szSerialNumber));
        std::memcpy(expected.stNetInfo.szSoftVersion, r.szSoftVersion, sizeof(r.szSoftVersion));
        std::memcpy(expected.stNetInfo.szNetMask, r.szNetMask, sizeof(r.szNetMask));
        std::memcpy(expected.stNetInfo.szGatewayAddr, r.szGatewayAddr, sizeof(r.szGatewayAddr));
        expected.stNetInfo.byInitState = r.byInitState;
        EXPECT_EQ(std::memcmp(&expected, &list[i], sizeof(DEVICE_INFO)), 0) << "row " << i;
    }
}

TEST_F(SaveToExcelTest, ImportAppendsAndHeaderOnlyGivesNothing)
{
    const std::string path = m_dir.File("empty.xlsx");
    Export(path, kDevices, 0);
    std::vector<DEVICE_INFO> list(1);
    list[0].nRow = 42;
    ASSERT_TRUE(Import(path, &list));
    ASSERT_EQ(list.size(), 1u);

    Export(path, kDevices, 2);
    ASSERT_TRUE(Import(path, &list));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].nRow, 42);
    EXPECT_STREQ(list[2].stNetInfo.szIpAddr, kDevices[1].ip);
}

// A record field that fills its whole width (no terminator) is written as that width and no
// further, and comes back cut to fit with its terminator.
TEST_F(SaveToExcelTest, UnterminatedFieldsStayBounded)
{
    const std::string path = m_dir.File("full.xlsx");
    DEVICE_NET_INFO_EX r = MakeRecord(kDevices[0]);
    std::memset(r.szSerialNumber, 'S', sizeof(r.szSerialNumber));
    std::memset(r.szMacAddr, 'M', sizeof(r.szMacAddr));
    CSaveToExcel xl;
    xl.Create(path);
    xl.WriteDeviceHeader();
    xl.WriteDeviceRow(&r);
    ASSERT_TRUE(xl.SaveAs(path));
    xl.Close();

    CFileWorkbookBackend backend;
    EWorkbookError error;
    std::string message;
    CWorksheet* sheet = backend.Open(path, &error, &message)->ActiveSheet();
    EXPECT_EQ(sheet->GetCell(2, 5).AsText(), std::string(40, 'M'));
    EXPECT_EQ(sheet->GetCell(2, 6).AsText(), std::string(48, 'S'));
    std::vector<DEVICE_INFO> list;
    ASSERT_TRUE(Import(path, &list));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(std::string(list[0].stNetInfo.szMacAddr), std::string(39, 'M'));
    EXPECT_EQ(std::string(list[0].stNetInfo.szSerialNumber), std::string(47, 'S'));
}

// Cells longer than their fields are cut at the field's limit, never inside a character, and
// every field stays terminated; ports that are no whole number give 0.
TEST_F(SaveToExcelTest, ImportCutsLongTextsAndBadPorts)
{
    struct Case {
        int column;
        CCellValue value;
        const char* expected;
    };
    const std::string wide(40, 'w');
    std::string chars;
    for (int i = 0; i < 11; ++i)
        chars += "录";  // three bytes each
    const Case cases[] = {
        {1, CCellValue::FromText(wide), "wwwwwwwwwwwwwwwwwwwwwwwwwwwwwww"},
        {2, CCellValue::FromText(chars), "录录录录录录录录录录"},
        {3, CCellValue::FromText("192.168.100.200.5"), "192.168.100.200"},
        {4, CCellValue::FromText("abc"), "0"},
        {4, CCellValue::FromText(" 8080 "), "8080"},
        {4, CCellValue::FromNumber(37777), "37777"},
        {5, CCellValue::FromText(std::string(50, 'm')), "mmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmmm"},
        {6, CCellValue::FromNumber(1234567890123.0), "1234567890123"},
        {7, CCellValue::FromText(std::string(200, 'v')), nullptr},  // 127 'v'
        {8, CCellValue::FromText(std::string(70, 'k')), nullptr},   // 63 'k'
    };
    for (const Case& c : cases) {
        const std::string path = m_dir.File("cut.xlsx");
        Export(path, kDevices, 1);
        EditCell(path, 2, c.column, c.value);
        std::vector<DEVICE_INFO> list;
        ASSERT_TRUE(Import(path, &list));
        ASSERT_EQ(list.size(), 1u);
        const DEVICE_NET_INFO_EX& r = list[0].stNetInfo;
        switch (c.column) {
        case 1: EXPECT_STREQ(r.szTypeName, c.expected); break;
        case 2: EXPECT_STREQ(r.szDetailName, c.expected); break;
        case 3: EXPECT_STREQ(r.szIpAddr, c.expected); break;
        case 4: EXPECT_EQ(std::to_string(r.nPort), c.expected); break;
        case 5: EXPECT_STREQ(r.szMacAddr, c.expected); break;
        case 6: EXPECT_STREQ(r.szSerialNumber, c.expected); break;
        case 7: EXPECT_EQ(std::string(r.szSoftVersion), std::string(127, 'v')); break;
        case 8: EXPECT_EQ(std::string(r.szNetMask), std::string(63, 'k')); break;
        }
    }
}

// A file exported under one language reads back under it; under another the status words no
// longer match and every row reads 255.
TEST_F(SaveToExcelTest, StatusWordsFollowTheLanguage)
{
    CTempDir app;
    ASSERT_EQ(std::system(("mkdir -p '" + app.Path() + "/Lang'").c_str()), 0);
    WriteFile(app.File("Lang/Lang_" + std::to_string(CAppSettings::Language) + ".xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Lang>\n"
              "<Item name=\"Initialized\" value=\"Initialisé\"/>\n"
              "<Item name=\"Not initialized\" value=\"Non initialisé\"/>\n"
              "<Item name=\"IP\" value=\"Adresse IP\"/>\n</Lang>\n");
    SFSetAppPathForTest(std::wstring(app.Path().begin(), app.Path().end()));
    TrResetForTest();
    const std::string path = m_dir.File("fr.xlsx");
    Export(path, kDevices, 2);
    std::vector<DEVICE_INFO> list;
    ASSERT_TRUE(Import(path, &list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].stNetInfo.byInitState, 2);
    EXPECT_EQ(list[1].stNetInfo.byInitState, 1);

    CFileWorkbookBackend backend;
    EWorkbookError error;
    std::string message;
    CWorkbook* wb = backend.Open(path, &error, &message);
    ASSERT_NE(wb, nullptr);
    EXPECT_EQ(wb->ActiveSheet()->GetCell(1, 3).AsText(), "Adresse IP");
    EXPECT_EQ(wb->ActiveSheet()->GetCell(3, 10).AsText(), "Non initialisé");

    SFSetAppPathForTest(L"/nonexistent-app-dir");
    TrResetForTest();
    list.clear();
    ASSERT_TRUE(Import(path, &list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].stNetInfo.byInitState, 255);
    EXPECT_EQ(list[1].stNetInfo.byInitState, 255);
}

// Anything that is not a readable workbook is reported, never imported as an empty list.
TEST_F(SaveToExcelTest, UnreadableFilesAreReported)
{
    const std::string good = m_dir.File("good.xlsx");
    Export(good, kDevices, 2);
    const std::string zip = ReadFile(good);
    struct Case {
        const char* name;
        std::string content;  // empty: no file; "<dir>": a folder
        const char* error;
    };
    const Case cases[] = {
        {"missing.xls", "", "File not found"},
        {"folder.xls", "<dir>", "File cannot be read"},
        {"empty.xls", "\x01", "File is not a workbook"},
        {"text.xls", "Type,Model,IP\nIPC,X,1.2.3.4\n", "File is not a workbook"},
        {"cut.xlsx", zip.substr(0, zip.size() / 2), "Workbook is damaged"},
        {"bad.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\x5A'), "Workbook is damaged"},
        {"damaged.xls", ReadFile(std::string(EXCEL_FIXTURES) + "/damaged.xls"), "Workbook is damaged"},
    };
    for (const Case& c : cases) {
        const std::string path = m_dir.File(c.name);
        if (c.content == "<dir>")
            ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
        else if (c.content == "\x01")
            WriteFile(path, "");
        else if (!c.content.empty())
            WriteFile(path, c.content);
        CSaveToExcel xl;
        EXPECT_FALSE(xl.Open(path)) << c.name;
        std::vector<DEVICE_INFO> list(2);
        EXPECT_FALSE(xl.ReadDeviceList(&list)) << c.name;
        EXPECT_EQ(list.size(), 2u) << c.name;
        EXPECT_EQ(xl.LastError().rfind(c.error, 0), 0u) << c.name << ": " << xl.LastError();
        // The workbook put in its place still takes an export.
        EXPECT_TRUE(xl.WriteDeviceHeader());
        xl.Close();
    }
}

TEST_F(SaveToExcelTest, OversizedSheetIsRefused)
{
    const std::string path = m_dir.File("huge.xlsx");
    Export(path, kDevices, 1);
    EditCell(path, 70000, 1, CCellValue::FromText("x"));
    std::vector<DEVICE_INFO> list;
    std::string error;
    EXPECT_FALSE(Import(path, &list, &error));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(error.empty());
}

std::vector<std::string> DirEntries(const std::string& path)
{
    std::vector<std::string> names;
    if (DIR* d = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, ".."))
                names.push_back(e->d_name);
        ::closedir(d);
    }
    return names;
}

// The previous file survives until the new one is complete: a store that fails half-way leaves
// it as it was, and no partial file is left behind.
TEST_F(SaveToExcelTest, FailedStoreKeepsThePreviousFile)
{
    const std::string path = m_dir.File("list.xls");
    Export(path, kDevices, 1);
    const std::string before = ReadFile(path);

    CSaveToExcel xl;
    ASSERT_TRUE(xl.Create(path));
    EXPECT_EQ(ReadFile(path), before);  // starting an export touches nothing
    xl.WriteDeviceHeader();
    for (int i = 0; i < 200; ++i) {
        DEVICE_NET_INFO_EX r = MakeRecord(kDevices[i % 3]);
        xl.WriteDeviceRow(&r);
    }
    // Writes beyond a few bytes fail while the limit holds.
    struct sigaction ignore = {}, old = {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved;
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 2048;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool stored = xl.SaveAs(path);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::sigaction(SIGXFSZ, &old, nullptr);
    EXPECT_FALSE(stored);
    EXPECT_EQ(xl.LastError().rfind("Workbook cannot be stored", 0), 0u) << xl.LastError();
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_EQ(DirEntries(m_dir.Path()), std::vector<std::string>{"list.xls"});

    // Into a folder that does not exist.
    EXPECT_FALSE(xl.SaveAs(m_dir.File("no/such/folder.xls")));

    // Now it works, and replaces the file.
    ASSERT_TRUE(xl.SaveAs(path)) << xl.LastError();
    xl.Close();
    EXPECT_NE(ReadFile(path), before);
    EXPECT_EQ(DirEntries(m_dir.Path()), std::vector<std::string>{"list.xls"});
    std::vector<DEVICE_INFO> list;
    ASSERT_TRUE(Import(path, &list));
    EXPECT_EQ(list.size(), 200u);
}

// Each workbook library is opened when its format is first read or written: when it cannot be,
// the reason names it, and a store leaves the previous file as it was.
TEST_F(SaveToExcelTest, MissingWorkbookLibrariesAreNamed)
{
    const std::string xlsx = m_dir.File("list.xlsx");
    Export(xlsx, kDevices, 2);
    const std::string before = ReadFile(xlsx);
    const std::string xls = std::string(EXCEL_FIXTURES) + "/devices.xls";
    struct Case {
        os::RuntimeLib& lib;
        const char* missing;
        bool store;
        std::string path;
    };
    const Case cases[] = {
        {XlsxWriterRuntimeLib(), "libvx-no-such-xlsxwriter.so.4", true, xlsx},
        {ZipRuntimeLib(), "libvx-no-such-zip.so.4", false, xlsx},
        {FreeXlRuntimeLib(), "libvx-no-such-freexl.so.1", false, xls},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        const std::string real = c.lib.Soname();
        const std::string reason =
            std::string("The workbook library could not be loaded: ") + c.missing + ": cannot open shared object file";
        for (bool found : {false, true}) {
            c.lib.SetSoname(found ? real : c.missing);
            CSaveToExcel xl;
            bool ok = false;
            if (c.store) {
                ASSERT_TRUE(xl.Create(c.path));
                ASSERT_TRUE(xl.WriteDeviceHeader());
                DEVICE_NET_INFO_EX r = MakeRecord(kDevices[2]);
                ASSERT_TRUE(xl.WriteDeviceRow(&r));
                ok = xl.SaveAs(c.path);
            } else {
                std::vector<DEVICE_INFO> list;
                ok = xl.Open(c.path) && xl.ReadDeviceList(&list) && !list.empty();
            }
            EXPECT_EQ(ok, found) << xl.LastError();
            EXPECT_EQ(xl.LastError().rfind(reason, 0) == 0, !found) << xl.LastError();
            xl.Close();
            if (c.store && !found) {
                EXPECT_EQ(ReadFile(c.path), before);
                EXPECT_EQ(DirEntries(m_dir.Path()), std::vector<std::string>{"list.xlsx"});
            }
        }
    }
}

TEST_F(SaveToExcelTest, SelectSheetFindsRegisteredNames)
{
    const std::string path = m_dir.File("sheets.xlsx");
    {
        CFileWorkbookBackend backend;
        CWorkbook* wb = backend.Add();
        wb->Worksheets().Add("Geräte");
        EWorkbookError error;
        std::string message;
        ASSERT_TRUE(backend.SaveAs(wb, path, &error, &message)) << message;
    }
    CSaveToExcel xl;
    EXPECT_FALSE(xl.SelectSheet("devices"));  // no workbook yet
    ASSERT_TRUE(xl.Open(path));
    EXPECT_TRUE(xl.SetSheetName("devices", "Geräte"));
    EXPECT_TRUE(xl.SetSheetName("other", "geräte"));  // names compare exactly
    EXPECT_TRUE(xl.SelectSheet("devices"));
    EXPECT_FALSE(xl.SelectSheet("other"));
    EXPECT_FALSE(xl.SelectSheet("never registered"));
    EXPECT_TRUE(xl.SetSheetName("other", "Sheet1"));  // a later name replaces the earlier one
    EXPECT_TRUE(xl.SelectSheet("other"));
    xl.Close();
}

TEST_F(SaveToExcelTest, SheetOperationsNeedAWorkbook)
{
    CSaveToExcel xl;
    DEVICE_NET_INFO_EX r = MakeRecord(kDevices[0]);
    std::vector<DEVICE_INFO> list;
    EXPECT_FALSE(xl.WriteDeviceHeader());
    EXPECT_FALSE(xl.WriteDeviceRow(&r));
    EXPECT_FALSE(xl.ReadDeviceList(&list));
    EXPECT_FALSE(xl.SaveAs(m_dir.File("x.xlsx")));
    EXPECT_TRUE(xl.Close());
    EXPECT_TRUE(list.empty());
}

TEST(ByteToBitString, BitZeroFirst)
{
    const std::pair<unsigned char, const char*> cases[] = {
        {0x00, "00000000"}, {0x01, "10000000"}, {0x80, "00000001"}, {0xA5, "10100101"}, {0xFF, "11111111"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ByteToBitString(c.first), c.second);
}

}  // namespace
