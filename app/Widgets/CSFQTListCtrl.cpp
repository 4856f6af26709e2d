#include "Widgets/CSFQTListCtrl.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QHeaderView>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTEditCtrl.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/CSFQTView.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFSkin.h"

namespace {

// Width of a cell's text left of the buttons placed after it (a result mark beside an address);
// 0 when the cell has none.
int TextRoomBeforeButtons(const QAbstractItemView* view, const QModelIndex& index)
{
    auto* cell = dynamic_cast<CSFQTView*>(view->indexWidget(index));
    return cell && cell->m_nFirstButtonX > 0 ? cell->m_nFirstButtonX : 0;
}

// Cuts a cell's text with an ellipsis before the buttons that follow it instead of under them.
class CellTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        auto* view = qobject_cast<const QAbstractItemView*>(parent());
        const int room = view ? TextRoomBeforeButtons(view, index) : 0;
        if (room <= 0 || option->text.isEmpty())
            return;
        // The style draws the text 3 pixels in from each side of its room.
        int width = room - 6;
        if (!option->icon.isNull())
            width -= option->decorationSize.width() + 4;
        // Measured as callers measure the text before placing buttons after it: eliding measures
        // a fraction of a pixel more and would cut a text that was given just its room.
        if (option->fontMetrics.horizontalAdvance(option->text) > width)
            option->text = option->fontMetrics.elidedText(option->text, Qt::ElideRight, std::max(width, 0));
    }
};

// Header whose height the skin fixes: its size hint needs no measuring of every heading, which
// the table would otherwise redo for all columns at each inserted column.
class FixedHeightHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

    QSize sizeHint() const override
    {
        if (minimumHeight() > 0 && minimumHeight() == maximumHeight())
            return QSize(defaultSectionSize(), minimumHeight());
        return QHeaderView::sizeHint();
    }
};

} // namespace

Q_LOGGING_CATEGORY(lcSFList, "widgets.list", QtWarningMsg)

namespace {
enum { NotifyClick = 2, NotifyDoubleClick = 3, NotifySorted = 9, NotifyEdited = 10 };
}

CSFQTListCtrl::CSFQTListCtrl(ISFListCtrlEvent* sink) : QTableWidget(nullptr), CSFListCtrl(sink)
{
    auto* header = new FixedHeightHeader(Qt::Horizontal, this);
    setHorizontalHeader(header);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setSectionsClickable(true);
    header->setStretchLastSection(true);
    verticalHeader()->hide();
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    // Rows have a fixed height: a text wider than its column is cut with an ellipsis, not wrapped.
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new CellTextDelegate(this));
    // A highlighted row is a light tint of the accent colour with dark text, so that the blue
    // type icons and cell buttons stay visible on it.
    QPalette colours = palette();
    colours.setColor(QPalette::Highlight, QColor(0xD6, 0xE8, 0xFC));
    colours.setColor(QPalette::HighlightedText, QColor(0x1B, 0x24, 0x30));
    setPalette(colours);

    m_pCopyAction = new QAction(this);
    connect(this, &QTableWidget::itemDoubleClicked, this, &CSFQTListCtrl::OnItemDBClicked);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &CSFQTListCtrl::OnHeaderPosChanged);
    connect(horizontalScrollBar(), &QScrollBar::rangeChanged, this, &CSFQTListCtrl::OnrangeChanged);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &CSFQTListCtrl::OnVerPosBarChanged);
    connect(m_pCopyAction, &QAction::triggered, this, &CSFQTListCtrl::OnCopy);

    // Cell-control rows follow the table's rows.
    connect(model(), &QAbstractItemModel::rowsInserted, this, &CSFQTListCtrl::OnRowsInserted);
    connect(model(), &QAbstractItemModel::rowsAboutToBeRemoved, this, &CSFQTListCtrl::OnRowsAboutToBeRemoved);
    connect(model(), &QAbstractItemModel::modelReset, this, &CSFQTListCtrl::OnModelReset);
}

CSFQTListCtrl::~CSFQTListCtrl()
{
    disconnect(model(), nullptr, this, nullptr);
    DetachContainers();
}

