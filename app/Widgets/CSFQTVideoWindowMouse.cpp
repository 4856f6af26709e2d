// Mouse handling of the split-screen video window: focus by click, exchange by dragging one
// cell onto another, panning and frame zoom of the focused surface, wheel zoom, the buttons
// that follow the mouse over the cells, and toggling divider runs in layout-editing mode.
#include <QMouseEvent>
#include <QWheelEvent>

#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/CSFQTVideoWindow.h"

namespace {

constexpr int kWheelStep = 20;
constexpr int kCloseInset = 6;
constexpr int kButtonTop = 3;
constexpr int kButtonGap = 3;

POINT ToPoint(const QPoint& p)
{
    return POINT{p.x(), p.y()};
}

}  // namespace

int CSFQTVideoWindow::VisibleCellAt(const QPoint& pos) const
{
    for (const auto& [index, cell] : m_cells) {
        if (!cell->isHidden() && RectToQ(cell->GetRect()).contains(pos))
            return index;
    }
    return -1;
}

bool CSFQTVideoWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool isButton = watched == m_pClose || watched == m_pSnap || watched == m_pProperty || watched == m_pRecord;
    if (isButton && event->type() == QEvent::MouseButtonDblClick)
        return true;
    return QWidget::eventFilter(watched, event);
}

void CSFQTVideoWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (m_shared.dragMode)
        setCursor(Qt::ClosedHandCursor);
    const QPoint pos = event->position().toPoint();
    if (IsVideoMode()) {
        m_nPressedIndex = VisibleCellAt(pos);
        m_bPressing = true;
        CSFQTVideoWindowSubWnd* cell = Cell(m_nPressedIndex);
        const bool video = cell && cell->GetVideo();
        if (video && (m_shared.dragMode || m_shared.frameZoom || m_bActiveCheck))
            m_pressPoint = cell->GetPlayWnd()->mapFrom(this, pos);
        if (video && (m_shared.frameZoom || m_bActiveCheck))
            m_zoomOrigin = cell->mapFrom(this, pos);
        if (m_pSink) {
            // Outside every cell the sink gets index and id -1 and the window position.
            POINT point = cell ? ToPoint(cell->GetPlayWnd()->mapFrom(this, pos)) : ToPoint(pos);
            m_pSink->VideoWidow_OnLButtonDown(m_nPressedIndex, cell ? cell->Id() : -1, point);
        }
    }
    QWidget::mousePressEvent(event);
}

void CSFQTVideoWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (!m_shared.dragMode)
        setCursor(Qt::ArrowCursor);
    else
        setCursor(m_bPressing ? Qt::ClosedHandCursor : Qt::OpenHandCursor);

    if (!IsVideoMode())
        m_layout.SelectDividerAt(pos.x(), pos.y());
    QRegion region;
    for (const auto& entry : m_layout.Selected())
        region += RectToQ(entry.second);
    if (region != m_selectionRegion) {
        update(region.united(m_selectionRegion));
        m_selectionRegion = region;
    }

    CSFQTVideoWindowSubWnd* focused = Cell(m_nFocusIndex);
    if (m_shared.dragMode && m_bPressing && m_nPressedIndex == m_nFocusIndex && focused) {
        CSFQTVideoWindowPlayWnd* surface = focused->GetPlayWnd();
        const QPoint travel = surface->mapFrom(this, pos) - m_pressPoint;
        surface->PanTo(surface->geometry().translated(travel));
    }

    CSFQTVideoWindowSubWnd* pressed = Cell(m_nPressedIndex);
    if (m_bPressing && (m_shared.frameZoom || m_bActiveCheck) && m_nPressedIndex == m_nFocusIndex && pressed &&
        pressed->GetVideo()) {
        CSFQTVideoWindowPlayWnd* surface = pressed->GetPlayWnd();
        const QRect band = QRect(m_zoomOrigin, pressed->mapFrom(this, pos)).normalized();
        const QRect clipped = band.intersected(RectToQ(surface->GetRect()).adjusted(1, 1, -1, -1));
        const QPoint topLeft = surface->mapFrom(pressed, clipped.topLeft());
        m_zoomRect = RECT{topLeft.x(), topLeft.y(), topLeft.x() + clipped.width() - 1,
                          topLeft.y() + clipped.height() - 1};
    }

    if (IsVideoMode()) {
        const int index = VisibleCellAt(pos);
        CSFQTVideoWindowSubWnd* cell = Cell(index);
        const bool placedThere =
            cell && m_pClose && !m_pClose->isHidden() && RectToQ(cell->GetRect()).contains(m_pClose->geometry());
        if (cell && !m_bPressing && !placedThere)
            HoverCell(index);
    }
    QWidget::mouseMoveEvent(event);
}

