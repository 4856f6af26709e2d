#include "Widgets/CQTVideoWindowLayout.h"

#include <algorithm>
#include <vector>

namespace {

// Splits at every separator, keeping empty parts.
std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// Plain decimal, digits only, at most 9 of them (no sign: "-" separates items).
bool ReadNumber(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    int v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        v = v * 10 + (ch - '0');
    }
    value = v;
    return true;
}

bool ReadNumbers(const std::string& item, size_t count, int* out)
{
    const std::vector<std::string> numbers = Split(item, ':');
    if (numbers.size() != count)
        return false;
    for (size_t i = 0; i < count; ++i) {
        if (!ReadNumber(numbers[i], out[i]))
            return false;
    }
    return true;
}

void AppendRect(std::string& out, const RECT& r)
{
    out += std::to_string(r.left) + ':' + std::to_string(r.top) + ':' + std::to_string(r.right) + ':' +
           std::to_string(r.bottom);
}

bool Contains(const RECT& r, int x, int y)
{
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

}  // namespace

RECT CQTVideoWindowLayout::Grid::Position(int row, int column) const
{
    const int cw = width / columns;
    const int rh = height / rows;
    RECT r;
    r.left = column * cw;
    r.right = (column + 1) * cw - 1 + (column == columns - 1 ? width % columns : 0);
    r.top = row * rh;
    r.bottom = (row + 1) * rh - 1 + (row == rows - 1 ? height % rows : 0);
    return r;
}

RECT CQTVideoWindowLayout::Grid::Band(int key) const
{
    const int row = KeyRow(key);
    const int column = KeyColumn(key);
    const RECT pos = Position(row, column);
    RECT band = pos;
    if (IsVerticalKey(key)) {
        const int line = (column + 1) * (width / columns);
        band.left = line - 5;
        band.right = line + 4;
    } else {
        const int line = (row + 1) * (height / rows);
        band.top = line - 5;
        band.bottom = line + 4;
    }
    return band;
}

bool CQTVideoWindowLayout::Grid::HasKey(int key) const
{
    if (key < 0 || key >= 65536 * 2)
        return false;
    const int row = KeyRow(key);
    const int column = KeyColumn(key);
    if ((key & 0xffff) != row * 256 + column)
        return false;
    if (IsVerticalKey(key))
        return row < rows && column < columns - 1;
    return row < rows - 1 && column < columns;
}

CQTVideoWindowLayout::CQTVideoWindowLayout(int rows, int columns, int width, int height)
{
    m_nRows = std::clamp(rows, 1, kMaxGrid);
    m_nColumns = std::clamp(columns, 1, kMaxGrid);
    m_nWidth = width;
    m_nHeight = height;
    m_nCellCount = m_nRows * m_nColumns;
    Regrid(m_nRows, m_nColumns);
    RebuildCells();
}

CQTVideoWindowLayout::~CQTVideoWindowLayout() = default;

void CQTVideoWindowLayout::Regrid(int rows, int columns)
{
    const Grid grid{rows, columns, m_nWidth, m_nHeight};
    std::map<int, LayoutDivider> next;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            for (int key : {VerticalKey(r, c), HorizontalKey(r, c)}) {
                if (!grid.HasKey(key))
                    continue;
                LayoutDivider divider;
                const auto old = m_dividers.find(key);
                if (old != m_dividers.end())
                    divider.state = old->second.state;
                divider.band = grid.Band(key);
                next.emplace(key, divider);
            }
        }
    }
    m_dividers.swap(next);
    m_nRows = rows;
    m_nColumns = columns;
}

int CQTVideoWindowLayout::StateOf(int key) const
{
    const auto it = m_dividers.find(key);
    return it == m_dividers.end() ? 1 : it->second.state;
}

