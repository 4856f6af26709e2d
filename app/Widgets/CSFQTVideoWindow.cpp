// Facade operations, skin, painting and resizing of the split-screen video window; the mouse
// handling is in CSFQTVideoWindowMouse.cpp.
#include "Widgets/CSFQTVideoWindow.h"

#include <QPainter>
#include <QResizeEvent>

#include <cstring>
#include <new>

#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/SFSkin.h"

namespace {

// Capacity of cell widgets per side; the layout grid has the same bound.
constexpr int kMaxCapacity = CQTVideoWindowLayout::kMaxGrid;
constexpr int kDashLength = 6;
constexpr int kDashPeriod = 10;

int ParseWidth(const std::wstring& text, int fallback)
{
    bool ok = false;
    const int value = QString::fromStdWString(text).trimmed().toInt(&ok);
    return ok && value >= 0 && value <= 64 ? value : fallback;
}

}  // namespace

CSFQTVideoWindow::CSFQTVideoWindow(int mode, ISFVideoWindowEvent* sink, int capacityRows, int capacityColumns)
    : CSFVideoWindow(sink),
      m_nMode(mode == VIDEOWINDOW_MODE_LAYOUT ? VIDEOWINDOW_MODE_LAYOUT : VIDEOWINDOW_MODE_VIDEO),
      m_nCapacityRows(std::clamp(capacityRows, 0, kMaxCapacity)),
      m_nCapacityColumns(std::clamp(capacityColumns, 0, kMaxCapacity))
{
    connect(this, &CSFQTVideoWindow::LayoutChanged, this, &CSFQTVideoWindow::CastLayoutChangedEvent);
    setMouseTracking(true);
}

CSFQTVideoWindow::~CSFQTVideoWindow()
{
    delete m_pClose;
    delete m_pSnap;
    delete m_pProperty;
    delete m_pRecord;
    for (auto& entry : m_cells)
        delete entry.second;
    m_cells.clear();
}

CSFVideoWindow* CreateSFVideoWindow(int mode, ISFVideoWindowEvent* sink, int rows, int columns)
{
    (void)rows;
    (void)columns;
    auto* window = new (std::nothrow) CSFQTVideoWindow(mode, sink, 1, 1);
    return window;
}

CSFQTVideoWindowSubWnd* CSFQTVideoWindow::Cell(int index) const
{
    const auto it = m_cells.find(index);
    return it == m_cells.end() ? nullptr : it->second;
}

int CSFQTVideoWindow::Create(const wchar_t* name, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    const int canvasWidth = rect.right - rect.left;
    const int canvasHeight = rect.bottom - rect.top;
    if (m_layout.Size() != std::make_pair(canvasWidth, canvasHeight))
        m_layout.SetSize(canvasWidth, canvasHeight);
    setWindowTitle(SFFromWide(name));
    setGeometry(QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom)));
    m_nId = static_cast<int>(id);
    m_recordStates.clear();
    if (!IsVideoMode())
        return 1;

    const RECT buttonRect{0, 0, m_iconSize.width() - 1, m_iconSize.height() - 1};
    auto makeButton = [&](ImageButtonStyle& skin, UINT buttonId) {
        auto* button = new CSFQTButton(nullptr);
        button->Create(L"", 0, buttonRect, this, buttonId);
        button->SetSkin(&skin);
        button->ShowWindow(0);
        button->installEventFilter(this);
        return button;
    };
    m_pClose = makeButton(m_closeSkin, IdClose);
    m_pSnap = makeButton(m_snapSkin, IdSnap);
    m_pRecord = new CSFQTRadioBox(this);
    m_pRecord->Create(L"", 0, buttonRect, this, IdRecord);
    m_pRecord->SetSkin(&m_recordSkin);
    m_pRecord->ShowWindow(0);
    m_pRecord->installEventFilter(this);
    m_pProperty = makeButton(m_propertySkin, IdProperty);
    connect(m_pClose, &QPushButton::clicked, this, &CSFQTVideoWindow::OnBnClickedVideoClose);
    connect(m_pSnap, &QPushButton::clicked, this, &CSFQTVideoWindow::OnBnClickedVideoSnap);
    connect(m_pProperty, &QPushButton::clicked, this, &CSFQTVideoWindow::OnBnClickedVideoProperty);

    for (int k = 0; k < Capacity(); ++k) {
        auto* cell = new CSFQTVideoWindowSubWnd();
        cell->Create(L"", rect, this, k, 4, 3, &m_shared);
        cell->SetBackColor(m_colours[ColourBackground]);
        const auto it = m_layout.Cells().find(k);
        if (it != m_layout.Cells().end()) {
            cell->SetRect(it->second);
            cell->show();
        } else {
            cell->hide();
        }
        m_cells[k] = cell;
    }
    return 1;
}

