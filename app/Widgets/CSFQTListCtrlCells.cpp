// Cell controls of the list: creation, registrations by row, clicks, per-row operations,
// row deletion and the alarm combo boxes.
#include <algorithm>
#include <array>
#include <cwchar>
#include <functional>
#include <memory>

#include <QHeaderView>
#include <QLoggingCategory>
#include <QScrollBar>

#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTComboBox.h"
#include "Widgets/CSFQTEditCtrl.h"
#include "Widgets/CSFQTListCtrl.h"
#include "Widgets/CSFQTPictureCtrl.h"
#include "Widgets/CSFQTProgressCtrl.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/CSFQTView.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFMsgMap.h"
#include "Widgets/SFSkin.h"

Q_DECLARE_LOGGING_CATEGORY(lcSFList)

namespace {
enum { NotifyClick = 2 };
const UINT kComboBase[5] = {0x30000000u, 0x40000000u, 0x50000000u, 0x70000000u, 0x80000000u};
enum { kMaxAlarmRows = 8 };
// Above this many separate runs of rows, a removal moves the rows together first.
enum { kMaxSeparateRemovals = 16 };
// Rows above and below the view whose cell controls are made before they scroll in.
enum { kNearRows = 4 };

// Keeps the scroll positions of the list across a change.
class ScrollKeeper {
public:
    explicit ScrollKeeper(QAbstractScrollArea* area, bool horizontal = false)
        : m_area(area), m_v(area->verticalScrollBar()->value()), m_h(area->horizontalScrollBar()->value()),
          m_horizontal(horizontal)
    {
    }
    ~ScrollKeeper()
    {
        m_area->verticalScrollBar()->setValue(m_v);
        if (m_horizontal)
            m_area->horizontalScrollBar()->setValue(m_h);
    }

private:
    QAbstractScrollArea* m_area;
    int m_v;
    int m_h;
    bool m_horizontal;
};
}  // namespace

// Cell container that skins its controls when it is first painted: of a long list only the
// rows in view are ever painted, and loading skin images is the dearest part of a new row.
class CSFQTListCtrl::CellContainer : public CSFQTView {
public:
    explicit CellContainer(ISFViewEvent* sink) : CSFQTView(sink) {}

    void Later(std::function<void()> skin) { m_pending.push_back(std::move(skin)); }
    void Flush()
    {
        if (m_pending.empty())
            return;
        std::vector<std::function<void()>> pending;
        pending.swap(m_pending);
        for (auto& skin : pending)
            skin();
    }
    bool HasPending() const { return !m_pending.empty(); }
    // The list is going away: its containers must not call it back while they are destroyed.
    void DetachSink() { m_pSink = nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        Flush();
        CSFQTView::paintEvent(event);
    }

private:
    std::vector<std::function<void()>> m_pending;
};

void CSFQTListCtrl::DetachContainers()
{
    for (QObject* child : viewport()->children()) {
        if (auto* cell = dynamic_cast<CellContainer*>(child))
            cell->DetachSink();
    }
}

void CSFQTListCtrl::FlushSkins(QWidget* container)
{
    if (auto* cell = dynamic_cast<CellContainer*>(container))
        cell->Flush();
}

bool CSFQTListCtrl::SkinPending(QWidget* control) const
{
    auto* cell = control ? dynamic_cast<CellContainer*>(control->parentWidget()) : nullptr;
    return cell && cell->HasPending();
}

// ---- Registrations ---------------------------------------------------------------------------

void CSFQTListCtrl::OnRowsInserted(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || first < 0 || last < first)
        return;
    const size_t at = std::min(static_cast<size_t>(first), m_rows.size());
    const size_t n = static_cast<size_t>(last - first + 1);
    const bool append = at == m_rows.size();
    m_rows.resize(m_rows.size() + n);
    if (!append) {
        std::move_backward(m_rows.begin() + static_cast<std::ptrdiff_t>(at),
                           m_rows.end() - static_cast<std::ptrdiff_t>(n), m_rows.end());
        m_bRowsDirty = true;
    }
}

void CSFQTListCtrl::OnRowsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    if (parent.isValid() || first < 0)
        return;
    const size_t begin = std::min(static_cast<size_t>(first), m_rows.size());
    const size_t end = std::min(static_cast<size_t>(last) + 1, m_rows.size());
    for (size_t r = begin; r < end; ++r) {
        RowCells* cells = m_rows[r].get();
        if (!cells)
            continue;
        for (const Cell& cell : cells->cells) {
            for (const CellControl& c : cell.controls) {
                if (c.control)
                    m_owner.remove(c.control);
                if (c.registered && c.kind == KindProgress)
                    --m_nProgressCount;
            }
        }
        // The view releases the row's containers itself.
        if (cells->live)
            m_live.erase(std::remove(m_live.begin(), m_live.end(), cells), m_live.end());
    }
    m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(begin), m_rows.begin() + static_cast<std::ptrdiff_t>(end));
    if (begin < m_rows.size())
        m_bRowsDirty = true;
}

void CSFQTListCtrl::OnModelReset()
{
    ForgetAll();
    m_rows.resize(static_cast<size_t>(rowCount()));
}

void CSFQTListCtrl::ForgetAll()
{
    for (auto& cells : m_rows)
        cells.reset();
    m_owner.clear();
    m_live.clear();
    m_nProgressCount = 0;
}

void CSFQTListCtrl::Renumber() const
{
    if (!m_bRowsDirty)
        return;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        if (m_rows[r])
            m_rows[r]->row = static_cast<int>(r);
    }
    m_bRowsDirty = false;
}

CSFQTListCtrl::RowCells* CSFQTListCtrl::Cells(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    return m_rows[static_cast<size_t>(row)].get();
}

