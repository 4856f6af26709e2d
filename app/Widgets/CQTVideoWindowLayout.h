// Layout model of the split-screen video window: a rows x columns grid over a canvas, the
// dividers between neighbouring grid positions, and the numbered cells that result when
// removed dividers merge positions. Also reads and writes the layout text
// "rows/columns/count/W:H/dividers/cells". No Qt here, so the parser builds on its own.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "os/WinTypes.h"

// One divider: state nonzero = present (separates two positions), 0 = removed (merged).
struct LayoutDivider {
    int state = 1;
    RECT band = {0, 0, -1, -1};
};

// Working record of a rebuild, one per grid position.
struct LayoutGridCell {
    int number = -1;
    int rightKey = -1;
    int lowerKey = -1;
    RECT rect = {0, 0, -1, -1};
};

class CQTVideoWindowLayout {
public:
    // Divider keys hold row and column in 8 bits each: grids stay within this many.
    static constexpr int kMaxGrid = 255;
    // Longest layout text read (a 255 x 255 grid with every divider is well below it).
    static constexpr size_t kMaxTextLength = 8u << 20;

    CQTVideoWindowLayout(int rows = 1, int columns = 1, int width = 400, int height = 300);
    virtual ~CQTVideoWindowLayout();

    // Reads a layout text. Anything but a well-formed text with 1..255 rows and columns
    // returns false and leaves the object as it was. Does not rebuild the cells.
    bool ParseLayout(const std::string& text);
    // Writes the layout text; always true.
    bool FormatLayout(std::string& out) const;

    bool SetRows(int n);
    bool SetColumns(int n);
    bool SetSize(int width, int height);
    void RebuildCells();
    void Assign(const CQTVideoWindowLayout& other);
    bool SelectDividerAt(int x, int y);
    bool ToggleSelectedDividers();

    int Rows() const { return m_nRows; }
    int Columns() const { return m_nColumns; }
    int CellCount() const { return m_nCellCount; }
    std::pair<int, int> Size() const { return {m_nWidth, m_nHeight}; }
    const std::map<int, RECT>& Cells() const { return m_cells; }
    const std::map<int, LayoutDivider>& Dividers() const { return m_dividers; }
    const std::map<int, RECT>& Selected() const { return m_selected; }

    static int HorizontalKey(int row, int column) { return row * 256 + column; }
    static int VerticalKey(int row, int column) { return 65536 + row * 256 + column; }
    static bool IsVerticalKey(int key) { return key >= 65536; }
    static int KeyRow(int key) { return (key >> 8) & 0xff; }
    static int KeyColumn(int key) { return key & 0xff; }

private:
    struct Grid {
        int rows, columns, width, height;
        RECT Position(int row, int column) const;
        RECT Band(int key) const;
        bool HasKey(int key) const;
    };

    Grid CurrentGrid() const { return {m_nRows, m_nColumns, m_nWidth, m_nHeight}; }
    // Keeps the states of the dividers that the new grid still has, adds the others present.
    void Regrid(int rows, int columns);
    // State of a divider as a rebuild or selection reads it; a divider that the map lacks
    // (only a parsed text can lack one) counts as present.
    int StateOf(int key) const;
    bool SelectKey(int key);
    void Extend(int key, bool present);

    int m_nRows = 1;
    int m_nColumns = 1;
    int m_nCellCount = 1;
    int m_nWidth = -1;
    int m_nHeight = -1;
    std::map<int, LayoutDivider> m_dividers;
    std::map<int, RECT> m_cells;
    std::map<int, RECT> m_selected;
};