void CSFQTVideoWindow::HoverCell(int index)
{
    CSFQTVideoWindowSubWnd* cell = Cell(index);
    if (!cell || !m_pClose)
        return;
    const QRect r = RectToQ(cell->GetRect());
    const QSize closeSize = m_pClose->size();
    const QPoint closeAt(r.right() - kCloseInset - closeSize.width() + 1, r.top() + kButtonTop);
    m_pClose->move(closeAt);
    m_pSnap->move(closeAt.x() - kButtonGap - m_pSnap->width(), closeAt.y());
    m_pProperty->move(m_pSnap->x() - kButtonGap - m_pProperty->width(), closeAt.y());
    m_pRecord->move(m_pProperty->x() - kButtonGap - m_pRecord->width(), closeAt.y());
    if (!m_bCtrlsVisible)
        return;
    const auto state = m_recordStates.find(cell->Id());
    m_pRecord->SetCheck(state != m_recordStates.end() ? state->second : 0);
    m_pClose->show();
    m_pSnap->show();
    m_pProperty->show();
    m_pRecord->raise();
    m_pSnap->raise();
    m_pClose->raise();
    m_pProperty->raise();
    if (cell->GetVideo()) {
        cell->GetPlayWnd()->SetRect(0, kButtonStrip, cell->width() - 1, cell->height() - 1);
        if (m_pSink)
            m_pSink->OnSubWinBoundChanged(cell->Id());
    }
    if (m_pHovered && m_pHovered != cell)
        RestoreHoveredSurface();
    m_pHovered = cell;
}

void CSFQTVideoWindow::RestoreHoveredSurface()
{
    CSFQTVideoWindowSubWnd* cell = m_pHovered;
    m_pHovered = nullptr;
    if (!cell)
        return;
    cell->GetPlayWnd()->SetRect(0, 0, cell->width() - 1, cell->height() - 1);
    if (m_pSink)
        m_pSink->OnSubWinBoundChanged(cell->Id());
}

void CSFQTVideoWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_shared.dragMode)
        setCursor(Qt::OpenHandCursor);
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (!IsVideoMode() && m_layout.ToggleSelectedDividers()) {
            RaiseLayoutChanged();
            update();
        }
        CSFQTVideoWindowSubWnd* pressed = Cell(m_nPressedIndex);
        if ((m_shared.frameZoom || m_bActiveCheck) && m_nPressedIndex == m_nFocusIndex && pressed &&
            pressed->GetVideo()) {
            CSFQTVideoWindowPlayWnd* surface = pressed->GetPlayWnd();
            const QRect band = QRect(m_zoomOrigin, pressed->mapFrom(this, pos)).normalized();
            const QRect r = band.intersected(RectToQ(surface->GetRect()));
            if (m_shared.frameZoom) {
                surface->ZoomToRect(r.left(), r.top(), r.right(), r.bottom());
                m_zoomRect = RECT{0, 0, 0, 0};
            }
        }
        if (IsVideoMode())
            FinishRelease(pos);
        m_zoomOrigin = QPoint();
        m_pressPoint = QPoint();
        m_bPressing = false;
    } else if (event->button() == Qt::RightButton && IsVideoMode()) {
        if (CSFQTVideoWindowSubWnd* cell = Cell(VisibleCellAt(pos)))
            cell->GetPlayWnd()->ResetZoom();
    }
    QWidget::mouseReleaseEvent(event);
}