int CSFQTListCtrl::RowOfControl(const QObject* control) const
{
    const RowCells* cells = m_owner.value(control, nullptr);
    if (!cells)
        return -1;
    Renumber();
    return cells->row;
}

bool CSFQTListCtrl::RowLive(int row) const
{
    const RowCells* cells = Cells(row);
    return cells && cells->live;
}

bool CSFQTListCtrl::HasCell(int row, int col) const
{
    if (const RowCells* cells = Cells(row)) {
        for (const Cell& cell : cells->cells) {
            if (cell.col == col)
                return true;
        }
    }
    return false;
}

std::vector<QWidget*> CSFQTListCtrl::CellControls(int row, int kind)
{
    std::vector<QWidget*> out;
    RowCells* cells = Cells(row);
    if (!cells)
        return out;
    if (!cells->live) {
        Renumber();
        MakeLive(*cells);
    }
    for (const Cell& cell : cells->cells) {
        for (const CellControl& c : cell.controls) {
            if (c.registered && c.kind == kind && c.control)
                out.push_back(c.control);
        }
    }
    return out;
}

template <typename F>
void CSFQTListCtrl::ForEachRecord(int row, F f)
{
    if (RowCells* cells = Cells(row)) {
        for (Cell& cell : cells->cells) {
            for (CellControl& c : cell.controls) {
                if (c.registered)
                    f(cell, c);
            }
        }
    }
}

CSFQTListCtrl::CellControl* CSFQTListCtrl::FirstRecord(int row, int kind, UINT id) const
{
    if (RowCells* cells = Cells(row)) {
        for (Cell& cell : cells->cells) {
            for (CellControl& c : cell.controls) {
                if (c.registered && c.kind == kind && (kind != KindButton && kind != KindProgress ? true : c.id == id))
                    return &c;
            }
        }
    }
    return nullptr;
}

template <typename T>
T* CSFQTListCtrl::FirstControl(int row, int kind, UINT id) const
{
    const CellControl* c = FirstRecord(row, kind, id);
    return c ? static_cast<T*>(c->control) : nullptr;
}

void CSFQTListCtrl::ForgetRowEntries(int row, int kind, UINT id)
{
    ForEachRecord(row, [this, kind, id](Cell&, CellControl& c) {
        if (c.kind == kind && c.id == id) {
            c.registered = false;
            if (c.control)
                m_owner.remove(c.control);
            if (kind == KindProgress)
                --m_nProgressCount;
        }
    });
}

void CSFQTListCtrl::RemoveCell(RowCells& cells, int col)
{
    for (auto it = cells.cells.begin(); it != cells.cells.end(); ++it) {
        if (it->col != col)
            continue;
        for (const CellControl& c : it->controls) {
            if (c.control)
                m_owner.remove(c.control);
            if (c.registered && c.kind == KindProgress)
                --m_nProgressCount;
        }
        if (it->container) {
            // Released later: the removal may come from a click of one of its controls.
            QAbstractItemView::closePersistentEditor(model()->index(cells.row, col));
        }
        cells.cells.erase(it);
        return;
    }
}

bool CSFQTListCtrl::InstallCell(int row, int col, bool pinned, const std::vector<Registration>& registrations,
                                CellBuilder build)
{
    if (!model()->index(row, col).isValid() || row >= static_cast<int>(m_rows.size()))
        return false;
    Renumber();
    auto& slot = m_rows[static_cast<size_t>(row)];
    if (!slot) {
        slot.reset(new RowCells);
        slot->row = row;
    }
    RowCells& cells = *slot;
    RemoveCell(cells, col);
    Cell cell;
    cell.col = col;
    cell.pinned = pinned;
    cell.build = std::move(build);
    for (const Registration& r : registrations) {
        CellControl c;
        c.kind = r.first;
        c.id = r.second;
        cell.controls.push_back(c);
        if (c.kind == KindProgress)
            ++m_nProgressCount;
    }
    cells.cells.push_back(std::move(cell));
    if (pinned || cells.live) {
        BuildCell(cells, cells.cells.back());
        return true;
    }
    // The row range near the view is worked out once per turn of the loop: rows appended in
    // bulk only compare their number with it.
    if (!m_bNearKnown) {
        NearRows(m_nNearFirst, m_nNearLast);
        m_bNearKnown = true;
    }
    ScheduleSync();
    if (row >= m_nNearFirst && row <= m_nNearLast)
        MakeLive(cells);
    return true;
}

void CSFQTListCtrl::BuildCell(RowCells& cells, Cell& cell)
{
    if (cell.container)
        return;
    const QModelIndex index = model()->index(cells.row, cell.col);
    if (!index.isValid())
        return;
    std::vector<QWidget*> made;
    CSFQTView* container = cell.build(made);
    cell.container = container;
    for (size_t i = 0; i < cell.controls.size(); ++i) {
        CellControl& c = cell.controls[i];
        c.control = i < made.size() ? made[i] : nullptr;
        if (!c.control)
            continue;
        if (c.registered)
            m_owner.insert(c.control, &cells);
        ApplyState(cell, c);
    }
    // Placed before it is shown: a cell control shown over the visible rows and moved away at
    // the next layout costs a repaint computation over every other cell control.
    // (visualRect would run the pending layout of the whole view.)
    const int row = cells.row;
    const int col = cell.col;
    const int grid = showGrid() ? 1 : 0;
    const int top = rowViewportPosition(row);
    container->setGeometry(columnViewportPosition(col), top, columnWidth(col) - grid, rowHeight(row) - grid);
    setIndexWidget(index, container);
    // The view shows every new index widget; one below or above the view waits hidden until its
    // row is scrolled in.
    if (top >= viewport()->height() || top + rowHeight(row) <= 0)
        container->hide();
}