int CSFQTListCtrl::Create(DWORD, const RECT& rect, void* parent, UINT id, bool)
{
    setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    setParent(static_cast<QWidget*>(parent));
    m_nId = static_cast<int>(id);
    return 1;
}

int CSFQTListCtrl::SetSkin(ListCtrlStyle* style)
{
    if (!style)
        return 0;
    m_evenColor = SFParseColor(style->strEvenRowColor);
    m_oddColor = SFParseColor(style->strOddRowColor);
    m_nHeaderHeight = style->nHeaderHeight;
    horizontalHeader()->setFixedHeight(m_nHeaderHeight);
    m_nRowHeight = style->nRowHeight;
    return 1;
}

void CSFQTListCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

void CSFQTListCtrl::SetObjectName(const wchar_t* name)
{
    const QString n = SFFromWide(name);
    setObjectName(n);
    horizontalHeader()->setObjectName(n);
}

void CSFQTListCtrl::ShowHorizontalScrollBar(int show)
{
    horizontalScrollBar()->setVisible(show != 0);
}

// ---- Columns and header ----------------------------------------------------------------------

void CSFQTListCtrl::ApplyHeaderLabels()
{
    setHorizontalHeaderLabels(m_headerLabels);
}

int CSFQTListCtrl::InsertColumn(int col, const wchar_t* heading, int format, int, int)
{
    if (col < 0 || col > m_headerLabels.size())
        return -1;
    m_headerLabels.insert(col, SFFromWide(heading));
    setColumnCount(static_cast<int>(m_headerLabels.size()));
    const int w = width() / columnCount();
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, w);
    if (format == 1)
        setColumnHidden(col, true);
    // An appended column only needs its own heading.
    if (col == columnCount() - 1)
        setHorizontalHeaderItem(col, new QTableWidgetItem(m_headerLabels.at(col)));
    else
        ApplyHeaderLabels();
    return col;
}

int CSFQTListCtrl::InsertColumnNew(int col, const wchar_t* heading, int apply)
{
    if (col < 0 || col > m_headerLabels.size())
        return -1;
    m_headerLabels.insert(col, SFFromWide(heading));
    if (apply) {
        setColumnCount(static_cast<int>(m_headerLabels.size()));
        ApplyHeaderLabels();
    }
    return col;
}

void CSFQTListCtrl::SetColumnHeaderText(int col, const wchar_t* text)
{
    if (col < 0 || col >= m_headerLabels.size())
        return;
    m_headerLabels[col] = SFFromWide(text);
    ApplyHeaderLabels();
}

QString CSFQTListCtrl::GetHoriazontalHeaderText(int col)
{
    if (col < 0 || col >= m_headerLabels.size())
        return QString();
    return m_headerLabels.at(col);
}

void CSFQTListCtrl::DeleteColumn(int col)
{
    // Cells of the column go with it; those to its right move one column left, as the view's
    // controls do.
    if (col >= 0 && col < columnCount()) {
        Renumber();
        for (auto& cells : m_rows) {
            if (!cells)
                continue;
            RemoveCell(*cells, col);
            for (Cell& cell : cells->cells) {
                if (cell.col > col)
                    --cell.col;
            }
        }
    }
    removeColumn(col);
    if (col >= 0 && col < m_headerLabels.size())
        m_headerLabels.removeAt(col);
}

int CSFQTListCtrl::SetColumnWidth(int col, int width)
{
    setColumnWidth(col, width);
    return 1;
}

void CSFQTListCtrl::SetColumnTextAlign(int col, UINT format)
{
    const UINT low = format & 0xFF;
    int flags = 0;
    if (low & 0x2)
        flags = Qt::AlignRight;
    else if (low & 0x1)
        flags = Qt::AlignHCenter;
    else
        flags = Qt::AlignLeft;
    if (low & 0x4)
        flags |= Qt::AlignVCenter;
    if (low & 0x10) {
        flags &= ~Qt::TextSingleLine;
        flags |= Qt::TextWrapAnywhere | Qt::TextDontClip;
    }
    if (low & 0x20) {
        flags &= ~Qt::TextWordWrap;
        flags |= Qt::TextSingleLine;
    }
    m_columnFlags[col] = flags;
}

