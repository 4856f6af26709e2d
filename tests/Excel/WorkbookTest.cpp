#include <gtest/gtest.h>

#include "Excel/FileWorkbookBackend.h"
#include "ExcelTestSupport.h"

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