void CSFQTListCtrl::ApplyState(Cell& cell, CellControl& c)
{
    QWidget* w = c.control;
    if (c.enabled >= 0)
        w->setEnabled(c.enabled != 0);
    if (c.shown >= 0)
        w->setVisible(c.shown != 0);
    if (c.kind == KindCheck && c.check >= 0)
        static_cast<CSFQTRadioBox*>(w)->SetCheck(c.check);
    if (c.kind == KindProgress && c.pos >= 0)
        static_cast<CSFQTProgressCtrl*>(w)->SetPos(c.pos);
    if (c.kind == KindButton) {
        auto* button = static_cast<CSFQTButton*>(w);
        if (c.skin) {
            FlushSkins(cell.container);
            button->SetSkin(c.skin.get());
        }
        if (c.text)
            button->SetWindowTextW(c.text->c_str());
        if (c.tip)
            button->SetToolTipText(c.tip->c_str());
    }
}

void CSFQTListCtrl::MakeLive(RowCells& cells)
{
    if (cells.live)
        return;
    cells.live = true;
    m_live.push_back(&cells);
    for (Cell& cell : cells.cells) {
        if (!cell.pinned)
            BuildCell(cells, cell);
    }
}

void CSFQTListCtrl::ReleaseRow(RowCells& cells)
{
    cells.live = false;
    for (Cell& cell : cells.cells) {
        if (cell.pinned || !cell.container)
            continue;
        // What the user may have changed on the controls is kept.
        for (CellControl& c : cell.controls) {
            if (!c.control)
                continue;
            m_owner.remove(c.control);
            if (c.kind == KindCheck)
                c.check = static_cast<CSFQTRadioBox*>(c.control)->GetCheck();
            if (c.enabled >= 0 || c.control->testAttribute(Qt::WA_ForceDisabled))
                c.enabled = c.control->testAttribute(Qt::WA_ForceDisabled) ? 0 : 1;
            c.control = nullptr;
        }
        cell.container = nullptr;
        // Deleted later: a click of one of its controls may still be running.
        QAbstractItemView::closePersistentEditor(model()->index(cells.row, cell.col));
    }
}

void CSFQTListCtrl::NearRows(int& first, int& last) const
{
    const int n = rowCount();
    // A list not shown yet has no laid out viewport.
    const int h = std::max(isVisible() ? viewport()->height() : height(), 1);
    int top = rowAt(0);
    int bottom = rowAt(h - 1);
    if (top < 0)
        top = 0;
    // Rows that do not fill the view: rows appended next are in view too.
    int room = 0;
    if (bottom < 0) {
        bottom = n - 1;
        const int used = n > 0 ? rowViewportPosition(n - 1) + rowHeight(n - 1) : 0;
        room = (h - used) / std::max(m_nRowHeight, 1) + 1;
    }
    first = std::max(0, top - kNearRows);
    last = bottom + std::max(room, 0) + kNearRows;
}

void CSFQTListCtrl::SyncLiveRows()
{
    if (m_bSyncing)
        return;
    m_bSyncing = true;
    Renumber();
    NearRows(m_nNearFirst, m_nNearLast);
    m_bNearKnown = true;
    const int first = m_nNearFirst;
    const int last = m_nNearLast;
    for (size_t i = 0; i < m_live.size();) {
        RowCells* cells = m_live[i];
        if (cells->row < first || cells->row > last) {
            ReleaseRow(*cells);
            m_live[i] = m_live.back();
            m_live.pop_back();
        } else {
            ++i;
        }
    }
    for (int r = first; r <= last; ++r) {
        if (RowCells* cells = Cells(r))
            MakeLive(*cells);
    }
    m_bSyncing = false;
}

void CSFQTListCtrl::ScheduleSync()
{
    if (m_bSyncQueued)
        return;
    m_bSyncQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bSyncQueued = false;
            m_bNearKnown = false;
            SyncLiveRows();
        },
        Qt::QueuedConnection);
}

CSFQTView* CSFQTListCtrl::NewContainer(bool listSink)
{
    auto* view = new CellContainer(listSink ? static_cast<ISFViewEvent*>(this) : nullptr);
    view->SetBGClr(-1);
    return view;
}

CSFQTButton* CSFQTListCtrl::NewCellButton(CSFQTView* container, int id, const wchar_t* tip,
                                          const ImageButtonStyle& style, int w, int h, int y)
{
    auto* button = new CSFQTButton(nullptr);
    button->setMinimumSize(w, h);
    button->setMaximumSize(w, h);
    button->Create(L"", 0x10010000, RECT{0, 0, w, h}, container, static_cast<UINT>(id));
    button->setGeometry(0, y, w, h);
    auto skin = std::make_shared<ImageButtonStyle>(style);
    static_cast<CellContainer*>(container)->Later([button, skin] { button->SetSkin(skin.get()); });
    button->SetToolTipText(tip);
    connect(button, &QAbstractButton::clicked, this, &CSFQTListCtrl::OnClicked);
    return button;
}

CSFQTButton* CSFQTListCtrl::AddCellButton(CSFQTView* container, std::vector<QWidget*>& made, int id,
                                          const wchar_t* tip, const ImageButtonStyle& style, int w, int h, int y)
{
    CSFQTButton* button = NewCellButton(container, id, tip, style, w, h, y);
    container->AddButton(button);
    made.push_back(button);
    return button;
}

CSFQTProgressCtrl* CSFQTListCtrl::NewCellProgress(CSFQTView* container, UINT id, const RECT& rect)
{
    auto* bar = new CSFQTProgressCtrl(this);
    bar->Create(0x10000000, rect, container, id);
    bar->SetPos(0);
    bar->ModifyStyleEx(0x20000, 0, 32);
    return bar;
}

// ---- Cell controls ---------------------------------------------------------------------------