int CSFQTListCtrl::ColumnTextFlags(int col) const
{
    const auto it = m_columnFlags.find(col);
    return it == m_columnFlags.end() ? -1 : it->second;
}

void CSFQTListCtrl::ApplyTextFlags(QTableWidgetItem* item, int col) const
{
    const auto it = m_columnFlags.find(col);
    if (it != m_columnFlags.end())
        item->setData(Qt::TextAlignmentRole, it->second);
}

void CSFQTListCtrl::SetHorizontalHeaderVisible(int visible)
{
    horizontalHeader()->setVisible(visible != 0);
}

void CSFQTListCtrl::SetVerticalHeaderHide()
{
    horizontalHeader()->hide();
}

void CSFQTListCtrl::SetHorHeaderResizeMode(QHeaderView::ResizeMode mode)
{
    horizontalHeader()->setSectionResizeMode(mode);
}

void CSFQTListCtrl::SetSortIndicatorShown(int shown)
{
    horizontalHeader()->setSortIndicatorShown(shown != 0);
}

void CSFQTListCtrl::SetHeaderSortEnable(int enable)
{
    m_nSortEnabled = enable;
    if (!enable) {
        horizontalHeader()->setSortIndicatorShown(false);
        return;
    }
    if (!m_bSortConnected) {
        connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CSFQTListCtrl::OnHeaderClicked);
        m_bSortConnected = true;
    }
}

void CSFQTListCtrl::EmitHeadClickFun(int col)
{
    m_bForceAscending = true;
    OnHeaderClicked(col);
}

void CSFQTListCtrl::OnHeaderClicked(int col)
{
    if (!m_nSortEnabled)
        return;
    QHeaderView* header = horizontalHeader();
    if (col <= 0) {
        header->setSortIndicatorShown(false);
        return;
    }
    if (rowCount() > 0 && HasCell(0, col)) {
        const QTableWidgetItem* first = item(0, col);
        if (!first || first->data(Qt::UserRole).toInt() != 1) {
            header->setSortIndicatorShown(false);
            return;
        }
    }
    if (m_bSortConnected)
        disconnect(header, &QHeaderView::sectionClicked, this, &CSFQTListCtrl::OnHeaderClicked);
    header->setSortIndicatorShown(true);
    Qt::SortOrder order = Qt::AscendingOrder;
    if (m_bForceAscending) {
        m_bForceAscending = false;
    } else {
        m_bDescending = !m_bDescending;
        order = m_bDescending ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    header->setSortIndicator(col, order);
    SortRows(col, order);
    int column = col;
    SFSendToParent(this, SF_MSG_NOTIFY, NotifySorted, &column, m_nId);
    if (m_bSortConnected)
        connect(header, &QHeaderView::sectionClicked, this, &CSFQTListCtrl::OnHeaderClicked);
}

void CSFQTListCtrl::SortRows(int col, Qt::SortOrder order)
{
    const int rows = rowCount();
    // Remember where each row's sort item was, so the cell-control rows follow the sort.
    QHash<const QTableWidgetItem*, int> before;
    std::vector<int> unsortable;
    before.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        if (const QTableWidgetItem* it = item(r, col))
            before.insert(it, r);
        else
            unsortable.push_back(r);
    }
    sortItems(col, order);
    std::vector<std::unique_ptr<RowCells>> sorted(static_cast<size_t>(rows));
    size_t next = 0;
    for (int r = 0; r < rows && r < static_cast<int>(m_rows.size()); ++r) {
        const QTableWidgetItem* it = item(r, col);
        int old = -1;
        if (it)
            old = before.value(it, -1);
        else if (next < unsortable.size())
            old = unsortable[next++];
        if (old >= 0 && old < static_cast<int>(m_rows.size()))
            sorted[static_cast<size_t>(r)] = std::move(m_rows[static_cast<size_t>(old)]);
    }
    m_rows.swap(sorted);
    m_bRowsDirty = true;
}

