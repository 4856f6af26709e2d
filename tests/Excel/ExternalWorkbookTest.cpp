// Workbooks exchanged with other spreadsheet programs.
#include <gtest/gtest.h>

#include <cstring>

#include "Common/AppPath.h"
#include "Common/Translate.h"
#include "Excel/SaveToExcel.h"
#include "ExcelTestSupport.h"

namespace {

class ExternalWorkbookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SFSetAppPathForTest(L"/nonexistent-app-dir");
        TrResetForTest();
        m_python = PythonWithOpenpyxl();
        ASSERT_FALSE(m_python.empty()) << "python3 with openpyxl is needed (package python3-openpyxl)";
    }
    std::string m_python;
    CTempDir m_dir;
};

std::vector<DEVICE_INFO> ImportOk(const std::string& path)
{
    std::vector<DEVICE_INFO> list;
    CSaveToExcel xl;
    EXPECT_TRUE(xl.Open(path)) << xl.LastError();
    EXPECT_TRUE(xl.ReadDeviceList(&list)) << xl.LastError();
    xl.Close();
    return list;
}

struct Row {
    const char* type;
    const char* model;
    const char* ip;
    int port;
    const char* mac;
    const char* serial;
    const char* version;
    uint8_t state;
};

void ExpectRows(const std::vector<DEVICE_INFO>& list, const std::vector<Row>& rows)
{
    ASSERT_EQ(list.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const DEVICE_NET_INFO_EX& r = list[i].stNetInfo;
        EXPECT_STREQ(r.szTypeName, rows[i].type) << i;
        EXPECT_STREQ(r.szDetailName, rows[i].model) << i;
        EXPECT_STREQ(r.szIpAddr, rows[i].ip) << i;
        EXPECT_EQ(r.nPort, rows[i].port) << i;
        EXPECT_STREQ(r.szMacAddr, rows[i].mac) << i;
        EXPECT_STREQ(r.szSerialNumber, rows[i].serial) << i;
        EXPECT_STREQ(r.szSoftVersion, rows[i].version) << i;
        EXPECT_EQ(r.byInitState, rows[i].state) << i;
    }
}

// The rows of the fixtures, as they read back: the legacy files hold numbers where the texts
// looked numeric, so the version "1.0" comes back as "1".
const std::vector<Row> kFixtureRows = {
    {"IPC", "IPC-B2040", "192.168.1.108", 37777, "02:00:00:00:00:01", "7K0A12C00001", "2.6.1.5", 2},
    {"NVR", "录像机-N8", "192.168.1.20", 8000, "02:00:00:00:00:02", "1234567890123", "4.1.0.3", 1},
    {"", "SD-6C230", "10.0.0.5", 0, "02:00:00:00:00:03", "SN3", "1", 255},
};

TEST_F(ExternalWorkbookTest, ReadsLegacyWorkbooks)
{
    ExpectRows(ImportOk(std::string(EXCEL_FIXTURES) + "/devices.xls"), kFixtureRows);
    // The used range starts at row 3 there: its header, then every row below it.
    ExpectRows(ImportOk(std::string(EXCEL_FIXTURES) + "/devices-from-row3.xls"), kFixtureRows);
}

const char* const kWriteScript = R"PY(
import sys, openpyxl
wb = openpyxl.Workbook()
notes = wb.active
notes.title = "Notes"
notes["A1"] = "not the device list"
ws = wb.create_sheet("Devices")
first = int(sys.argv[2])
rows = [
    ["Type", "Model", "IP", "Port", "MAC", "Serial No.", "Version", "Subnet Mask", "Gateway", "Initial Status"],
    ["IPC", "IPC-B2040", "192.168.1.108", 37777, "02:00:00:00:00:01", "7K0A12C00001", "2.6.1.5", "255.255.255.0", "192.168.1.1", "Initialized"],
    ["NVR", "录像机-N8", "192.168.1.20", "8000", "02:00:00:00:00:02", 1234567890123, "4.1.0.3", "255.255.0.0", "192.168.1.1", "Not initialized"],
    [None, "SD-6C230", "10.0.0.5", "abc", "02:00:00:00:00:03", "SN3", 1.0, "255.0.0.0", "10.0.0.1", "Unknown"],
    [],
    ["IPC", "IPC-X", "10.0.0.9", 80.0, "02:00:00:00:00:09", "SN9", "9", "255.0.0.0", "10.0.0.1", True],
]
for i, row in enumerate(rows):
    for j, value in enumerate(row):
        if value is not None:
            ws.cell(row=first + i, column=j + 1, value=value)