namespace {
// A text argument kept for later builds (null stays null).
struct Text {
    explicit Text(const wchar_t* s) : set(s != nullptr), text(s ? s : L"") {}
    const wchar_t* get() const { return set ? text.c_str() : nullptr; }
    bool set;
    std::wstring text;
};
}  // namespace

void CSFQTListCtrl::AddOneOperateBtn(int row, int col, int id, const wchar_t* tip, ImageButtonStyle& style, int w,
                                     int h, int x)
{
    ForgetRowEntries(row, KindButton, static_cast<UINT>(id));
    std::vector<Registration> regs;
    if (tip)
        regs.emplace_back(KindButton, static_cast<UINT>(id));
    auto skin = std::make_shared<ImageButtonStyle>(style);
    const Text t(tip);
    const int rowHeight = m_nRowHeight;
    const bool installed = InstallCell(row, col, false, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(true);
        if (t.set) {
            const int y = (rowHeight - h) / 2;
            container->m_nTopOffset = y;
            container->m_nFirstButtonX = x;
            AddCellButton(container, made, id, t.get(), *skin, w, h, y);
        }
        return container;
    });
    if (!installed)
        return;
    if (QTableWidgetItem* it = item(row, col))
        it->setData(Qt::UserRole, 1);
    viewport()->update();
}

void CSFQTListCtrl::SetSingleItem(int row, int col, const wchar_t* tip, ImageButtonStyle& style, int id)
{
    std::vector<Registration> regs;
    if (tip)
        regs.emplace_back(KindButton, static_cast<UINT>(id));
    auto skin = std::make_shared<ImageButtonStyle>(style);
    const Text t(tip);
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, false, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        const int y = (rowHeight - 24) / 2;
        if (t.set) {
            container->m_nTopOffset = y;
            AddCellButton(container, made, id, t.get(), *skin, 24, 24, y);
        }
        return container;
    });
}

void CSFQTListCtrl::SetItemWidget(int row, int col, const wchar_t* tip1, const wchar_t* tip2, const wchar_t* tip3,
                                  ImageButtonStyle& style1, ImageButtonStyle& style2, ImageButtonStyle& style3)
{
    const int ids[3] = {IdWidgetBtn1, IdWidgetBtn2, IdWidgetBtn3};
    const std::array<Text, 3> tips{Text(tip1), Text(tip2), Text(tip3)};
    const std::array<std::shared_ptr<ImageButtonStyle>, 3> styles{std::make_shared<ImageButtonStyle>(style1),
                                                                  std::make_shared<ImageButtonStyle>(style2),
                                                                  std::make_shared<ImageButtonStyle>(style3)};
    std::vector<Registration> regs;
    for (int i = 0; i < 3; ++i) {
        if (tips[static_cast<size_t>(i)].set)
            regs.emplace_back(KindButton, static_cast<UINT>(ids[i]));
    }
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, false, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        const int y = (rowHeight - 24) / 2;
        container->m_nTopOffset = y;
        for (size_t i = 0; i < 3; ++i) {
            if (!tips[i].set)
                continue;
            AddCellButton(container, made, ids[i], tips[i].get(), *styles[i], 24, 24, y);
        }
        return container;
    });
}

void CSFQTListCtrl::AddOperateBtn(int row, int col, const wchar_t* text, int id, ImageButtonStyle& style, int w,
                                  int h)
{
    std::vector<Registration> regs;
    if (text)
        regs.emplace_back(KindButton, static_cast<UINT>(id));
    if (col == 7)
        regs.emplace_back(KindProgress, static_cast<UINT>(IdProgress));
    auto skin = std::make_shared<ImageButtonStyle>(style);
    const Text t(text);
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, false, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        const int y = (rowHeight - h) / 2;
        container->m_nTopOffset = y;
        if (t.set) {
            CSFQTButton* button = AddCellButton(container, made, id, t.get(), *skin, w, h, y);
            button->SetWindowTextW(t.get());
            button->SetTextColor(0xffffff);
        }
        if (col == 7) {
            CSFQTProgressCtrl* bar = NewCellProgress(container, IdProgress, RECT{0, 0, w, h});
            container->AddProgressCtrl(bar);
            made.push_back(bar);
        }
        return container;
    });
}

void CSFQTListCtrl::AddOperateBtnEx(int row, int col, const wchar_t* text, int id, ImageButtonStyle& style, int w,
                                    int h, ImageButtonStyle& style2, const wchar_t* text2, int x)
{
    ForgetRowEntries(row, KindButton, static_cast<UINT>(id));
    std::vector<Registration> regs;
    if (text)
        regs.emplace_back(KindButton, static_cast<UINT>(id));
    if (col == 8) {
        regs.emplace_back(KindProgress, static_cast<UINT>(IdProgress));
        regs.emplace_back(KindButton, static_cast<UINT>(IdSmallBtn));
    } else if (col == 7) {
        regs.emplace_back(KindProgress, static_cast<UINT>(IdProgressEx));
    }
    auto skin = std::make_shared<ImageButtonStyle>(style);
    auto skin2 = std::make_shared<ImageButtonStyle>(style2);
    const Text t(text);
    const Text t2(text2);
    const int rowHeight = m_nRowHeight;
    const bool installed = InstallCell(row, col, false, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(true);
        const int y = (rowHeight - h - 5) / 2;
        container->m_nTopOffset = y;
        if (t.set) {
            CSFQTButton* button = AddCellButton(container, made, id, t.get(), *skin, w, h, y);
            button->SetWindowTextW(t.get());
            button->SetTextColor(0xffffff);
        }
        if (col == 8 || col == 7) {
            CSFQTProgressCtrl* bar = NewCellProgress(container, col == 8 ? IdProgress : IdProgressEx,
                                                     RECT{0, 0, w, 5});
            bar->SetTextVisible(0);
            container->m_nTopOffset = y + h;
            container->AddProgressCtrl(bar);
            made.push_back(bar);
        }
        if (col == 8) {
            container->m_nTopOffset = y + 4;
            container->m_nFirstButtonX = x;
            AddCellButton(container, made, IdSmallBtn, t2.get(), *skin2, 16, 16, y + 4);
        }
        return container;
    });
    if (!installed)
        return;
    if (QTableWidgetItem* it = item(row, col))
        it->setBackground(row % 2 == 0 ? m_evenColor : m_oddColor);
}