int CSFQTListCtrl::InsertColumnCheck(int, ImageRadioBox& style)
{
    delete m_pHeaderCheckView;
    m_pHeaderCheckView = NewContainer(false);
    m_pHeaderCheckView->setParent(this);
    m_pHeaderCheck = new CSFQTRadioBox(this);
    m_pHeaderCheck->SetSkin(&style);
    m_pHeaderCheck->Create(L"", 0x10010000, RECT{0, 0, 16, 16}, m_pHeaderCheckView, IdHeaderCheck);
    const int y = (m_nHeaderHeight - 16) / 2;
    m_pHeaderCheck->setGeometry(0, y, 16, 16);
    m_pHeaderCheckView->m_nTopOffset = y;
    m_pHeaderCheckView->AddRadioBox(m_pHeaderCheck);
    m_pHeaderCheckView->setGeometry(0, 0, m_pHeaderCheck->geometry().right() + 1, m_nHeaderHeight);
    m_pHeaderCheckView->show();
    return 0;
}

int CSFQTListCtrl::InsertColumnBtn(int col, int id, const wchar_t* tip, ImageButtonStyle& style, int x)
{
    delete m_pHeaderBtnView;
    m_pHeaderBtnView = NewContainer(false);
    m_pHeaderBtnView->setParent(this);
    m_pHeaderBtn = new CSFQTButton(this);
    m_pHeaderBtn->SetSkin(&style);
    m_pHeaderBtn->Create(L"", 0x10010000, RECT{0, 0, 16, 16}, m_pHeaderBtnView, static_cast<UINT>(id));
    m_pHeaderBtn->SetToolTipText(tip);
    const int y = (m_nHeaderHeight - 16) / 2;
    m_pHeaderBtn->setGeometry(0, y, 16, 16);
    m_pHeaderBtnView->m_nTopOffset = y;
    m_pHeaderBtnView->AddButton(m_pHeaderBtn);
    m_pHeaderBtnView->setGeometry(x, 0, m_pHeaderBtn->geometry().right() + 1, m_nHeaderHeight);
    m_pHeaderBtnView->show();
    if (col >= 0) {
        setColumnCount(col + 1);
        while (m_headerLabels.size() <= col)
            m_headerLabels.append(QString());
        m_headerLabels[col] = QString();
        ApplyHeaderLabels();
    }
    return 0;
}

void CSFQTListCtrl::OnHeaderPosChanged1(int)
{
    if (m_pHeaderBtnView)
        m_pHeaderBtnView->move(250, 0);
}

void CSFQTListCtrl::OnrangeChanged(int, int max)
{
    m_nHScrollMax = max;
}

void CSFQTListCtrl::OnHeaderPosChanged(int value)
{
    if (m_pHeaderCheckView) {
        if (rowCount() == 0) {
            m_pHeaderCheckView->setVisible(value == 0);
        } else if (HasCell(0, 0)) {
            const int x = viewport()->mapTo(this, QPoint(columnViewportPosition(0), 0)).x();
            m_pHeaderCheckView->move(x, m_pHeaderCheckView->y());
        }
    }
    if (m_nProgressCount <= 0)
        return;
    const int cols = columnCount();
    auto sum = [this](int from, int to) {
        int total = 0;
        for (int c = from; c <= to; ++c)
            total += columnWidth(c);
        return total;
    };
    int a = 0;
    int b = 0;
    if (value < m_nHScrollMax) {
        a = sum(value, 5);
        b = sum(value, 6);
    } else {
        a = width() - sum(6, cols - 1);
        b = width() - sum(7, cols - 1);
    }
    for (RowCells* cells : m_live) {
        for (const Cell& cell : cells->cells) {
            if (cell.container && (cell.col == 6 || cell.col == 7))
                cell.container->move(cell.col == 6 ? a : b, cell.container->y());
        }
    }
}

void CSFQTListCtrl::rowsInserted(const QModelIndex& parent, int start, int end)
{
    if (isVisible())
        scheduleDelayedItemsLayout();
    else
        QTableWidget::rowsInserted(parent, start, end);
}