void CQTVideoWindowLayout::RebuildCells()
{
    const Grid grid = CurrentGrid();
    std::vector<LayoutGridCell> positions(static_cast<size_t>(m_nRows) * m_nColumns);
    for (int r = 0; r < m_nRows; ++r) {
        for (int c = 0; c < m_nColumns; ++c) {
            LayoutGridCell& p = positions[static_cast<size_t>(r) * m_nColumns + c];
            p.rightKey = c < m_nColumns - 1 ? VerticalKey(r, c) : -1;
            p.lowerKey = r < m_nRows - 1 ? HorizontalKey(r, c) : -1;
            p.rect = grid.Position(r, c);
        }
    }
    // A merge renumbers only the two positions concerned: the smaller number wins.
    auto merge = [](LayoutGridCell& self, LayoutGridCell& other) {
        if (other.number == -1 || other.number > self.number)
            other.number = self.number;
        else
            self.number = other.number;
    };
    int counter = 0;
    for (size_t i = 0; i < positions.size(); ++i) {
        LayoutGridCell& p = positions[i];
        if (p.number == -1)
            p.number = counter++;
        if (p.rightKey != -1 && StateOf(p.rightKey) == 0)
            merge(p, positions[i + 1]);
        if (p.lowerKey != -1 && StateOf(p.lowerKey) == 0)
            merge(p, positions[i + static_cast<size_t>(m_nColumns)]);
    }
    m_nCellCount = counter;
    m_cells.clear();
    for (const LayoutGridCell& p : positions) {
        const auto found = m_cells.find(p.number);
        if (found == m_cells.end()) {
            m_cells.emplace(p.number, p.rect);
        } else {
            found->second.right = p.rect.right;
            found->second.bottom = p.rect.bottom;
        }
    }
}

bool CQTVideoWindowLayout::ParseLayout(const std::string& text)
{
    if (text.size() > kMaxTextLength)
        return false;
    const std::vector<std::string> parts = Split(text, '/');
    if (parts.size() != 6)
        return false;
    int rows = 0, columns = 0, count = 0;
    int size[2] = {0, 0};
    if (!ReadNumber(parts[0], rows) || !ReadNumber(parts[1], columns) || !ReadNumber(parts[2], count) ||
        !ReadNumbers(parts[3], 2, size))
        return false;
    if (rows < 1 || rows > kMaxGrid || columns < 1 || columns > kMaxGrid)
        return false;
    const Grid grid{rows, columns, size[0], size[1]};

    std::map<int, LayoutDivider> dividers;
    if (!parts[4].empty()) {
        for (const std::string& item : Split(parts[4], '-')) {
            int n[6];
            if (!ReadNumbers(item, 6, n) || !grid.HasKey(n[0]))
                return false;
            dividers[n[0]] = LayoutDivider{n[1], RECT{n[2], n[3], n[4], n[5]}};
        }
    }
    std::map<int, RECT> cells;
    if (!parts[5].empty()) {
        const std::vector<std::string> items = Split(parts[5], '-');
        if (items.size() > static_cast<size_t>(rows) * columns)
            return false;
        for (size_t i = 0; i < items.size(); ++i) {
            int n[4];
            if (!ReadNumbers(items[i], 4, n))
                return false;
            cells[static_cast<int>(i)] = RECT{n[0], n[1], n[2], n[3]};
        }
    }
    m_nRows = rows;
    m_nColumns = columns;
    m_nCellCount = count;
    m_nWidth = size[0];
    m_nHeight = size[1];
    m_dividers.swap(dividers);
    m_cells.swap(cells);
    return true;
}

bool CQTVideoWindowLayout::FormatLayout(std::string& out) const
{
    out = std::to_string(m_nRows) + '/' + std::to_string(m_nColumns) + '/' + std::to_string(m_nCellCount) +
          '/' + std::to_string(m_nWidth) + ':' + std::to_string(m_nHeight) + '/';
    bool first = true;
    for (const auto& [key, divider] : m_dividers) {
        if (!first)
            out += '-';
        first = false;
        out += std::to_string(key) + ':' + std::to_string(divider.state) + ':';
        AppendRect(out, divider.band);
    }
    out += '/';
    first = true;
    for (const auto& cell : m_cells) {
        if (!first)
            out += '-';
        first = false;
        AppendRect(out, cell.second);
    }
    return true;
}

bool CQTVideoWindowLayout::SetRows(int n)
{
    if (n <= 0 || n > kMaxGrid || n == m_nRows)
        return false;
    Regrid(n, m_nColumns);
    RebuildCells();
    return true;
}

bool CQTVideoWindowLayout::SetColumns(int n)
{
    if (n <= 0 || n > kMaxGrid || n == m_nColumns)
        return false;
    Regrid(m_nRows, n);
    RebuildCells();
    return true;
}

