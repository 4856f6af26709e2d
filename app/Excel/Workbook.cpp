#include "Excel/Workbook.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

CCellValue CCellValue::FromText(std::string text)
{
    CCellValue v;
    v.m_kind = Text;
    v.m_text = std::move(text);
    return v;
}

CCellValue CCellValue::FromNumber(double number)
{
    CCellValue v;
    v.m_kind = Number;
    v.m_number = number;
    return v;
}

CCellValue CCellValue::FromBool(bool value)
{
    CCellValue v;
    v.m_kind = Bool;
    v.m_number = value ? 1 : 0;
    return v;
}

std::string CCellValue::AsText() const
{
    switch (m_kind) {
    case Text:
        return m_text;
    case Number: {
        if (m_number == 0)
            return "0";  // also for -0
        char buf[64];
        std::snprintf(buf, sizeof(buf), "%.15G", m_number);
        return buf;
    }
    case Bool:
        return m_number != 0 ? "TRUE" : "FALSE";
    case Empty:
        break;
    }
    return std::string();
}

static int ClampToInt(double d)
{
    if (std::isnan(d))
        return 0;
    d = std::round(d);
    if (d >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (d <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(d);
}

int CCellValue::AsInt() const
{
    switch (m_kind) {
    case Number:
    case Bool:
        return ClampToInt(m_number);
    case Text: {
        size_t b = 0, e = m_text.size();
        while (b < e && std::isspace(static_cast<unsigned char>(m_text[b])))
            ++b;
        while (e > b && std::isspace(static_cast<unsigned char>(m_text[e - 1])))
            --e;
        std::string s = m_text.substr(b, e - b);
        if (s.empty())
            return 0;
        size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
        if (i == s.size())
            return 0;
        for (size_t k = i; k < s.size(); ++k)
            if (!std::isdigit(static_cast<unsigned char>(s[k])))
                return 0;
        errno = 0;
        long long v = std::strtoll(s.c_str(), nullptr, 10);
        if (errno == ERANGE || v > INT_MAX || v < INT_MIN)
            return 0;
        return static_cast<int>(v);
    }
    case Empty:
        break;
    }
    return 0;
}

void CWorksheet::SetCell(int row, int column, const CCellValue& value)
{
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        return;
    if (value.IsEmpty())
        m_cells.erase({row, column});
    else
        m_cells[{row, column}] = value;
}

CCellValue CWorksheet::GetCell(int row, int column) const
{
    auto it = m_cells.find({row, column});
    return it == m_cells.end() ? CCellValue() : it->second;
}

void CWorksheet::UsedRange(int* firstRow, int* rowCount) const
{
    int first = 1, count = 1;
    if (!m_cells.empty()) {
        first = m_cells.begin()->first.first;
        count = m_cells.rbegin()->first.first - first + 1;
    }
    if (firstRow)
        *firstRow = first;
    if (rowCount)
        *rowCount = count;
}

// Display width of UTF-8 text in character cells: wide East Asian characters count twice.
static int DisplayWidth(const std::string& text)
{
    int width = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned cp = c;
        size_t len = 1;
        if (c >= 0xF0 && i + 3 < text.size()) {
            len = 4;
            cp = ((c & 0x07u) << 18) | ((text[i + 1] & 0x3Fu) << 12) | ((text[i + 2] & 0x3Fu) << 6) | (text[i + 3] & 0x3Fu);
        } else if (c >= 0xE0 && i + 2 < text.size()) {
            len = 3;
            cp = ((c & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
        } else if (c >= 0xC0 && i + 1 < text.size()) {
            len = 2;
            cp = ((c & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
        }
        width += (cp >= 0x1100 && (cp <= 0x115F || (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
                                   (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFF00 && cp <= 0xFF60) || cp >= 0x20000))
                     ? 2
                     : 1;
        i += len;
    }
    return width;
}

void CWorksheet::AutoFit(int firstColumn, int lastColumn)
{
    std::map<int, int> widest;
    for (const auto& cell : m_cells) {
        int column = cell.first.second;
        if (column < firstColumn || column > lastColumn)
            continue;
        int w = DisplayWidth(cell.second.AsText());
        int& best = widest[column];
        if (w > best)
            best = w;
    }
    for (const auto& w : widest)
        m_widths[w.first] = w.second + 1.5;
}

double CWorksheet::ColumnWidth(int column) const
{
    auto it = m_widths.find(column);
    return it == m_widths.end() ? 0 : it->second;
}

void CWorksheet::SetColumnWidth(int column, double width)
{
    if (column >= 1 && column <= kMaxColumns && width > 0)
        m_widths[column] = width;
}

CWorksheet* CWorksheets::Item(int index)
{
    return index >= 1 && index <= Count() ? m_sheets[index - 1].get() : nullptr;
}

const CWorksheet* CWorksheets::Item(int index) const
{
    return index >= 1 && index <= Count() ? m_sheets[index - 1].get() : nullptr;
}

CWorksheet* CWorksheets::Add(std::string name)
{
    auto taken = [this](const std::string& n) {
        for (const auto& s : m_sheets)
            if (s->Name() == n)
                return true;
        return false;
    };
    if (name.empty() || taken(name)) {
        for (int n = Count() + 1;; ++n) {
            name = "Sheet" + std::to_string(n);
            if (!taken(name))
                break;
        }
    }
    m_sheets.push_back(std::make_unique<CWorksheet>(std::move(name)));
    return m_sheets.back().get();
}

CWorksheet* CWorkbook::ActiveSheet()
{
    CWorksheet* sheet = m_sheets.Item(m_active);
    return sheet ? sheet : m_sheets.Item(1);
}

void CWorkbook::SetActiveIndex(int index)
{
    if (index >= 1 && index <= m_sheets.Count())
        m_active = index;
}