// ---- Rows and cells --------------------------------------------------------------------------

void CSFQTListCtrl::SetItemChangedConnected(bool on)
{
    if (on == m_bItemChangedConnected)
        return;
    if (on)
        connect(this, &QTableWidget::itemChanged, this, &CSFQTListCtrl::OnWidgetItemChanged);
    else
        disconnect(this, &QTableWidget::itemChanged, this, &CSFQTListCtrl::OnWidgetItemChanged);
    m_bItemChangedConnected = on;
}

int CSFQTListCtrl::InsertItem(int row, const wchar_t* text)
{
    if (row < 0 || row > rowCount())
        return -1;
    SetItemChangedConnected(false);
    insertRow(rowCount());
    auto* it = new QTableWidgetItem(SFFromWide(text));
    if (m_columnFlags.count(0))
        ApplyTextFlags(it, 0);
    setItem(row, 0, it);
    setRowHeight(row, m_nRowHeight);
    return row;
}

int CSFQTListCtrl::SetItemText(int row, int col, const wchar_t* text)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return 0;
    auto* it = new QTableWidgetItem(SFFromWide(text));
    ApplyTextFlags(it, col);
    KeepBackground(row, col, it);
    setItem(row, col, it);
    return 1;
}

// A new text keeps the cell's row colour (stripe or highlight).
void CSFQTListCtrl::KeepBackground(int row, int col, QTableWidgetItem* replacement) const
{
    if (const QTableWidgetItem* old = item(row, col)) {
        const QVariant background = old->data(Qt::BackgroundRole);
        if (background.isValid())
            replacement->setData(Qt::BackgroundRole, background);
    }
}

int CSFQTListCtrl::SetItemText(int row, int col, const wchar_t* text, int)
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount() || !text)
        return 0;
    auto* it = new QTableWidgetItem(SFFromWide(text));
    KeepBackground(row, col, it);
    setItem(row, col, it);
    const CellControl* edit = FirstRecord(row, KindEdit, 0);
    if (edit && edit->control)
        static_cast<CSFQTEditCtrl*>(edit->control)->SetWindowTextW(text);
    return 1;
}

int CSFQTListCtrl::GetItemText(int row, int col, wchar_t* buffer, int size) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return -1;
    const QTableWidgetItem* it = item(row, col);
    return SFCopyText(it ? it->text() : QString(), buffer, size);
}

int CSFQTListCtrl::SetItemData(int row, DWORD data, int col)
{
    if (row < 0 || row >= rowCount())
        return 0;
    if (QTableWidgetItem* it = item(row, col))
        it->setData(Qt::UserRole, static_cast<int>(data));
    return 1;
}

DWORD CSFQTListCtrl::GetItemData(int row, int col) const
{
    if (row < 0 || row >= rowCount())
        return static_cast<DWORD>(-1);
    const QTableWidgetItem* it = item(row, col);
    return it ? static_cast<DWORD>(it->data(Qt::UserRole).toInt()) : 0;
}

void CSFQTListCtrl::SetToolTipText(int row, int col, const wchar_t* text)
{
    if (QTableWidgetItem* it = item(row, col))
        it->setToolTip(SFFromWide(text));
}

void CSFQTListCtrl::SetItemIcon(int row, int col, const wchar_t* path)
{
    QTableWidgetItem* it = item(row, col);
    if (!it)
        return;
    // The picture as it is in every state: the style's tint of a selected icon hides it. Rows
    // share a few pictures: each is read once.
    const QString file = SFFromWide(path);
    auto known = m_icons.constFind(file);
    if (known == m_icons.constEnd()) {
        const QPixmap picture(file);
        QIcon icon;
        icon.addPixmap(picture, QIcon::Normal);
        icon.addPixmap(picture, QIcon::Selected);
        known = m_icons.insert(file, icon);
    }
    it->setIcon(*known);
}

// ---- Selection and colours -------------------------------------------------------------------