int CSFQTVideoWindow::SetSkin(ImageVideoWindowStyle* style)
{
    if (!style)
        return 0;
    m_shared.noVideo = SFSkinImage(SFSkinPath(style->strNoVideoImage));
    const std::wstring* colours[6] = {&style->strColor1, &style->strColor2, &style->strColor3,
                                      &style->strColor4, &style->strColor5, &style->strColor6};
    for (int i = 0; i < 6; ++i)
        m_colours[i] = SFParseColor(*colours[i]);
    m_nLineWidth = ParseWidth(style->strNumber1, m_nLineWidth);
    m_nRemovedWidth = ParseWidth(style->strNumber2, m_nRemovedWidth);
    m_shared.maxWidth = style->nValue1;
    m_shared.maxHeight = style->nValue2;
    if (IsVideoMode()) {
        auto buttonSkin = [](const std::wstring& normal, const std::wstring& hover, const std::wstring& pressed) {
            ImageButtonStyle skin;
            skin.strNormal = normal;
            skin.strHover = hover;
            skin.strPressed = pressed;
            return skin;
        };
        m_closeSkin = buttonSkin(style->strCloseNormal, style->strCloseHover, style->strClosePressed);
        m_snapSkin = buttonSkin(style->strSnapNormal, style->strSnapHover, style->strSnapPressed);
        m_propertySkin = buttonSkin(style->strPropNormal, style->strPropHover, style->strPropPressed);
        const std::wstring& on = style->strRecordChecked;
        const std::wstring& off = style->strRecordImage;
        m_recordSkin = ImageRadioBox{on, on, on, off, off, off, on, off};
        const std::pair<int, int> size = SFParseIntPair(style->strIconSize);
        m_iconSize = QSize(size.first, size.second);
    }
    update();
    return 0;
}

void CSFQTVideoWindow::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
}

void CSFQTVideoWindow::MoveWindow(int x, int y, int w, int h)
{
    setGeometry(x, y, w, h);
}

void CSFQTVideoWindow::RaiseLayoutChanged()
{
    if (m_pSink)
        m_pSink->OnLayoutChanged();
}

void CSFQTVideoWindow::CastLayoutChangedEvent()
{
    RaiseLayoutChanged();
}

int CSFQTVideoWindow::SetRows(int n)
{
    const bool changed = m_layout.SetRows(n);
    if (changed) {
        RaiseLayoutChanged();
        update();
    }
    return changed ? 1 : 0;
}

int CSFQTVideoWindow::SetColumns(int n)
{
    const bool changed = m_layout.SetColumns(n);
    if (changed) {
        RaiseLayoutChanged();
        update();
    }
    return changed ? 1 : 0;
}

void CSFQTVideoWindow::SetSubWinProportion(int w, int h)
{
    for (int k = 0; k < Capacity(); ++k) {
        if (CSFQTVideoWindowSubWnd* cell = Cell(k))
            cell->SetProportion(w, h);
    }
}

// Moves every cell widget to its layout cell, hiding those the layout has no cell for.
void CSFQTVideoWindow::PlaceCells(int oldCount)
{
    const std::map<int, RECT>& cells = m_layout.Cells();
    for (int k = 0; k < Capacity(); ++k) {
        CSFQTVideoWindowSubWnd* cell = Cell(k);
        if (!cell)
            continue;
        const auto it = cells.find(k);
        if (it != cells.end()) {
            cell->SetRect(it->second);
            cell->show();
        } else {
            cell->hide();
        }
    }
    for (int k = oldCount - 1; k >= static_cast<int>(cells.size()); --k) {
        if (CSFQTVideoWindowSubWnd* cell = Cell(k))
            cell->hide();
    }
}

int CSFQTVideoWindow::SetLayout(const char* text)
{
    m_bMaximised = false;
    for (auto& entry : m_cells) {
        if (entry.second->GetMaximised()) {
            entry.second->SetMaximised(0);
            break;
        }
    }
    const int oldCount = static_cast<int>(m_layout.Cells().size());
    const std::pair<int, int> canvas = m_layout.Size();
    if (text)
        m_layout.ParseLayout(text);
    if (!m_layout.SetSize(canvas.first, canvas.second))
        m_layout.RebuildCells();
    if (IsVideoMode()) {
        PlaceCells(oldCount);
        if (!m_layout.Cells().count(m_nFocusIndex))
            SetFocusSubWin(GetSubWinID(0));
    }
    RaiseLayoutChanged();
    update();
    return 1;
}

