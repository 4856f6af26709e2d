#include <gtest/gtest.h>

#include "Excel/FileWorkbookBackend.h"
#include "ExcelTestSupport.h"

#include <zip.h>

#include <cstdlib>
#include <cstring>

namespace {

struct CellCase {
    CCellValue value;
    const char* text;
    int integer;
};

TEST(CellValue, TextAndIntegerForms)
{
    const CellCase cases[] = {
        {CCellValue(), "", 0},
        {CCellValue::FromNumber(37777), "37777", 37777},
        {CCellValue::FromNumber(1234567890123.0), "1234567890123", INT32_MAX},
        {CCellValue::FromNumber(0.1 + 0.2), "0.3", 0},
        {CCellValue::FromNumber(1.5), "1.5", 2},
        {CCellValue::FromNumber(-0.0), "0", 0},
        {CCellValue::FromNumber(1e20), "1E+20", INT32_MAX},
        {CCellValue::FromBool(true), "TRUE", 1},
        {CCellValue::FromText(" 8000 "), " 8000 ", 8000},
        {CCellValue::FromText("-12"), "-12", -12},
        {CCellValue::FromText("80a"), "80a", 0},
        {CCellValue::FromText("8.0"), "8.0", 0},
        {CCellValue::FromText("+"), "+", 0},
        {CCellValue::FromText("99999999999"), "99999999999", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.AsText(), c.text);
        EXPECT_EQ(c.value.AsInt(), c.integer) << c.text;
    }
}

TEST(Worksheet, UsedRangeCoversFirstToLastUsedRow)
{
    CWorksheet sheet("S");
    int first = 0, count = 0;
    sheet.UsedRange(&first, &count);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(count, 1);
    sheet.SetCell(7, 2, CCellValue::FromText("b"));
    sheet.SetCell(3, 5, CCellValue::FromNumber(1));
    sheet.UsedRange(&first, &count);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(count, 5);
    sheet.SetCell(7, 2, CCellValue());
    sheet.UsedRange(&first, &count);
    EXPECT_EQ(count, 1);
}

// Every kind of cell, texts that XML or the format treat specially, sheet names, widths and the
// front sheet survive a store and a read of our own backend.
TEST(FileWorkbookBackend, StoresAndReadsBackEveryCellKind)
{
    CTempDir dir;
    const std::string texts[] = {"  padded  ", "a  b", "line1\nline2", "<&>\"'", "_x0041_", "摄像机 ☃", "tab\there", "bell\x07", "cr\r\nlf"};
    CFileWorkbookBackend backend;
    CWorkbook* wb = backend.Add();
    CWorksheet* first = wb->Worksheets().Item(1);
    CWorksheet* second = wb->Worksheets().Add("Devices");
    for (size_t i = 0; i < sizeof(texts) / sizeof(texts[0]); ++i)
        second->SetCell(static_cast<int>(i) + 2, 3, CCellValue::FromText(texts[i]));
    second->SetCell(1, 1, CCellValue::FromNumber(-2.25));
    second->SetCell(1, 2, CCellValue::FromBool(false));
    first->SetCell(1, 1, CCellValue::FromText("x"));
    second->AutoFit(1, 3);
    wb->SetActiveIndex(2);
    EWorkbookError error;
    std::string message;
    ASSERT_TRUE(backend.SaveAs(wb, dir.File("book.xls"), &error, &message)) << message;

    CWorkbook* back = backend.Open(dir.File("book.xls"), &error, &message);
    ASSERT_NE(back, nullptr) << message;
    ASSERT_EQ(back->Worksheets().Count(), 2);
    EXPECT_EQ(back->Worksheets().Item(1)->Name(), "Sheet1");
    CWorksheet* sheet = back->ActiveSheet();
    ASSERT_EQ(sheet->Name(), "Devices");
    for (size_t i = 0; i < sizeof(texts) / sizeof(texts[0]); ++i)
        EXPECT_EQ(sheet->GetCell(static_cast<int>(i) + 2, 3).AsText(), texts[i]);
    EXPECT_EQ(sheet->GetCell(1, 1).GetKind(), CCellValue::Number);
    EXPECT_EQ(sheet->GetCell(1, 1).GetNumber(), -2.25);
    EXPECT_EQ(sheet->GetCell(1, 2).GetKind(), CCellValue::Bool);
    EXPECT_EQ(sheet->GetCell(1, 2).AsInt(), 0);
    EXPECT_TRUE(sheet->GetCell(1, 3).IsEmpty());
}

}  // namespace