void CSFQTListCtrl::SetSelectionStyle(UINT mode)
{
    static const QAbstractItemView::SelectionMode modes[] = {
        QAbstractItemView::NoSelection, QAbstractItemView::SingleSelection, QAbstractItemView::MultiSelection,
        QAbstractItemView::ExtendedSelection, QAbstractItemView::ContiguousSelection};
    if (mode <= 4)
        setSelectionMode(modes[mode]);
}

void CSFQTListCtrl::SetItemSelected(int* rows, int, bool select)
{
    if (!rows)
        return;
    const int row = rows[0];
    qCDebug(lcSFList, "SetItemSelected... nRow: %d", row);
    const int scroll = verticalScrollBar()->value();
    clearSelection();
    if (row >= 0 && row < rowCount() && columnCount() > 0) {
        const QItemSelection range(model()->index(row, 0), model()->index(row, columnCount() - 1));
        selectionModel()->select(range, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
    }
    verticalScrollBar()->setValue(scroll);
}

int CSFQTListCtrl::IsSelected(int row)
{
    const QTableWidgetItem* it = item(row, 0);
    return it && it->isSelected() ? 1 : 0;
}

void CSFQTListCtrl::GetSelectRow(std::set<int>& rows)
{
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.insert(index.row());
}

void CSFQTListCtrl::SetRowBackground(int row, const QColor& colour)
{
    const QBrush brush(colour);
    for (int c = 0; c < columnCount(); ++c)
        model()->setData(model()->index(row, c), brush, Qt::BackgroundRole);
}

void CSFQTListCtrl::SetTableColor()
{
    for (int r = 0; r < rowCount(); ++r)
        SetRowBackground(r, r % 2 == 0 ? m_evenColor : m_oddColor);
}

void CSFQTListCtrl::SetTableItemColor(int row)
{
    if (row >= 0 && row < rowCount())
        SetRowBackground(row, row % 2 == 0 ? m_evenColor : m_oddColor);
}

void CSFQTListCtrl::SetRowColor(int row)
{
    if (row >= 0 && row < rowCount())
        SetRowBackground(row, QColor(230, 110, 100));
}

// ---- Notifications ---------------------------------------------------------------------------

void CSFQTListCtrl::SendItemNotify(int code, QTableWidgetItem* item)
{
    SF_LIST_NOTIFY notify;
    std::memset(&notify, 0, sizeof(notify));
    notify.iItem = item->row();
    notify.iSubItem = item->column();
    notify.lParam = item->data(Qt::UserRole).toInt();
    SFSendToParent(this, SF_MSG_NOTIFY, code, &notify, m_nId);
}

void CSFQTListCtrl::ItemClickNotify(QTableWidgetItem* item)
{
    if (!item || !parent())
        return;
    qCDebug(lcSFList, "OnItemClicked...row: %d", item->row());
    if (m_nEditRow != -1) {
        if (QTableWidgetItem* editing = this->item(m_nEditRow, m_nEditCol))
            closePersistentEditor(editing);
        m_nEditRow = m_nEditCol = -1;
    }
    SendItemNotify(NotifyClick, item);
}

QRect CSFQTListCtrl::visualRect(const QModelIndex& index) const
{
    const QRect r = QTableWidget::visualRect(index);
    if (m_bPlacingCells && r.isValid() && (r.bottom() < 0 || r.top() >= viewport()->height()))
        return QRect();
    return r;
}

void CSFQTListCtrl::updateEditorGeometries()
{
    // Rows coming into view get their cell controls, rows gone far from it give them up. A
    // hidden list (it may be closing) does so at the next turn of the loop.
    if (isVisible())
        SyncLiveRows();
    else
        ScheduleSync();
    // The view shows the controls whose cell has a rectangle and hides the others.
    m_bPlacingCells = true;
    QTableWidget::updateEditorGeometries();
    m_bPlacingCells = false;
}

void CSFQTListCtrl::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    if (dy != 0)
        updateEditorGeometries();
}