int CSFQTVideoWindow::GetLayout(char* buffer, int size)
{
    std::string text;
    m_layout.FormatLayout(text);
    if (!buffer || size < 0 || text.size() + 1 > static_cast<size_t>(size))
        return 0;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return 1;
}

int CSFQTVideoWindow::SetDefaultLayout(DEFAULT_LAYOUT value)
{
    const char* text = CSFVideoWindow::GetDefaultLayout(value);
    return text ? SetLayout(text) : 0;
}

int CSFQTVideoWindow::ApplyLayout(const CQTVideoWindowLayout& layout)
{
    if (static_cast<size_t>(layout.Rows()) * layout.Columns() > m_cells.size())
        return 0;
    const int oldCount = static_cast<int>(m_layout.Cells().size());
    m_bMaximised = false;
    m_layout.Assign(layout);
    if (IsVideoMode())
        PlaceCells(oldCount);
    RaiseLayoutChanged();
    update();
    return 1;
}

HWND CSFQTVideoWindow::GetSubWinHandle(int index)
{
    CSFQTVideoWindowSubWnd* cell = Cell(index);
    if (index < 0 || index >= GetCurrentSubWinCount() || !cell)
        return nullptr;
    return reinterpret_cast<HWND>(cell->GetPlayWnd()->winId());
}

int CSFQTVideoWindow::GetCurrentSubWinIndex()
{
    return m_nFocusIndex < GetCurrentSubWinCount() ? m_nFocusIndex : -1;
}

int CSFQTVideoWindow::GetSubWinID(int index)
{
    CSFQTVideoWindowSubWnd* cell = Cell(index);
    return !IsVideoMode() || !cell ? -1 : cell->Id();
}

int CSFQTVideoWindow::FirstIndexOfId(int id, bool byCapacity) const
{
    const int limit = byCapacity ? Capacity() : static_cast<int>(m_layout.Cells().size());
    for (const auto& [index, cell] : m_cells) {
        if (index >= limit)
            break;
        if (cell->Id() == id)
            return index;
    }
    return -1;
}

int CSFQTVideoWindow::GetSubWinIndexFromID(int id)
{
    return IsVideoMode() ? FirstIndexOfId(id, false) : -1;
}

void CSFQTVideoWindow::SetSubWinVideo(int index, int on)
{
    if (!IsVideoMode())
        return;
    if (CSFQTVideoWindowSubWnd* cell = Cell(index))
        cell->SetVideo(on);
}

void CSFQTVideoWindow::SetSubWinVideoByID(int id, int on)
{
    if (CSFQTVideoWindowSubWnd* cell = Cell(FirstIndexOfId(id, true)))
        cell->SetVideo(on);
}

void CSFQTVideoWindow::SetDragMode(int on)
{
    m_shared.dragMode = on != 0;
}

void CSFQTVideoWindow::SetFrameZoomMode(int on)
{
    m_shared.frameZoom = on != 0;
}

void CSFQTVideoWindow::SetSubWinRecordState(int id, int state)
{
    if (state != 0)
        m_recordStates[id] = state;
    else
        m_recordStates.erase(id);
    if (m_pRecord)
        m_pRecord->SetCheck(state);
}

void CSFQTVideoWindow::ResetSubWinSizeToMin(int index)
{
    if (CSFQTVideoWindowSubWnd* cell = index >= 0 ? Cell(index) : nullptr)
        cell->GetPlayWnd()->ResetZoom();
}

void CSFQTVideoWindow::ResetSubWinSizeToMinByID(int id)
{
    if (!IsVideoMode())
        return;
    if (CSFQTVideoWindowSubWnd* cell = Cell(FirstIndexOfId(id, true)))
        cell->GetPlayWnd()->ResetZoom();
}

QRegion CSFQTVideoWindow::FocusRing(int index) const
{
    CSFQTVideoWindowSubWnd* cell = Cell(index);
    if (!cell)
        return QRegion();
    const QRect r = RectToQ(cell->GetRect());
    return QRegion(r).subtracted(QRegion(r.adjusted(2, 2, -2, -2)));
}

