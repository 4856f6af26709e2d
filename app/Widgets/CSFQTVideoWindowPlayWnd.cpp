#include "Widgets/CSFQTVideoWindowPlayWnd.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

#include "Widgets/SFSkin.h"

namespace {

// Largest frame side accepted from the player: keeps the copy well inside memory.
constexpr int kMaxFrameSide = 8192;
constexpr int kMinZoomSide = 10;
constexpr int kSourceZoomStep = 20;

int Width(const RECT& r)
{
    return r.right - r.left + 1;
}
int Height(const RECT& r)
{
    return r.bottom - r.top + 1;
}

}  // namespace

CSFQTVideoWindowPlayWnd::CSFQTVideoWindowPlayWnd(const RECT& full, int proportionWidth, int proportionHeight)
    : m_full(full), m_nPropWidth(proportionWidth), m_nPropHeight(proportionHeight), m_display(full)
{
    setMouseTracking(true);
    m_nFrameWidth = width();
    m_nFrameHeight = height();
    m_source = RECT{0, 0, width() - 1, height() - 1};
}

RECT CSFQTVideoWindowPlayWnd::FitDivideFirst(const RECT& r, int pw, int ph)
{
    if (pw <= 0 || ph <= 0)
        return r;
    const int w = Width(r);
    const int h = Height(r);
    RECT out = r;
    if ((w / pw) * ph > h) {
        const int fitted = (h / ph) * pw;
        out.left = r.left + (w - fitted) / 2;
        out.right = out.left + fitted;
    } else {
        const int fitted = (w / pw) * ph;
        out.top = r.top + (h - fitted) / 2;
        out.bottom = out.top + fitted;
    }
    return out;
}

RECT CSFQTVideoWindowPlayWnd::FitMultiplyFirst(const RECT& r, int pw, int ph)
{
    if (pw <= 0 || ph <= 0)
        return r;
    const int w = Width(r);
    const int h = Height(r);
    const int g = ph * w / pw;
    RECT out = r;
    if (h < g) {
        const int fitted = h * pw / ph;
        out.left = r.left + (w - fitted) / 2;
        out.right = out.left + fitted;
    } else {
        out.top = r.top + (h - g) / 2;
        out.bottom = out.top + g;
    }
    return out;
}

QRect CSFQTVideoWindowPlayWnd::Cover(QRect g, const RECT& d)
{
    if (g.left() > d.left)
        g.moveLeft(d.left);
    if (g.right() < d.right)
        g.moveRight(d.right - 1);
    if (g.top() > d.top)
        g.moveTop(d.top);
    if (g.bottom() < d.bottom)
        g.moveBottom(d.bottom - 1);
    return g;
}

int CSFQTVideoWindowPlayWnd::Create(const wchar_t* name, QWidget* parent)
{
    m_display = FitDivideFirst(m_full, m_nPropWidth, m_nPropHeight);
    setWindowTitle(SFFromWide(name));
    setParent(parent);
    setGeometry(RectToQ(m_display));
    return 1;
}

void CSFQTVideoWindowPlayWnd::SetRect(int left, int top, int right, int bottom)
{
    const RECT r{left, top, right, bottom};
    m_display = FitMultiplyFirst(r, m_nPropWidth, m_nPropHeight);
    QRect g = geometry();
    if (!(m_nZoomed && Width(m_display) < g.width())) {
        m_nZoomed = 0;
        g = RectToQ(m_display);
    }
    if (g.left() > m_display.left)
        qDebug() << "setleft";
    if (g.right() < m_display.right)
        qDebug() << "setright";
    setGeometry(Cover(g, m_display));
    m_full = r;
}

void CSFQTVideoWindowPlayWnd::SetProportion(int width, int height)
{
    m_nPropWidth = width;
    m_nPropHeight = height;
    m_display = FitMultiplyFirst(m_full, width, height);
    setGeometry(RectToQ(m_display));
}

void CSFQTVideoWindowPlayWnd::ResetZoom()
{
    m_nZoomed = 0;
    setGeometry(RectToQ(m_display));
}

// Updates are held back so as not to paint over what a player draws into the native window;
// a surface that draws the frames itself keeps painting, or its picture would be lost to the
// next repaint of what lies beneath it.
void CSFQTVideoWindowPlayWnd::ApplyUpdates()
{
    const bool drawsFrames = m_nVideo && m_nFrameMode == 1 && !m_frame.isNull();
    setUpdatesEnabled(m_nUpdatesOn != 0 || drawsFrames);
}