wb.active = 1
wb.save(sys.argv[1])
)PY";

// A workbook another program wrote: the device list on the second, active sheet, its used range
// starting at the given row. Every row under the header is read, the empty one included.
TEST_F(ExternalWorkbookTest, ReadsWorkbooksOfAnotherProgram)
{
    for (int firstRow : {1, 3}) {
        const std::string path = m_dir.File("other" + std::to_string(firstRow) + ".xlsx");
        int status = -1;
        std::string out = RunPython(m_python, kWriteScript, "'" + path + "' " + std::to_string(firstRow), &status);
        ASSERT_EQ(status, 0) << out;
        std::vector<DEVICE_INFO> list = ImportOk(path);
        std::vector<Row> rows = kFixtureRows;
        rows.push_back({"", "", "", 0, "", "", "", 255});
        rows.push_back({"IPC", "IPC-X", "10.0.0.9", 80, "02:00:00:00:00:09", "SN9", "9", 255});
        ExpectRows(list, rows);
    }
}

const char* const kReadScript = R"PY(
import sys, openpyxl
wb = openpyxl.load_workbook(open(sys.argv[1], "rb"))  # any extension
ws = wb.active
print(ws.title, ws.min_row, ws.max_row, ws.min_column, ws.max_column)
for row in ws.iter_rows(values_only=True):
    print("|".join("" if v is None else "%s:%s" % (type(v).__name__, v) for v in row))
print(" ".join("%s=%d" % (c, bool(ws.column_dimensions[c].customWidth)) for c in "ABCDEFGHIJ"))
)PY";

TEST_F(ExternalWorkbookTest, AnotherProgramReadsOurWorkbook)
{
    const std::string path = m_dir.File("ours.xls");
    DEVICE_NET_INFO_EX r;
    std::memset(&r, 0, sizeof(r));
    std::strcpy(r.szTypeName, "NVR");
    std::strcpy(r.szDetailName, "录像机-N8");
    std::strcpy(r.szIpAddr, "192.168.1.20");
    r.nPort = 37777;
    std::strcpy(r.szMacAddr, "02:00:00:00:00:02");
    std::strcpy(r.szSerialNumber, "0012345");
    std::strcpy(r.szSoftVersion, "4.1.0.3");
    std::strcpy(r.szNetMask, "255.255.0.0");
    std::strcpy(r.szGatewayAddr, "192.168.1.1");
    r.byInitState = 1;
    CSaveToExcel xl;
    xl.Create(path);
    xl.WriteDeviceHeader();
    xl.WriteDeviceRow(&r);
    ASSERT_TRUE(xl.SaveAs(path)) << xl.LastError();
    xl.Close();

    int status = -1;
    std::string out = RunPython(m_python, kReadScript, "'" + path + "'", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out,
              "Sheet1 1 2 1 10\n"
              "str:Type|str:Model|str:IP|str:Port|str:MAC|str:Serial No.|str:Version|str:Subnet Mask|str:Gateway|"
              "str:Initial Status\n"
              "str:NVR|str:录像机-N8|str:192.168.1.20|str:37777|str:02:00:00:00:00:02|str:0012345|str:4.1.0.3|"
              "str:255.255.0.0|str:192.168.1.1|str:Not initialized\n"
              "A=1 B=1 C=1 D=1 E=1 F=1 G=1 H=1 I=1 J=1\n");
}

}  // namespace