namespace {

// A package of the given parts: content types, relationships, a workbook of one sheet and the
// sheet (and shared strings when given).
std::string MakeXlsx(const std::string& dir, const std::string& sheet, const std::string& sharedStrings = "")
{
    const std::string path = dir + "/made.xlsx";
    int err = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    auto add = [&](const char* name, const std::string& text) {
        auto* copy = static_cast<char*>(std::malloc(text.size() ? text.size() : 1));
        std::memcpy(copy, text.data(), text.size());
        zip_source_t* src = zip_source_buffer(zip, copy, text.size(), 1);
        zip_file_add(zip, name, src, ZIP_FL_OVERWRITE);
    };
    add("[Content_Types].xml", "<Types/>");
    add("_rels/.rels",
        "<Relationships><Relationship Id=\"r1\" Type=\"x/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
    add("xl/workbook.xml", "<workbook><sheets><sheet name=\"S\" r:id=\"r1\"/></sheets></workbook>");
    std::string rels = "<Relationships><Relationship Id=\"r1\" Type=\"x/worksheet\" Target=\"sheet1.xml\"/>";
    if (!sharedStrings.empty()) {
        rels += "<Relationship Id=\"r2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        add("xl/sharedStrings.xml", sharedStrings);
    }
    add("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
    add("xl/sheet1.xml", sheet);
    zip_close(zip);
    return path;
}

std::string Repeat(const char* piece, int times)
{
    std::string out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

}  // namespace

TEST(FileWorkbookBackend, RefusesWorkbooksNestedTooDeepOrExpandingTooFarAndSaysWhy)
{
    CTempDir dir;
    const std::string row = "<row>" + Repeat("<c/>", 1000) + "</row>";
    const std::string cells = "<worksheet><sheetData>" + Repeat(row.c_str(), 600) + "</sheetData></worksheet>";
    struct Case {
        const char* name;
        std::string sheet, shared;
        const char* why;
    } cases[] = {
        {"sheet nested 40000 deep", Repeat("<a>", 40000), "", "nested more than 256"},
        {"shared strings nested deep", "<worksheet/>", "<sst>" + Repeat("<si>", 40000), "nested more than 256"},
        {"600000 empty cells", cells, "", "cells in the workbook"},
        {"600000 shared strings", "<worksheet/>", "<sst>" + Repeat("<si/>", 600000) + "</sst>", "shared strings"},
        {"3 million elements", "<worksheet>" + Repeat("<x/>", 3000000) + "</worksheet>", "", "more than 2000000 elements"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFileWorkbookBackend backend;
        EWorkbookError error;
        std::string message;
        CWorkbook* book = backend.Open(MakeXlsx(dir.Path(), c.sheet, c.shared), &error, &message);
        EXPECT_EQ(book, nullptr);
        EXPECT_NE(message.find(c.why), std::string::npos) << message;
    }
    // A sheet within the bounds still reads.
    CFileWorkbookBackend backend;
    EWorkbookError error;
    std::string message;
    CWorkbook* book = backend.Open(
        MakeXlsx(dir.Path(), "<worksheet><sheetData><row r=\"1\"><c t=\"inlineStr\"><is><t>ok</t></is></c></row></sheetData></worksheet>"),
        &error, &message);
    ASSERT_NE(book, nullptr) << message;
    EXPECT_EQ(book->Worksheets().Item(1)->GetCell(1, 1).AsText(), "ok");
}

TEST(FileWorkbookBackend, RefusesALegacyWorkbookOfTooManyCellsAndSaysWhy)
{
    if (std::system("/usr/bin/python3 -c 'import xlwt' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-xlwt writes the legacy workbook";
    CTempDir dir;
    const std::string path = dir.Path() + "/many.xls";
    // 2000 rows of 251 numbers: 502 000 cells in a file of a few megabytes.
    const std::string script = "/usr/bin/python3 -c \"import xlwt,sys\n"
                               "wb = xlwt.Workbook(); ws = wb.add_sheet('S')\n"
                               "[ws.write(r, c, r + c) for r in range(2000) for c in range(251)]\n"
                               "wb.save(sys.argv[1])\" '" + path + "'";
    ASSERT_EQ(std::system(script.c_str()), 0);
    CFileWorkbookBackend backend;
    EWorkbookError error;
    std::string message;
    EXPECT_EQ(backend.Open(path, &error, &message), nullptr);
    EXPECT_NE(message.find("500000 cells in the workbook"), std::string::npos) << message;
}