bool CQTVideoWindowLayout::SetSize(int width, int height)
{
    if (width == m_nWidth && height == m_nHeight)
        return false;
    m_nWidth = width;
    m_nHeight = height;
    const Grid grid = CurrentGrid();
    for (auto& entry : m_dividers)
        entry.second.band = grid.Band(entry.first);
    RebuildCells();
    return true;
}

void CQTVideoWindowLayout::Assign(const CQTVideoWindowLayout& other)
{
    const int width = m_nWidth;
    const int height = m_nHeight;
    m_nRows = other.m_nRows;
    m_nColumns = other.m_nColumns;
    m_nCellCount = other.m_nCellCount;
    m_nWidth = other.m_nWidth;
    m_nHeight = other.m_nHeight;
    m_selected.clear();
    m_dividers = other.m_dividers;
    if (!SetSize(width, height))
        RebuildCells();
}

bool CQTVideoWindowLayout::SelectKey(int key)
{
    const auto it = m_dividers.find(key);
    if (it == m_dividers.end() || m_selected.count(key))
        return false;
    m_selected[key] = it->second.band;
    return true;
}

bool CQTVideoWindowLayout::SelectDividerAt(int x, int y)
{
    m_selected.clear();
    for (const auto& [key, divider] : m_dividers) {
        if (Contains(divider.band, x, y)) {
            m_selected[key] = divider.band;
            Extend(key, divider.state != 0);
            return true;
        }
    }
    return false;
}

// Follows a run of dividers from both ends of one. Written as a loop over explicit frames, in
// the order a recursive walk would take, because a run can be as long as the grid has dividers.
void CQTVideoWindowLayout::Extend(int key, bool present)
{
    struct Frame {
        int key;
        bool present;
        int end;     // 0 first end, 1 second end, 2 done
        int armKey;  // arm still to follow after the continuation, -1 none
    };
    std::vector<Frame> stack{{key, present, 0, -1}};
    auto state = [this](int k) { return m_selected.count(k) ? 0 : StateOf(k); };

    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.armKey != -1) {
            const int arm = f.armKey;
            f.armKey = -1;
            ++f.end;
            if (SelectKey(arm))
                stack.push_back({arm, true, 0, -1});
            continue;
        }
        if (f.end >= 2) {
            stack.pop_back();
            continue;
        }
        const int r = KeyRow(f.key);
        const int c = KeyColumn(f.key);
        int arm1, arm2, next;
        bool exists;
        if (IsVerticalKey(f.key)) {
            if (f.end == 0) {
                exists = r > 0;
                arm1 = HorizontalKey(r - 1, c), arm2 = HorizontalKey(r - 1, c + 1), next = VerticalKey(r - 1, c);
            } else {
                exists = r < m_nRows - 1;
                arm1 = HorizontalKey(r, c), arm2 = HorizontalKey(r, c + 1), next = VerticalKey(r + 1, c);
            }
        } else {
            if (f.end == 0) {
                exists = c > 0;
                arm1 = VerticalKey(r, c - 1), arm2 = VerticalKey(r + 1, c - 1), next = HorizontalKey(r, c - 1);
            } else {
                exists = c < m_nColumns - 1;
                arm1 = VerticalKey(r, c), arm2 = VerticalKey(r + 1, c), next = HorizontalKey(r, c + 1);
            }
        }
        if (!exists) {
            ++f.end;
            continue;
        }
        const bool a1 = state(arm1) != 0;
        const bool a2 = state(arm2) != 0;
        const bool on = state(next) != 0;
        const bool runPresent = f.present;
        if (!runPresent) {
            ++f.end;
            if (!a1 && !a2 && !on && SelectKey(next))
                stack.push_back({next, false, 0, -1});
            continue;
        }
        if (a1 && a2) {
            ++f.end;
        } else if (a1 || a2) {
            f.armKey = a1 ? arm1 : arm2;  // followed once the continuation's run is done
            if (SelectKey(next))
                stack.push_back({next, true, 0, -1});
        } else {
            ++f.end;
            if (on && SelectKey(next))
                stack.push_back({next, true, 0, -1});
        }
    }
}

bool CQTVideoWindowLayout::ToggleSelectedDividers()
{
    if (m_selected.empty())
        return false;
    for (const auto& entry : m_selected) {
        const auto it = m_dividers.find(entry.first);
        if (it != m_dividers.end())
            it->second.state = it->second.state != 0 ? 0 : 1;
    }
    RebuildCells();
    return true;
}