void CSFQTListCtrl::AddOneOperateBtnEx(int row, int col, int id1, const wchar_t* tip1, ImageButtonStyle& style1, int w,
                                       int h, int x, int id2, const wchar_t* tip2, ImageButtonStyle& style2)
{
    qCDebug(lcSFList, "AddOneOperateBtnEx...row:%d, col:%d", row, col);
    ForgetRowEntries(row, KindButton, static_cast<UINT>(id1));
    ForgetRowEntries(row, KindButton, static_cast<UINT>(id2));
    std::vector<Registration> regs;
    if (tip1)
        regs.emplace_back(KindButton, static_cast<UINT>(id1));
    if (tip2)
        regs.emplace_back(KindButton, static_cast<UINT>(id2));
    auto skin1 = std::make_shared<ImageButtonStyle>(style1);
    auto skin2 = std::make_shared<ImageButtonStyle>(style2);
    const Text t1(tip1);
    const Text t2(tip2);
    const int rowHeight = m_nRowHeight;
    const bool installed = InstallCell(row, col, false, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(true);
        const int y = (rowHeight - h) / 2;
        container->m_nTopOffset = y;
        container->m_nFirstButtonX = x;
        // The second button stands 5 pixels after the first, whether or not the first is there.
        container->m_nButtonGap = 6;
        if (t1.set) {
            AddCellButton(container, made, id1, t1.get(), *skin1, w, h, y);
        }
        if (t2.set) {
            if (!t1.set)
                container->m_nFirstButtonX = w + x + 5;
            AddCellButton(container, made, id2, t2.get(), *skin2, w, h, y);
        }
        // The buttons follow the cell's text; a narrow column pulls them left rather than cut them.
        container->m_nWantedFirstButtonX = container->m_nFirstButtonX;
        container->FitButtons();
        return container;
    });
    if (!installed)
        return;
    if (QTableWidgetItem* it = item(row, col))
        it->setBackground(row % 2 == 0 ? m_evenColor : m_oddColor);
}

void CSFQTListCtrl::SetItemProgress(int row, int col, UINT id, ImageProgressCtrlStyle style)
{
    auto skin = std::make_shared<ImageProgressCtrlStyle>(style);
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, false, {{KindProgress, id}}, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        auto* bar = new CSFQTProgressCtrl(this);
        bar->SetSkin(skin.get());
        bar->Create(0x10000000, RECT{0, 0, 100, 16}, container, id);
        bar->SetPos(0);
        bar->ModifyStyleEx(0x20000, 0, 32);
        container->m_nTopOffset = (rowHeight - 16) / 2;
        container->AddProgressCtrl(bar);
        made.push_back(bar);
        return container;
    });
}

void CSFQTListCtrl::SetItemCheckWidget(int row, int col, ImageRadioBox& style)
{
    auto skin = std::make_shared<ImageRadioBox>(style);
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, false, {{KindCheck, static_cast<UINT>(IdRowCheck)}}, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        auto* check = new CSFQTRadioBox(this);
        static_cast<CellContainer*>(container)->Later([check, skin] { check->SetSkin(skin.get()); });
        check->Create(L"", 0x10010000, RECT{0, 0, 16, 16}, container, IdRowCheck);
        const int y = (rowHeight - 16) / 2;
        check->setGeometry(0, y, 16, 16);
        container->m_nTopOffset = y;
        container->AddRadioBox(check);
        made.push_back(check);
        return container;
    });
}

void CSFQTListCtrl::SetItemEditCtrl(int row, int col, int)
{
    const UINT id = static_cast<UINT>(row) + 0x40000000u;
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, true, {{KindEdit, id}}, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        auto* edit = new CSFQTEditCtrl(this);
        edit->setFixedSize(180, 24);
        edit->SetMaxLength(11);
        edit->Create(0x10000000, RECT{0, 0, 180, 24}, container, id, false);
        edit->SetWindowTextW(L"0");
        edit->SetNumType(1);
        container->m_nTopOffset = (rowHeight - 26) / 2;
        container->AddEdit(edit);
        made.push_back(edit);
        return container;
    });
}

void CSFQTListCtrl::SetItemPicture(int row, int col, const wchar_t* path)
{
    const Text p(path);
    const int rowHeight = m_nRowHeight;
    const bool installed = InstallCell(row, col, false, {}, [=](std::vector<QWidget*>&) {
        CSFQTView* container = NewContainer(true);
        const int y = (rowHeight - 16) / 2;
        if (p.set) {
            auto* picture = new CSFQTPictureCtrl(nullptr);
            picture->Create(L"", 0x10010000, RECT{0, 0, 16, 16}, container, 0);
            picture->setGeometry(100, y, 16, 16);
            picture->SetImage(p.get(), false);
        }
        container->m_nTopOffset = y;
        return container;
    });
    if (!installed)
        return;
    if (QTableWidgetItem* it = item(row, col))
        it->setData(Qt::UserRole, 1);
}

void CSFQTListCtrl::DeleteOneOperateBtn(int row, int col, UINT id)
{
    if (!FirstRecord(row, KindButton, id))
        return;
    if (RowCells* cells = Cells(row)) {
        Renumber();
        RemoveCell(*cells, col);
    }
}

