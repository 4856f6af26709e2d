// In-memory workbook: sheets of cells, each cell empty, text, a number or a boolean.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CCellValue {
public:
    enum Kind { Empty, Text, Number, Bool };

    CCellValue() = default;
    static CCellValue FromText(std::string text);
    static CCellValue FromNumber(double number);
    static CCellValue FromBool(bool value);

    Kind GetKind() const { return m_kind; }
    bool IsEmpty() const { return m_kind == Empty; }
    // Text as a spreadsheet shows it: numbers in general form with up to 15 significant digits
    // (whole numbers without ".0"), booleans as "TRUE"/"FALSE", empty cells as "".
    std::string AsText() const;
    // Integer value: numbers rounded, texts holding a whole decimal number (blanks around it
    // allowed), TRUE as 1; anything else 0.
    int AsInt() const;
    double GetNumber() const { return m_number; }
    const std::string& GetText() const { return m_text; }

private:
    Kind m_kind = Empty;
    double m_number = 0;
    std::string m_text;
};

class CWorksheet {
public:
    enum { kMaxRows = 1048576, kMaxColumns = 16384 };

    explicit CWorksheet(std::string name) : m_name(std::move(name)) {}

    const std::string& Name() const { return m_name; }
    // Row and column count from 1. Cells outside the sheet's bounds are ignored; setting an
    // empty value removes the cell.
    void SetCell(int row, int column, const CCellValue& value);
    CCellValue GetCell(int row, int column) const;
    // First used row and number of rows from it to the last used row. A sheet without cells
    // reports row 1 and one row, as a spreadsheet's used range of an empty sheet does.
    void UsedRange(int* firstRow, int* rowCount) const;
    // Widens columns first..last (from 1) to fit their texts.
    void AutoFit(int firstColumn, int lastColumn);
    // Column width in characters; 0 when never set.
    double ColumnWidth(int column) const;
    void SetColumnWidth(int column, double width);

    // Cells by (row, column), in row order.
    const std::map<std::pair<int, int>, CCellValue>& Cells() const { return m_cells; }
    const std::map<int, double>& ColumnWidths() const { return m_widths; }

private:
    std::string m_name;
    std::map<std::pair<int, int>, CCellValue> m_cells;
    std::map<int, double> m_widths;
};

class CWorksheets {
public:
    int Count() const { return static_cast<int>(m_sheets.size()); }
    // Sheet at index from 1; null outside 1..Count.
    CWorksheet* Item(int index);
    const CWorksheet* Item(int index) const;
    // Appends a sheet; an empty or taken name becomes "SheetN".
    CWorksheet* Add(std::string name = std::string());

private:
    std::vector<std::unique_ptr<CWorksheet>> m_sheets;
};

class CWorkbook {
public:
    CWorksheets& Worksheets() { return m_sheets; }
    const CWorksheets& Worksheets() const { return m_sheets; }
    // The sheet that opens in front; null when the workbook has no sheet.
    CWorksheet* ActiveSheet();
    int ActiveIndex() const { return m_active; }
    // Index from 1; values outside 1..Count are ignored.
    void SetActiveIndex(int index);

private:
    CWorksheets m_sheets;
    int m_active = 1;
};