bool CSFQTListCtrl::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        QTableWidgetItem* it = index.isValid() ? item(index.row(), index.column()) : nullptr;
        if (it && it->toolTip().isEmpty() && !it->text().isEmpty()) {
            // The room the delegate leaves for the text: the cell less its margins and icon.
            int room = visualRect(index).width() - 8;
            if (const int before = TextRoomBeforeButtons(this, index); before > 0)
                room = std::min(room, before - 8);
            if (!it->icon().isNull())
                room -= (iconSize().isValid() ? iconSize().width() : style()->pixelMetric(QStyle::PM_SmallIconSize)) + 4;
            if (QFontMetrics(it->font()).horizontalAdvance(it->text()) > room) {
                QToolTip::showText(help->globalPos(), it->text(), viewport());
                return true;
            }
        }
    }
    return QTableWidget::viewportEvent(event);
}

void CSFQTListCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    QTableWidget::mouseReleaseEvent(event);
    const bool any = selectionModel()->hasSelection();
    if (m_pSink)
        m_pSink->Selection_OnMouseRelease(any ? 1 : 0);
    const int col = currentColumn() < 0 ? 0 : currentColumn();
    const int row = currentRow() < 0 ? 0 : currentRow();
    if (any)
        ItemClickNotify(item(row, col));
    if (col == m_nCopyColumn && event->button() == Qt::RightButton) {
        if (!m_pCopyMenu) {
            m_pCopyMenu = new QMenu(this);
            m_pCopyMenu->addAction(m_pCopyAction);
        }
        m_pCopyMenu->popup(QCursor::pos());
    }
}

void CSFQTListCtrl::OnItemDBClicked(QTableWidgetItem* item)
{
    if (!item || !parent())
        return;
    if (m_nEditRow != -1) {
        if (QTableWidgetItem* editing = this->item(m_nEditRow, m_nEditCol))
            closePersistentEditor(editing);
        m_nEditRow = m_nEditCol = -1;
    }
    const int col = item->column();
    if (std::find(m_editorColumns.begin(), m_editorColumns.end(), col) != m_editorColumns.end()) {
        setCurrentCell(item->row(), col);
        openPersistentEditor(item);
        editItem(item);
        m_nEditRow = item->row();
        m_nEditCol = col;
    }
    SendItemNotify(NotifyDoubleClick, item);
}

void CSFQTListCtrl::SetItemEditable(int row, int col)
{
    QTableWidgetItem* it = item(row, col);
    if (!it)
        return;
    it->setFlags(it->flags() | Qt::ItemIsEditable);
    connect(this, &QAbstractItemView::doubleClicked, this, &CSFQTListCtrl::OnWidgetItemDBClicked,
            Qt::UniqueConnection);
}

void CSFQTListCtrl::OnWidgetItemDBClicked(const QModelIndex& index)
{
    QTableWidgetItem* it = itemFromIndex(index);
    if (!it)
        return;
    if (index.column() == 5) {
        m_savedCellText = it->text();
        editItem(it);
        SetItemChangedConnected(true);
    } else {
        SetItemChangedConnected(false);
    }
}

void CSFQTListCtrl::OnWidgetItemChanged(QTableWidgetItem* item)
{
    if (item)
        SendItemNotify(NotifyEdited, item);
}

void CSFQTListCtrl::SetItemEdit(int row, int col)
{
    SetItemChangedConnected(false);
    if (QTableWidgetItem* it = item(row, col))
        it->setText(m_savedCellText);
    SetItemChangedConnected(true);
}

void CSFQTListCtrl::OnCellChanged(int, int, int)
{
    viewport()->update();
}

// ---- Copy menu -------------------------------------------------------------------------------

void CSFQTListCtrl::SetCopyParas(const wchar_t* icon, const wchar_t* text, int col)
{
    m_pCopyAction->setIcon(SFSkinIcon(SFSkinPath(icon ? std::wstring(icon) : std::wstring())));
    m_pCopyAction->setText(SFFromWide(text));
    m_nCopyColumn = col;
}

void CSFQTListCtrl::OnCopy()
{
    const QTableWidgetItem* it = item(currentRow(), currentColumn());
    QApplication::clipboard()->setText(it ? it->text() : QString());
}

CSFListCtrl* CreateSFListCtrl(ISFListCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTListCtrl(sink);
}