void CSFQTVideoWindowPlayWnd::SetUpdatesOn(int on)
{
    m_nUpdatesOn = on != 0 ? 1 : 0;
    ApplyUpdates();
}

void CSFQTVideoWindowPlayWnd::StopPaintingOver()
{
    m_nUpdatesOn = 0;
    ApplyUpdates();
}

void CSFQTVideoWindowPlayWnd::PanTo(const QRect& geometry)
{
    if (geometry.width() <= Width(m_display) && geometry.height() <= Height(m_display))
        return;
    setGeometry(Cover(geometry, m_display));
}

void CSFQTVideoWindowPlayWnd::SetVideo(int on)
{
    m_nVideo = on;
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (on) {
        m_nFrameMode = 1;
    } else {
        m_source = RECT{0, 0, width() - 1, height() - 1};
        m_frame = QImage();
        m_nFrameMode = 0;
    }
    m_nFrameKnown = 0;
    ApplyUpdates();
    update();
}

int CSFQTVideoWindowPlayWnd::RenderFrame(const BYTE* data, int type, int width, int height)
{
    if (!data || width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide)
        return 0;
    if (!m_nFrameKnown || width != m_nFrameWidth || height != m_nFrameHeight) {
        m_source = RECT{0, 0, width - 1, height - 1};
        m_nFrameKnown = 1;
    }
    m_nFrameWidth = width;
    m_nFrameHeight = height;
    m_nFrameMode = type;
    // The one copy between the player and the screen, into a buffer kept from frame to frame.
    // A whole frame larger than the surface is stored at the surface's size: the copy is then
    // the scaling, and painting is a plain blit. Zoomed into the frame, it is kept at full size.
    const QImage wrapped(data, width, height, width * 4, QImage::Format_RGB32);
    const bool whole = m_source.left == 0 && m_source.top == 0 && m_source.right == width - 1 &&
                       m_source.bottom == height - 1;
    const QSize stored = type == 1 && whole && this->width() > 0 && this->height() > 0 && this->width() < width &&
                                 this->height() < height
                             ? size()
                             : QSize(width, height);
    if (m_frame.size() != stored || m_frame.format() != QImage::Format_RGB32)
        m_frame = QImage(stored, QImage::Format_RGB32);
    if (stored == QSize(width, height)) {
        const size_t rowBytes = static_cast<size_t>(width) * 4;
        for (int y = 0; y < height; ++y)
            std::memcpy(m_frame.scanLine(y), data + rowBytes * static_cast<size_t>(y), rowBytes);
    } else {
        QPainter painter(&m_frame);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QRectF(m_frame.rect()), wrapped);
    }
    // A drawn frame covers the whole surface: nothing beneath it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent, type == 1);
    ApplyUpdates();
    if (type != 2)
        update();
    return 1;
}

void CSFQTVideoWindowPlayWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_nVideo) {
        painter.fillRect(rect(), m_colour);
        if (m_pShared && !m_pShared->noVideo.isNull()) {
            const QPixmap& picture = m_pShared->noVideo;
            painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2, picture);
        }
        return;
    }
    if (m_nFrameMode == 1 && !m_frame.isNull()) {
        const double sx = double(m_frame.width()) / m_nFrameWidth;
        const double sy = double(m_frame.height()) / m_nFrameHeight;
        const QRectF source(m_source.left * sx, m_source.top * sy, Width(m_source) * sx, Height(m_source) * sy);
        painter.drawImage(QRectF(rect()), m_frame, source);
    }
}