int CSFQTVideoWindow::SetFocusSubWin(int id)
{
    const int count = GetCurrentSubWinCount();
    int found = -1;
    for (const auto& [index, cell] : m_cells) {
        if (index < count && index != m_nFocusIndex && cell->Id() == id) {
            found = index;
            break;
        }
    }
    if (found < 0)
        return 0;
    const int oldId = GetSubWinID(m_nFocusIndex);
    QRegion dirty = RectToQ(Cell(found)->GetRect());
    if (CSFQTVideoWindowSubWnd* old = Cell(m_nFocusIndex))
        dirty += RectToQ(old->GetRect()).adjusted(-1, -1, 1, 1);
    m_nFocusIndex = found;
    update(dirty.boundingRect().adjusted(-1, -1, 1, 1));
    if (m_pSink)
        m_pSink->OnFocusWndChanged(id, oldId);
    return 1;
}

void CSFQTVideoWindow::SetActiveCheckMode(int on)
{
    m_bActiveCheck = on != 0;
    if (!m_bActiveCheck)
        m_zoomRect = RECT{0, 0, 0, 0};
}

void CSFQTVideoWindow::SetUpdatesEnabled(int index, bool enabled)
{
    if (!IsVideoMode())
        return;
    if (CSFQTVideoWindowSubWnd* cell = Cell(index))
        cell->SetUpdatesEnabled(enabled);
}

void CSFQTVideoWindow::SetFocus(int index)
{
    setFocus(Qt::OtherFocusReason);
    CSFQTVideoWindowSubWnd* cell = Cell(index);
    if (IsVideoMode() && cell) {
        cell->SetFocus();
        cell->GetPlayWnd()->SetUpdatesOn(0);
    }
}

int CSFQTVideoWindow::RenderSubWin(int id, BYTE* data, RENDER_DATA_TYPE type, int width, int height)
{
    CSFQTVideoWindowSubWnd* cell = Cell(FirstIndexOfId(id, true));
    if (!cell)
        return 0;
    cell->GetPlayWnd()->RenderFrame(data, type, width, height);
    return 1;
}

void CSFQTVideoWindow::PaintDivider(QPainter& painter, int key, const LayoutDivider& divider)
{
    const RECT& b = divider.band;
    const bool vertical = CQTVideoWindowLayout::IsVerticalKey(key);
    const bool selected = m_layout.Selected().count(key) != 0;
    if (divider.state != 0) {
        const QColor& colour = m_colours[selected ? ColourSelected : ColourDivider];
        if (vertical) {
            const int x = b.left + (b.right - m_nLineWidth + 1 - b.left) / 2;
            painter.fillRect(QRect(x, b.top, m_nLineWidth, b.bottom - b.top + 1), colour);
        } else {
            const int y = b.top + (b.bottom - m_nLineWidth + 1 - b.top) / 2;
            painter.fillRect(QRect(b.left, y, b.right - b.left + 1, m_nLineWidth), colour);
        }
        return;
    }
    if (IsVideoMode())
        return;
    const QColor& colour = m_colours[selected ? ColourSelectedRemoved : ColourRemoved];
    const int start = vertical ? b.top : b.left;
    const int end = vertical ? b.bottom : b.right;
    const int across = vertical ? b.left + (b.right - m_nRemovedWidth + 1 - b.left) / 2
                                : b.top + (b.bottom - m_nRemovedWidth + 1 - b.top) / 2;
    for (int from = start; from <= end; from += kDashPeriod) {
        const int to = std::min(from + kDashLength - 1, end);
        if (vertical)
            painter.fillRect(QRect(across, from, m_nRemovedWidth, to - from + 1), colour);
        else
            painter.fillRect(QRect(from, across, to - from + 1, m_nRemovedWidth), colour);
    }
}

void CSFQTVideoWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_colours[ColourBackground]);
    for (const auto& [key, divider] : m_layout.Dividers())
        PaintDivider(painter, key, divider);
    CSFQTVideoWindowSubWnd* focus = Cell(m_nFocusIndex);
    if (IsVideoMode() && focus && m_layout.Cells().count(m_nFocusIndex)) {
        const RECT r = focus->GetRect();
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setBrush(m_colours[ColourFocus]);
        painter.drawRect(QRect(QPoint(r.left - 1, r.top - 1), QPoint(r.right, r.bottom)));
    }
}

void CSFQTVideoWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_layout.SetSize(width(), height()))
        return;
    if (IsVideoMode()) {
        // Every cell the layout has, including those after a gap that a merged L shape leaves.
        for (const auto& [index, rect] : m_layout.Cells()) {
            if (CSFQTVideoWindowSubWnd* cell = Cell(index)) {
                cell->SetRect(rect);
                cell->show();
            }
        }
    }
    update();
    emit LayoutChanged();
}