// Left release in video mode: the sink's release, then exchange or focus by click.
void CSFQTVideoWindow::FinishRelease(const QPoint& pos)
{
    const int released = VisibleCellAt(pos);
    CSFQTVideoWindowSubWnd* target = Cell(released);
    if (m_pSink) {
        POINT point = target ? ToPoint(target->GetPlayWnd()->mapFrom(this, pos)) : ToPoint(pos);
        m_pSink->VideoWidow_OnLButtonUp(released, target ? target->Id() : -1, point);
    }
    const int pressed = m_nPressedIndex;
    if (!m_shared.frameZoom && m_bExchange && !m_shared.dragMode && pressed != -1) {
        if (released == -1) {
            m_nPressedIndex = -1;
            return;
        }
        if (pressed != released) {
            CSFQTVideoWindowSubWnd* out = m_cells[pressed];
            CSFQTVideoWindowSubWnd* in = m_cells[released];
            const RECT outRect = out->GetRect();
            out->SetRect(in->GetRect());
            in->SetRect(outRect);
            m_cells[pressed] = in;
            m_cells[released] = out;
            out->update();
            in->update();
            if (m_pSink) {
                m_pSink->OnSubWndExchanged(out->Id(), in->Id());
                if (released == m_nFocusIndex)
                    m_pSink->OnFocusWndChanged(out->Id(), in->Id());
                if (pressed == m_nFocusIndex)
                    m_pSink->OnFocusWndChanged(in->Id(), out->Id());
            }
        }
    }
    if (released != -1 && released == pressed && released != m_nFocusIndex) {
        const int oldFocus = m_nFocusIndex;
        QRegion dirty = FocusRing(released);
        dirty += FocusRing(oldFocus);
        m_nFocusIndex = released;
        update(dirty.boundingRect().adjusted(-1, -1, 1, 1));
        CSFQTVideoWindowSubWnd* old = Cell(oldFocus);
        if (m_pSink && old)
            m_pSink->OnFocusWndChanged(Cell(released)->Id(), old->Id());
    }
    m_nPressedIndex = -1;
}

void CSFQTVideoWindow::wheelEvent(QWheelEvent* event)
{
    if (m_pSink && IsVideoMode()) {
        const int index = VisibleCellAt(event->position().toPoint());
        CSFQTVideoWindowSubWnd* cell = Cell(index);
        if (cell && cell->GetVideo() && index == m_nFocusIndex) {
            CSFQTVideoWindowPlayWnd* surface = cell->GetPlayWnd();
            surface->SetUpdatesOn(0);
            const QPoint global = event->globalPosition().toPoint();
            surface->ZoomAt(event->angleDelta().y() > 0, global.x(), global.y(), kWheelStep);
        }
    }
    QWidget::wheelEvent(event);
}

void CSFQTVideoWindow::leaveEvent(QEvent* event)
{
    if (IsVideoMode()) {
        for (QWidget* button : {static_cast<QWidget*>(m_pClose), static_cast<QWidget*>(m_pSnap),
                                static_cast<QWidget*>(m_pProperty), static_cast<QWidget*>(m_pRecord)}) {
            if (button)
                button->hide();
        }
        RestoreHoveredSurface();
    }
    QWidget::leaveEvent(event);
}

void CSFQTVideoWindow::ButtonClicked(CSFQTButton* button, void (ISFVideoWindowEvent::*raise)(int, int))
{
    if (!m_pSink || !button)
        return;
    const int index = VisibleCellAt(button->pos());
    if (CSFQTVideoWindowSubWnd* cell = Cell(index))
        (m_pSink->*raise)(index, cell->Id());
}

void CSFQTVideoWindow::OnBnClickedVideoClose()
{
    ButtonClicked(m_pClose, &ISFVideoWindowEvent::OnBnClickedVideoClose);
}

void CSFQTVideoWindow::OnBnClickedVideoSnap()
{
    ButtonClicked(m_pSnap, &ISFVideoWindowEvent::OnBnClickedVideoSnap);
}

void CSFQTVideoWindow::OnBnClickedVideoProperty()
{
    ButtonClicked(m_pProperty, &ISFVideoWindowEvent::OnBnClickedVideoProperty);
}

void CSFQTVideoWindow::RADIO_OnClicked(int checked, int, POINT)
{
    if (!m_pSink || !m_pRecord)
        return;
    const int index = VisibleCellAt(m_pRecord->pos());
    CSFQTVideoWindowSubWnd* cell = Cell(index);
    if (!cell)
        return;
    if (checked)
        m_recordStates[cell->Id()] = 1;
    else
        m_recordStates.erase(cell->Id());
    m_pSink->OnBnClickedVideoRecord(index, cell->Id(), checked);
}