void CSFQTVideoWindowPlayWnd::ZoomAt(bool forward, int globalX, int globalY, int step)
{
    const int maxWidth = m_pShared ? m_pShared->maxWidth : 0;
    const int maxHeight = m_pShared ? m_pShared->maxHeight : 0;
    const QPoint global(globalX, globalY);
    const QPoint local = mapFromGlobal(global);
    const QPoint inCell = parentWidget() ? parentWidget()->mapFromGlobal(global) : local;
    const double rx = width() > 0 ? double(local.x()) / width() : 0.0;
    const double ry = height() > 0 ? double(local.y()) / height() : 0.0;

    const double pw = HasProportion() ? m_nPropWidth : Width(m_full);
    const double ph = HasProportion() ? m_nPropHeight : Height(m_full);
    if (pw <= 0 || ph <= 0)
        return;
    int dx = step;
    int dy = static_cast<int>(step / pw * ph);
    if (dy < step) {
        dy = step;
        dx = static_cast<int>(pw * (step / ph));
    }

    const QRect g = geometry();
    int left, top, right, bottom;
    if (forward) {
        left = static_cast<int>(g.left() - dx * rx);
        top = static_cast<int>(g.top() - dy * ry);
        right = static_cast<int>(g.right() + dx - dx * rx);
        bottom = static_cast<int>(g.bottom() + dy - dy * ry);
        m_nZoomed = 1;
        if (right - left + 1 > maxWidth || bottom - top + 1 > maxHeight)
            return;
    } else {
        left = static_cast<int>(g.left() + dx * rx);
        top = static_cast<int>(g.top() + dy * ry);
        right = static_cast<int>(g.right() - (dx - dx * rx));
        bottom = static_cast<int>(g.bottom() - (dy - dy * ry));
        if (right - left + 1 <= Width(m_display) || bottom - top + 1 <= Height(m_display)) {
            m_nZoomed = 0;
            ApplyUpdates();
            setGeometry(RectToQ(m_display));
            return;
        }
    }
    const int newWidth = right - left + 1;
    const int newHeight = bottom - top + 1;
    QRect placed(inCell.x() - static_cast<int>(rx * newWidth + 0.5) + 15,
                 inCell.y() - static_cast<int>(ry * newHeight + 0.5) + 20, newWidth, newHeight);
    ApplyUpdates();
    setGeometry(Cover(placed, m_display));
}

void CSFQTVideoWindowPlayWnd::ZoomToRect(int left, int top, int right, int bottom)
{
    const int selWidth = right - left + 1;
    const int selHeight = bottom - top + 1;
    if (selWidth < kMinZoomSide || selHeight < kMinZoomSide || width() <= 0 || height() <= 0)
        return;
    const QPoint topLeft = mapFromParent(QPoint(left, top));
    const double rx = (topLeft.x() + selWidth / 2.0) / width();
    const double ry = (topLeft.y() + selHeight / 2.0) / height();

    const double pw = HasProportion() ? m_nPropWidth : Width(m_full);
    const double ph = HasProportion() ? m_nPropHeight : Height(m_full);
    double sw = selWidth;
    double sh = selHeight;
    if (pw > 0 && ph > 0) {
        if (sw / sh > pw / ph)
            sh = sw * ph / pw;
        else
            sw = sh * pw / ph;
    }
    int newWidth = static_cast<int>(width() * double(Width(m_display)) / sw + 0.5);
    int newHeight = static_cast<int>(height() * double(Height(m_display)) / sh + 0.5);
    const int maxWidth = m_pShared ? m_pShared->maxWidth : 0;
    const int maxHeight = m_pShared ? m_pShared->maxHeight : 0;
    if (newWidth > maxWidth || newHeight > maxHeight) {
        const double scale = std::min(double(maxWidth) / newWidth, double(maxHeight) / newHeight);
        newWidth = static_cast<int>(newWidth * scale + 0.5);
        newHeight = static_cast<int>(newHeight * scale + 0.5);
    }
    if (newWidth <= 0 || newHeight <= 0)
        return;
    QRect placed((m_full.left + m_full.right) / 2 - static_cast<int>(newWidth * rx),
                 (m_full.top + m_full.bottom) / 2 - static_cast<int>(newHeight * ry), newWidth, newHeight);
    m_nZoomed = 1;
    setGeometry(Cover(placed, m_display));
}

void CSFQTVideoWindowPlayWnd::mousePressEvent(QMouseEvent* event)
{
    const QPointF pos = event->position();
    if (event->button() == Qt::LeftButton) {
        m_nPanning = 1;
        if (width() > 0 && height() > 0)
            m_anchor = QPoint(static_cast<int>(Width(m_source) * pos.x() / width() + m_source.left),
                              static_cast<int>(Height(m_source) * pos.y() / height() + m_source.top));
    } else if (event->button() == Qt::RightButton) {
        m_source = RECT{0, 0, m_nFrameWidth - 1, m_nFrameHeight - 1};
        m_nZoomed = 0;
        update();
    }
    StopPaintingOver();
    QWidget::mousePressEvent(event);
}