void CSFQTListCtrl::SetItemComboBox(int row, int col, int type, int id, ImageComboBoxStyle& style, const wchar_t*,
                                    const wchar_t*, std::wstring* items)
{
    const bool known = type >= 0 && type <= 4;
    const UINT comboId = static_cast<UINT>(id) + (known ? kComboBase[type] : 0u);
    std::vector<Registration> regs;
    if (known)
        regs.emplace_back(KindCombo0 + type, comboId);
    auto skin = std::make_shared<ImageComboBoxStyle>(style);
    std::vector<std::wstring> texts;
    if (items && known) {
        static const int counts[5] = {7, 2, 4, 6, 6};
        const int n = type == 0 && row > 4 ? 8 : counts[type];
        texts.assign(items, items + n);
    }
    const int rowHeight = m_nRowHeight;
    InstallCell(row, col, true, regs, [=](std::vector<QWidget*>& made) {
        CSFQTView* container = NewContainer(false);
        auto* combo = new CSFQTComboBox(this);
        combo->setFixedSize(135, 26);
        combo->Create(0x50010000, RECT{0, 0, 150, 22}, container, comboId);
        combo->SetSkin(skin.get());
        if (!texts.empty()) {
            for (const std::wstring& text : texts)
                combo->AddString(text.c_str());
            if (type == 1)
                combo->SetCurSel(1);
            if (type == 3 || type == 4)
                combo->EnableWindow(0);
        }
        container->m_nTopOffset = (rowHeight - 22) / 2;
        container->AddComboBox(combo);
        if (known)
            made.push_back(combo);
        return container;
    });
}

int CSFQTListCtrl::GetItemText(int row, int col, wchar_t* buffer, int size, int) const
{
    if (row < 0 || row >= rowCount() || col < 0 || col >= columnCount())
        return -1;
    if (auto* edit = FirstControl<CSFQTEditCtrl>(row, KindEdit, 0))
        return SFCopyText(edit->text(), buffer, size);
    return buffer && size > 0 ? static_cast<int>(wcsnlen(buffer, static_cast<size_t>(size))) : 0;
}

// ---- Clicks ----------------------------------------------------------------------------------

void CSFQTListCtrl::OnClicked()
{
    auto* button = qobject_cast<CSFQTButton*>(sender());
    if (!button)
        return;
    const int row = RowOfControl(button);
    if (row < 0)
        return;
    qCDebug(lcSFList, "OnClicked...Button=%p,row=%d ", static_cast<void*>(button), row);
    if (QTableWidgetItem* it = item(row, 1))
        ItemClickNotify(it);
    int selected[1] = {row};
    SetItemSelected(selected, 1, true);
    const int id = static_cast<int>(button->Id());
    if (m_pSink)
        m_pSink->OnButton(id, row);
    SFSendCommandToParent(this, id);
}

void CSFQTListCtrl::BTN_OnLButtonDown(int id, UINT, POINT)
{
    // Only the header button has the list as its sink.
    if (m_pSink)
        m_pSink->OnButton(id, -1);
}

void CSFQTListCtrl::OnLButtonDown(UINT, POINT point)
{
    if (QTableWidgetItem* it = itemAt(QPoint(point.x, point.y)))
        setCurrentItem(it);
}

void CSFQTListCtrl::RADIO_OnClicked(int checked, int id, POINT)
{
    if (id == IdHeaderCheck)
        OnAllCheckClicked();
    else
        OnCheckClicked(checked);
}

void CSFQTListCtrl::OnAllCheckClicked()
{
    const int state = m_pHeaderCheck ? m_pHeaderCheck->GetCheck() : 0;
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        ForEachRecord(r, [state](Cell&, CellControl& c) {
            if (c.kind != KindCheck)
                return;
            if (c.control) {
                if (c.control->isEnabled())
                    static_cast<CSFQTRadioBox*>(c.control)->SetCheck(state);
            } else if (c.enabled != 0) {
                c.check = state;
            }
        });
    }
    SFSendCommandToParent(this, IdHeaderCheck);
}

void CSFQTListCtrl::OnCheckClicked(BOOL checked)
{
    qCDebug(lcSFList, "CSFQTListCtrl::OnCheckClicked");
    if (m_pHeaderCheck) {
        bool all = checked != 0;
        for (int r = 0; all && r < static_cast<int>(m_rows.size()); ++r) {
            ForEachRecord(r, [&all](Cell&, CellControl& c) {
                if (c.kind != KindCheck)
                    return;
                const int state = c.control ? static_cast<CSFQTRadioBox*>(c.control)->GetCheck() : c.check;
                if (state <= 0)
                    all = false;
            });
        }
        m_pHeaderCheck->SetCheck(all ? 1 : 0);
    }
    SFSendCommandToParent(this, IdRowCheck);
}

// ---- Per-row operations ----------------------------------------------------------------------
// Each writes the state to the row's records and to the controls that exist at the moment.

int CSFQTListCtrl::SetCheck(int row, int check)
{
    int found = 0;
    ForEachRecord(row, [&found, check](Cell&, CellControl& c) {
        if (c.kind != KindCheck)
            return;
        c.check = check;
        if (c.control)
            static_cast<CSFQTRadioBox*>(c.control)->SetCheck(check);
        found = 1;
    });
    return found;
}

int CSFQTListCtrl::IsCheck(int row)
{
    const CellControl* c = FirstRecord(row, KindCheck, 0);
    if (!c)
        return 0;
    if (c->control)
        return static_cast<CSFQTRadioBox*>(c->control)->GetCheck();
    return c->check > 0 ? c->check : 0;
}

void CSFQTListCtrl::SetAllCheck(int check)
{
    if (m_pHeaderCheck)
        m_pHeaderCheck->SetCheck(check);
}

void CSFQTListCtrl::SetRowEnable(int row, bool enable)
{
    SetCheck(row, enable ? 1 : 0);
    if (row < 0 || row >= rowCount())
        return;
    const QColor colour = enable ? QColor(0, 0, 0) : QColor(127, 127, 127);
    for (int c = 0; c < columnCount(); ++c) {
        if (QTableWidgetItem* it = item(row, c))
            it->setForeground(colour);
    }
}

