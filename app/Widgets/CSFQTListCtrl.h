// Single-selection table behind CSFListCtrl: skinned header with sorting, alternating row
// colours, notifications (78) to the parent page, and cells that host small controls (buttons,
// check boxes, progress bars, edits, combo boxes, pictures).
//
// Cell controls are kept per row in a vector that follows the table's rows (insertions and
// removals through the model's signals, sorting by the permutation of the sort), so every
// lookup by row stays right after rows are deleted or sorted. A row's cell controls exist only
// while the row is in or near the view: each cell keeps how to build them and the states set on
// them (check, enabled, shown, skin, tip, text, progress), which are read and written there
// while the controls do not exist.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <QColor>
#include <QHash>
#include <QIcon>
#include <QStringList>
#include <QTableWidget>

#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFView.h"

class CSFQTButton;
class CSFQTComboBox;
class CSFQTEditCtrl;
class CSFQTProgressCtrl;
class CSFQTRadioBox;
class CSFQTView;
class QAction;
class QMenu;

class CSFQTListCtrl : public QTableWidget,
                      public CSFListCtrl,
                      public ISFRadioBoxEvent,
                      public ISFButtonEvent,
                      public ISFProgressCtrlEvent,
                      public ISFNumSpinerEvent,
                      public ISFViewEvent,
                      public ISFEditCtrlEvent,
                      public ISFComboBoxEvent {
    Q_OBJECT
public:
    // Fixed control ids.
    enum {
        IdHeaderCheck = 2132,
        IdRowCheck = 2133,
        IdWidgetBtn1 = 2137,
        IdWidgetBtn2 = 2134,
        IdWidgetBtn3 = 2135,
        IdProgress = 1113,
        IdProgressEx = 1186,
        IdSmallBtn = 1156,
    };
    // Kinds of registered cell controls; combo boxes are kinds ComboBase + type (0 to 4).
    enum CellKind { KindButton = 0, KindCheck, KindProgress, KindEdit, KindCombo0, KindComboLast = KindCombo0 + 4 };

    explicit CSFQTListCtrl(ISFListCtrlEvent* sink);
    ~CSFQTListCtrl() override;

    // Window.
    int Create(DWORD style, const RECT& rect, void* parent, UINT id, bool) override;
    void SetCursor() override {}
    int SetSkin(ListCtrlStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void SetObjectName(const wchar_t* name) override;
    void SetShowGrid(int show) override { setShowGrid(show != 0); }
    void ScrollToBottom() override { scrollToBottom(); }
    void ResizeRowsToContents() override { resizeRowsToContents(); }
    void ShowHorizontalScrollBar(int show) override;

    // Fixed answers.
    int GetCheck(int) const override { return 0; }
    int GetColumn(int, void*) const override { return 0; }
    void* GetFirstSelectedItemPosition() const override { return nullptr; }
    int GetNextSelectedItem(void*&) const override { return -1; }
    DWORD GetExtendedStyle() override { return 0; }
    DWORD SetExtendedStyle(DWORD) override { return 0; }
    int SubItemHitTest(void*) override { return -1; }

    // Columns and header.
    int InsertColumn(int col, const wchar_t* heading, int format, int width, int subItem) override;
    int InsertColumnNew(int col, const wchar_t* heading, int apply) override;
    void SetColumnHeaderText(int col, const wchar_t* text) override;
    QString GetHoriazontalHeaderText(int col) override;
    void DeleteColumn(int col) override;
    int SetColumnWidth(int col, int width) override;
    void SetColumnHidden(int col, bool hide) override { setColumnHidden(col, hide); }
    void SetColumnTextAlign(int col, UINT format) override;
    void SetHorizontalHeaderVisible(int visible) override;
    void SetVerticalHeaderHide() override;
    void SetHorHeaderResizeMode(QHeaderView::ResizeMode mode) override;
    void SetSortIndicatorShown(int shown) override;
    void SetHeaderSortEnable(int enable) override;
    void EmitHeadClickFun(int col) override;
    int InsertColumnCheck(int col, ImageRadioBox& style) override;
    int InsertColumnBtn(int col, int id, const wchar_t* tip, ImageButtonStyle& style, int x) override;

    // Rows and cells.
    int InsertItem(int row, const wchar_t* text) override;
    int SetItemText(int row, int col, const wchar_t* text) override;
    int SetItemText(int row, int col, const wchar_t* text, int) override;
    // Copies at most size - 1 units and a terminating zero; answers the units copied, -1 out of range.
    int GetItemText(int row, int col, wchar_t* buffer, int size) const override;
    int GetItemText(int row, int col, wchar_t* buffer, int size, int) const override;
    int SetItemData(int row, DWORD data, int col) override;
    DWORD GetItemData(int row, int col) const override;
    void SetToolTipText(int row, int col, const wchar_t* text) override;
    void SetItemIcon(int row, int col, const wchar_t* path) override;
    int GetItemCount() const override { return rowCount(); }
    int GetColCount() override { return columnCount(); }
    void SetRowCount(int count) override { setRowCount(count); }

    // Selection and colours.
    void SetSelectionStyle(UINT mode) override;
    void SetItemSelected(int* rows, int count, bool select) override;
    int IsSelected(int row) override;
    void GetSelectRow(std::set<int>& rows) override;
    void SetTableColor() override;
    void SetTableItemColor(int row) override;
    void SetRowColor(int row) override;

    // Editing.
    void EditorMode(int col) override { m_editorColumns.push_back(col); }
    void SetItemEditable(int row, int col) override;
    void SetItemEdit(int row, int col) override;

    // Cell controls (CSFQTListCtrlCells.cpp).
    void SetItemWidget(int row, int col, const wchar_t* tip1, const wchar_t* tip2, const wchar_t* tip3,
                       ImageButtonStyle& style1, ImageButtonStyle& style2, ImageButtonStyle& style3) override;
    void SetSingleItem(int row, int col, const wchar_t* tip, ImageButtonStyle& style, int id) override;
    void SetItemProgress(int row, int col, UINT id, ImageProgressCtrlStyle style) override;
    void SetItemCheckWidget(int row, int col, ImageRadioBox& style) override;
    void SetItemEditCtrl(int row, int col, int) override;
    void SetItemPicture(int row, int col, const wchar_t* path) override;
    void AddOperateBtn(int row, int col, const wchar_t* text, int id, ImageButtonStyle& style, int w, int h) override;
    void AddOperateBtnEx(int row, int col, const wchar_t* text, int id, ImageButtonStyle& style, int w, int h,
                         ImageButtonStyle& style2, const wchar_t* text2, int x) override;
    void AddOneOperateBtn(int row, int col, int id, const wchar_t* tip, ImageButtonStyle& style, int w, int h,
                          int x) override;
    void AddOneOperateBtnEx(int row, int col, int id1, const wchar_t* tip1, ImageButtonStyle& style1, int w, int h,
                            int x, int id2, const wchar_t* tip2, ImageButtonStyle& style2) override;
    void DeleteOneOperateBtn(int row, int col, UINT id) override;
    void SetItemComboBox(int row, int col, int type, int id, ImageComboBoxStyle& style, const wchar_t*,
                         const wchar_t*, std::wstring* items) override;
    void GetAlarmInfo() override;
    void SetAlarmInfomation(int* t0, int* t1, int* t2, int* t3, int* t4) override;

    // Per-row operations.
    int SetCheck(int row, int check) override;
    int IsCheck(int row) override;
    void SetAllCheck(int check) override;
    void SetRowEnable(int row, bool enable) override;
    void SetBtnEnable(int row, int id, bool enable) override;
    void SetBtnEnable(int row, bool enable) override;
    void SetItemShow(int row, int col, UINT id, bool show) override;
    void SetProgress(int row, int pos, UINT id) override;
    void SetItemExpand(int row, int col, UINT id, ImageButtonStyle& style, const wchar_t* tip) override;
    void SetOpeBtnText(int row, int id, const wchar_t* text) override;

    // Deletion.
    int DeleteAllItems() override;
    void DeleteRow(int row) override;
    int DeleteAppointRows(int start, int end) override;
    void DeleteSelectedItems(std::set<int>& rows) override;
    void DeleteCheckedRows(std::set<int>& rows) override;

    // Copy menu.
    void SetCopyParas(const wchar_t* icon, const wchar_t* text, int col) override;

    // Sinks of the hosted controls.
    void RADIO_OnClicked(int checked, int id, POINT) override;
    void BTN_OnLButtonDown(int id, UINT, POINT) override;
    void PROGRESS_OnChanged() override {}
    void PROGRESS_OnFinished() override {}
    void PROGRESS_OnClicked() override {}
    void OnLButtonDown(UINT, POINT point) override;
    void SelectChanged(int id, int index, void* combo) override;
    void SelectChanged(int, int) override {}

    // Introspection for callers inside the framework and for tests.
    UINT Id() const { return static_cast<UINT>(m_nId); }
    int RowHeight() const { return m_nRowHeight; }
    int HeaderHeight() const { return m_nHeaderHeight; }
    QColor EvenRowColour() const { return m_evenColor; }
    QColor OddRowColour() const { return m_oddColor; }
    bool SortDescending() const { return m_bDescending; }
    int CopyColumn() const { return m_nCopyColumn; }
    QMenu* CopyMenu() const { return m_pCopyMenu; }
    QAction* CopyAction() const { return m_pCopyAction; }
    CSFQTRadioBox* HeaderCheck() const { return m_pHeaderCheck; }
    CSFQTButton* HeaderButton() const { return m_pHeaderBtn; }
    int ColumnTextFlags(int col) const;
    // Registered controls of a kind in a row, in registration order; a row without its controls
    // at the moment gets them made now (until it is next found out of view).
    std::vector<QWidget*> CellControls(int row, int kind);
    // Whether the row's cell controls exist at the moment.
    bool RowLive(int row) const;
    // Rows whose cell controls exist at the moment.
    int LiveRowCount() const { return static_cast<int>(m_live.size()); }
    // Row of a registered control, or -1.
    int RowOfControl(const QObject* control) const;
    // Cell controls are skinned when their cell is first painted; this skins a cell now.
    static void FlushSkins(QWidget* container);
    // Whether the control's cell still waits to be painted before its skin is applied.
    bool SkinPending(QWidget* control) const;

    // Rows outside the view have no rectangle while the cell controls are placed.
    QRect visualRect(const QModelIndex& index) const override;

protected:
    // Only the cell controls of the rows in view are shown: every shown control costs each repaint
    // a walk over its siblings, so showing all of them makes a repaint grow with the square of the
    // rows.
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    // A cell text cut short with an ellipsis shows in full as the tool tip, when the cell has none.
    bool viewportEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A shown view places every cell control again on each inserted row; rows are appended
    // here, so placing them once at the next layout is enough.
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

private:
    bool m_bPlacingCells = false;

private slots:
    void OnAllCheckClicked();
    void OnItemDBClicked(QTableWidgetItem* item);
    void OnClicked();
    void OnCheckClicked(BOOL checked);
    void OnCellChanged(int, int, int);
    void OnHeaderClicked(int col);
    void OnWidgetItemDBClicked(const QModelIndex& index);
    void OnWidgetItemChanged(QTableWidgetItem* item);
    void OnrangeChanged(int min, int max);
    void OnHeaderPosChanged(int value);
    void OnVerPosBarChanged(int) {}
    void OnHeaderPosChanged1(int);
    void OnHeaderOffset(int, int, int) {}
    void OnCopy();
    void OnStatusChanged(int selection);
    void OnEnDelayChanged(int selection);
    void OnExDelayChanged(int selection);
    void OnTypeChanged(int selection);

private:
    class CellContainer;
    // A registered control and the states set on it through the list (-1: as built).
    struct CellControl {
        QWidget* control = nullptr; // null while its row has no controls
        int kind = 0;
        UINT id = 0;
        bool registered = true;
        int check = -1;
        int enabled = -1;
        int shown = -1;
        int pos = -1;
        std::shared_ptr<ImageButtonStyle> skin;
        std::optional<std::wstring> tip;
        std::optional<std::wstring> text;
    };
    // Builds a cell's container; appends its controls in the order of the cell's registrations.
    using CellBuilder = std::function<CSFQTView*(std::vector<QWidget*>& made)>;
    struct Cell {
        int col = 0;
        bool pinned = false; // built at once and kept (combo boxes and edits hold user input)
        CellBuilder build;
        QWidget* container = nullptr;
        std::vector<CellControl> controls;
    };
    struct RowCells {
        int row = -1;
        bool live = false;
        std::vector<Cell> cells;
    };
    using Registration = std::pair<int, UINT>; // kind, id

    void DetachContainers();
    void OnRowsInserted(const QModelIndex& parent, int first, int last);
    void OnRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void OnModelReset();

    void SendItemNotify(int code, QTableWidgetItem* item);
    void ItemClickNotify(QTableWidgetItem* item);
    void SortRows(int col, Qt::SortOrder order);
    void ApplyTextFlags(QTableWidgetItem* item, int col) const;
    void SetRowBackground(int row, const QColor& colour);
    void KeepBackground(int row, int col, QTableWidgetItem* replacement) const;
    void RemoveRows(const std::set<int>& rows);
    void SetItemChangedConnected(bool on);
    void ApplyHeaderLabels();

    // Cell containers and registrations.
    CSFQTView* NewContainer(bool listSink);
    bool InstallCell(int row, int col, bool pinned, const std::vector<Registration>& registrations,
                     CellBuilder build);
    void RemoveCell(RowCells& cells, int col);
    bool HasCell(int row, int col) const;
    void BuildCell(RowCells& cells, Cell& cell);
    void ApplyState(Cell& cell, CellControl& c);
    void MakeLive(RowCells& cells);
    void ReleaseRow(RowCells& cells);
    void SyncLiveRows();
    void ScheduleSync();
    void NearRows(int& first, int& last) const;
    void ForgetRowEntries(int row, int kind, UINT id);
    void ForgetAll();
    RowCells* Cells(int row) const;
    // First registered control record of a kind (and id, for buttons and progress bars).
    CellControl* FirstRecord(int row, int kind, UINT id) const;
    template <typename T>
    T* FirstControl(int row, int kind, UINT id) const;
    template <typename F>
    void ForEachRecord(int row, F f);
    void Renumber() const;
    CSFQTButton* NewCellButton(CSFQTView* container, int id, const wchar_t* tip, const ImageButtonStyle& style, int w,
                               int h, int y);
    // A new cell button placed after the container's buttons at its offsets, and recorded in made.
    CSFQTButton* AddCellButton(CSFQTView* container, std::vector<QWidget*>& made, int id, const wchar_t* tip,
                               const ImageButtonStyle& style, int w, int h, int y);
    CSFQTProgressCtrl* NewCellProgress(CSFQTView* container, UINT id, const RECT& rect);
    void ComboInterlock(int type, int row, int selection);

    QStringList m_headerLabels;
    int m_nId = -1;
    QColor m_evenColor = QColor(252, 252, 252);
    QColor m_oddColor = QColor(246, 247, 250);
    int m_nRowHeight = 30;
    int m_nHeaderHeight = 40;
    int m_nEditRow = -1;
    int m_nEditCol = -1;
    bool m_bDescending = false;
    bool m_bForceAscending = false;
    std::vector<int> m_editorColumns;
    std::map<int, int> m_columnFlags;
    QString m_savedCellText;
    CSFQTView* m_pHeaderCheckView = nullptr;
    CSFQTRadioBox* m_pHeaderCheck = nullptr;
    CSFQTView* m_pHeaderBtnView = nullptr;
    CSFQTButton* m_pHeaderBtn = nullptr;
    int m_nSortEnabled = 0;
    bool m_bSortConnected = false;
    int m_nHScrollMax = 0;
    QAction* m_pCopyAction = nullptr;
    QMenu* m_pCopyMenu = nullptr;
    int m_nCopyColumn = -1;
    bool m_bItemChangedConnected = false;

    // One entry per table row (null for rows without controls).
    std::vector<std::unique_ptr<RowCells>> m_rows;
    // Registered control -> its row's entry.
    QHash<const QObject*, RowCells*> m_owner;
    // Rows whose cell controls exist.
    std::vector<RowCells*> m_live;
    bool m_bSyncQueued = false;
    bool m_bSyncing = false;
    // Rows in or near the view at the last look.
    bool m_bNearKnown = false;
    int m_nNearFirst = 0;
    int m_nNearLast = -1;
    mutable bool m_bRowsDirty = false;
    int m_nProgressCount = 0;
    int m_nCurrentAlarmRow = -1;
    QHash<QString, QIcon> m_icons; // row icons by file
};