void CSFQTVideoWindowPlayWnd::mouseReleaseEvent(QMouseEvent* event)
{
    StopPaintingOver();
    m_nPanning = 0;
    QWidget::mouseReleaseEvent(event);
}

void CSFQTVideoWindowPlayWnd::mouseMoveEvent(QMouseEvent* event)
{
    const bool dragAllowed = m_pShared && m_pShared->dragMode && !m_pShared->frameZoom;
    if ((event->buttons() & Qt::LeftButton) && m_nPanning && dragAllowed && width() > 0 && height() > 0) {
        const QPointF pos = event->position();
        const int dx = m_anchor.x() - static_cast<int>(Width(m_source) * pos.x() / width() + m_source.left);
        const int dy = m_anchor.y() - static_cast<int>(Height(m_source) * pos.y() / height() + m_source.top);
        RECT s{m_source.left + dx, m_source.top + dy, m_source.right + dx, m_source.bottom + dy};
        if (s.left < 0) {
            s.right -= s.left;
            s.left = 0;
        }
        if (s.right > m_nFrameWidth) {
            s.left -= s.right - m_nFrameWidth;
            s.right = m_nFrameWidth;
        }
        if (s.top < 0) {
            s.bottom -= s.top;
            s.top = 0;
        }
        if (s.bottom > m_nFrameHeight) {
            s.top -= s.bottom - m_nFrameHeight;
            s.bottom = m_nFrameHeight;
        }
        m_source = s;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void CSFQTVideoWindowPlayWnd::wheelEvent(QWheelEvent* event)
{
    if (m_nVideo)
        ZoomSource(event->angleDelta().y() <= 0, event->position().x(), event->position().y());
    QWidget::wheelEvent(event);
}

void CSFQTVideoWindowPlayWnd::ZoomSource(bool zoomOut, double x, double y)
{
    const int sw = Width(m_source);
    const int sh = Height(m_source);
    if (sw < kMinZoomSide || sh < kMinZoomSide || !m_nVideo || width() <= 0 || height() <= 0)
        return;
    const double fx = sw * x / width();
    const double fy = sh * y / height();
    double c;
    if (HasProportion())
        c = double(kSourceZoomStep) * m_nPropHeight / m_nPropWidth;
    else if (m_nFrameWidth > 0)
        c = double(kSourceZoomStep) * m_nFrameHeight / m_nFrameWidth;
    else
        return;
    const int ci = static_cast<int>(c);
    const int a = static_cast<int>(fx * kSourceZoomStep / sw);
    const int b = static_cast<int>(fy * ci / sh);
    RECT s = m_source;
    if (zoomOut) {
        s.left -= a, s.right += kSourceZoomStep - a, s.top -= b, s.bottom += ci - b;
    } else {
        s.left += a, s.right -= kSourceZoomStep - a, s.top += b, s.bottom -= ci - b;
    }
    if (Width(s) < kMinZoomSide || Height(s) < kMinZoomSide)
        return;
    if (Width(s) > m_nFrameWidth || Height(s) > m_nFrameHeight) {
        m_source = RECT{0, 0, m_nFrameWidth - 1, m_nFrameHeight - 1};
        m_nZoomed = 0;
        update();
        return;
    }
    const double ratio = HasProportion() ? double(m_nPropWidth) / m_nPropHeight : double(sw) / sh;
    const int w = Width(s);
    const int h = Height(s);
    if (w > h * ratio) {
        const int excess = w - static_cast<int>(h * ratio);
        s.left += excess / 2;
        s.right -= excess / 2;
    } else {
        const int excess = h - static_cast<int>(w / ratio);
        s.top += excess / 2;
        s.bottom -= excess / 2;
    }
    if (s.left < 0) {
        s.right -= s.left;
        s.left = 0;
    }
    if (s.top < 0) {
        s.bottom -= s.top;
        s.top = 0;
    }
    if (s.right > m_nFrameWidth - 1) {
        s.left -= s.right - (m_nFrameWidth - 1);
        s.right = m_nFrameWidth - 1;
    }
    if (s.bottom > m_nFrameHeight - 1) {
        s.top -= s.bottom - (m_nFrameHeight - 1);
        s.bottom = m_nFrameHeight - 1;
    }
    m_nZoomed = 1;
    m_source = s;
    update();
}