void CSFQTListCtrl::SetBtnEnable(int row, int id, bool enable)
{
    ScrollKeeper keep(this);
    ForEachRecord(row, [id, enable](Cell&, CellControl& c) {
        if (c.kind != KindButton || c.id != static_cast<UINT>(id))
            return;
        c.enabled = enable ? 1 : 0;
        if (c.control)
            c.control->setEnabled(enable);
    });
}

void CSFQTListCtrl::SetBtnEnable(int row, bool enable)
{
    ScrollKeeper keep(this);
    ForEachRecord(row, [enable](Cell&, CellControl& c) {
        if (c.kind != KindButton)
            return;
        c.enabled = enable ? 1 : 0;
        if (c.control)
            c.control->setEnabled(enable);
    });
}

void CSFQTListCtrl::SetItemShow(int row, int col, UINT id, bool show)
{
    ScrollKeeper keep(this);
    CellControl* target = FirstRecord(row, KindButton, id);
    qCDebug(lcSFList, "SetItemShow...row:%d, col:%d, id:%d, button:%p", row, col, static_cast<int>(id),
            static_cast<void*>(target ? target->control : nullptr));
    if (!target)
        target = FirstRecord(row, KindProgress, id);
    if (!target)
        return;
    target->shown = show ? 1 : 0;
    if (target->control)
        target->control->setVisible(show);
}

void CSFQTListCtrl::SetProgress(int row, int pos, UINT id)
{
    ForEachRecord(row, [pos, id](Cell&, CellControl& c) {
        if (c.kind != KindProgress || c.id != id)
            return;
        c.pos = pos;
        if (c.control)
            static_cast<CSFQTProgressCtrl*>(c.control)->SetPos(pos);
    });
}

void CSFQTListCtrl::SetItemExpand(int row, int, UINT id, ImageButtonStyle& style, const wchar_t* tip)
{
    CellControl* c = FirstRecord(row, KindButton, id);
    if (!c)
        return;
    c->skin = std::make_shared<ImageButtonStyle>(style);
    c->tip = std::wstring(tip ? tip : L"");
    if (auto* button = static_cast<CSFQTButton*>(c->control)) {
        FlushSkins(button->parentWidget());
        button->SetSkin(&style);
        button->SetToolTipText(tip);
    }
}

void CSFQTListCtrl::SetOpeBtnText(int row, int id, const wchar_t* text)
{
    CellControl* c = FirstRecord(row, KindButton, static_cast<UINT>(id));
    if (!c)
        return;
    c->text = std::wstring(text ? text : L"");
    c->tip = c->text;
    if (auto* button = static_cast<CSFQTButton*>(c->control)) {
        button->SetWindowTextW(text);
        button->SetToolTipText(text);
    }
}

// ---- Deletion --------------------------------------------------------------------------------

int CSFQTListCtrl::DeleteAllItems()
{
    ForgetAll();
    setRowCount(0);
    m_rows.clear();
    return 1;
}

void CSFQTListCtrl::DeleteRow(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    removeRow(row);
}

int CSFQTListCtrl::DeleteAppointRows(int start, int end)
{
    const int first = std::max(start, 0);
    const int last = std::min(end, rowCount());
    if (first < last)
        model()->removeRows(first, last - first);
    if (m_pHeaderCheck)
        OnAllCheckClicked();
    viewport()->update();
    return 1;
}

namespace {
// Sort key of a temporary column: rows to keep (0) before rows to remove (1).
class RemovalKeyItem : public QTableWidgetItem {
public:
    explicit RemovalKeyItem(int key) : m_key(key) {}
    bool operator<(const QTableWidgetItem& other) const override
    {
        return m_key < static_cast<const RemovalKeyItem&>(other).m_key;
    }

private:
    int m_key;
};
}  // namespace

void CSFQTListCtrl::RemoveRows(const std::set<int>& rows)
{
    std::vector<int> valid;
    for (int r : rows) {
        if (r >= 0 && r < rowCount())
            valid.push_back(r);
    }
    if (valid.empty())
        return;
    int runs = 1;
    for (size_t i = 1; i < valid.size(); ++i) {
        if (valid[i] != valid[i - 1] + 1)
            ++runs;
    }
    if (runs <= kMaxSeparateRemovals) {
        // From the highest row down; neighbouring rows go in one removal.
        auto it = valid.rbegin();
        while (it != valid.rend()) {
            const int high = *it;
            int low = high;
            ++it;
            while (it != valid.rend() && *it == low - 1) {
                low = *it;
                ++it;
            }
            model()->removeRows(low, high - low + 1);
        }
        return;
    }
    // Many scattered rows: a stable sort on a temporary key column moves them to the end (cell
    // controls move with their rows), and one removal drops them all. Each single removal would
    // walk every cell control of the table.
    const bool itemChanged = m_bItemChangedConnected;
    SetItemChangedConnected(false);
    const int n = rowCount();
    const int keyColumn = columnCount();
    insertColumn(keyColumn);
    setColumnHidden(keyColumn, true);
    size_t next = 0;
    for (int r = 0; r < n; ++r) {
        const bool remove = next < valid.size() && valid[next] == r;
        if (remove)
            ++next;
        setItem(r, keyColumn, new RemovalKeyItem(remove ? 1 : 0));
    }
    SortRows(keyColumn, Qt::AscendingOrder);
    removeColumn(keyColumn);
    const int count = static_cast<int>(valid.size());
    model()->removeRows(n - count, count);
    SetItemChangedConnected(itemChanged);
}

void CSFQTListCtrl::DeleteSelectedItems(std::set<int>& rows)
{
    GetSelectRow(rows);
    RemoveRows(rows);
}

void CSFQTListCtrl::DeleteCheckedRows(std::set<int>& rows)
{
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        if (m_rows[static_cast<size_t>(r)] && IsCheck(r))
            rows.insert(r);
    }
    RemoveRows(rows);
}

// ---- Alarm combo boxes -----------------------------------------------------------------------

void CSFQTListCtrl::SelectChanged(int id, int index, void* combo)
{
    const UINT uid = static_cast<UINT>(id);
    int type = -1;
    if (uid >= 0x80000000u)
        type = 4;
    else if (uid >= 0x70000000u)
        type = 3;
    else if (uid >= 0x50000000u)
        type = 2;
    else if (uid >= 0x40000000u)
        type = 1;
    else if (uid >= 0x30000000u)
        type = 0;
    if (type >= 0) {
        const int row = RowOfControl(static_cast<QObject*>(combo));
        m_nCurrentAlarmRow = row;
        if (row >= 0) {
            ScrollKeeper keep(this, true);
            ComboInterlock(type, row, index);
        }
    }
    if (m_pSink)
        m_pSink->SelectChanged(id, index, combo);
}

void CSFQTListCtrl::ComboInterlock(int type, int, int selection)
{
    switch (type) {
    case 0:
        OnTypeChanged(selection);
        break;
    case 2:
        OnStatusChanged(selection);
        break;
    case 3:
        OnEnDelayChanged(selection);
        break;
    case 4:
        OnExDelayChanged(selection);
        break;
    default:
        break;
    }
}

void CSFQTListCtrl::OnTypeChanged(int selection)
{
    const int row = m_nCurrentAlarmRow;
    auto* status = FirstControl<CSFQTComboBox>(row, KindCombo0 + 2, 0);
    auto* enDelay = FirstControl<CSFQTComboBox>(row, KindCombo0 + 3, 0);
    auto* exDelay = FirstControl<CSFQTComboBox>(row, KindCombo0 + 4, 0);
    if (selection == 7) {
        for (CSFQTComboBox* box : {status, enDelay, exDelay}) {
            if (box) {
                box->EnableWindow(0);
                box->SetCurSel(0);
            }
        }
    } else if (selection == 3) {
        if (status && status->GetCurSel() == 1) {
            status->SetCurSel(0);
            for (CSFQTComboBox* box : {enDelay, exDelay}) {
                if (box) {
                    box->EnableWindow(0);
                    box->SetCurSel(0);
                }
            }
        }
    } else if (status) {
        status->EnableWindow(1);
    }
}

void CSFQTListCtrl::OnStatusChanged(int selection)
{
    const int row = m_nCurrentAlarmRow;
    auto* type = FirstControl<CSFQTComboBox>(row, KindCombo0, 0);
    auto* status = FirstControl<CSFQTComboBox>(row, KindCombo0 + 2, 0);
    auto* enDelay = FirstControl<CSFQTComboBox>(row, KindCombo0 + 3, 0);
    auto* exDelay = FirstControl<CSFQTComboBox>(row, KindCombo0 + 4, 0);
    const bool typeIs3 = type && type->GetCurSel() == 3;
    if (selection == 1 && !typeIs3) {
        for (CSFQTComboBox* box : {enDelay, exDelay}) {
            if (box) {
                box->EnableWindow(1);
                box->SetCurSel(2);
            }
        }
    } else if (selection == 1) {
        if (status)
            status->SetCurSel(0);
    } else {
        for (CSFQTComboBox* box : {enDelay, exDelay}) {
            if (box) {
                box->EnableWindow(0);
                box->SetCurSel(0);
            }
        }
    }
}

void CSFQTListCtrl::OnEnDelayChanged(int selection)
{
    if (selection != 0)
        return;
    const int row = m_nCurrentAlarmRow;
    if (auto* status = FirstControl<CSFQTComboBox>(row, KindCombo0 + 2, 0))
        status->SetCurSel(0);
    for (int kind : {KindCombo0 + 3, KindCombo0 + 4}) {
        if (auto* box = FirstControl<CSFQTComboBox>(row, kind, 0)) {
            box->EnableWindow(0);
            box->SetCurSel(0);
        }
    }
}

void CSFQTListCtrl::OnExDelayChanged(int selection)
{
    OnEnDelayChanged(selection);
}

void CSFQTListCtrl::GetAlarmInfo()
{
    int values[5][kMaxAlarmRows] = {};
    int counts[5] = {};
    for (size_t r = 0; r < m_rows.size(); ++r) {
        for (int t = 0; t < 5; ++t) {
            auto* box = FirstControl<CSFQTComboBox>(static_cast<int>(r), KindCombo0 + t, 0);
            // Boxes past the eighth row of a type are not reported.
            if (box && counts[t] < kMaxAlarmRows)
                values[t][counts[t]++] = box->GetCurSel();
        }
    }
    if (m_pSink)
        m_pSink->SetAlarmInfo(values[0], values[1], values[2], values[3], values[4]);
}

void CSFQTListCtrl::SetAlarmInfomation(int* t0, int* t1, int* t2, int* t3, int* t4)
{
    int* arrays[5] = {t0, t1, t2, t3, t4};
    int index[5] = {};
    for (size_t r = 0; r < m_rows.size(); ++r) {
        for (int t = 0; t < 5; ++t) {
            auto* box = FirstControl<CSFQTComboBox>(static_cast<int>(r), KindCombo0 + t, 0);
            if (!box || !arrays[t])
                continue;
            const int i = index[t]++;
            if (t == 2 && t0)
                box->EnableWindow(t0[i] != 7 ? 1 : 0);
            if ((t == 3 || t == 4) && t2)
                box->EnableWindow(t2[i] == 1 ? 1 : 0);
            box->SetCurSel(arrays[t][i]);
        }
    }
}
