// Render surface of one video cell: keeps the picture at the cell's proportion, paints the idle
// look without video, draws 32-bit RGB frames handed to it, and zooms either itself (larger
// than its cell, panned by the window) or the part of the frame that it draws.
#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <utility>

#include "os/WinTypes.h"

// What the window shares with its surfaces; owned by the window, read on paint and zoom.
struct VideoSurfaceShared {
    QPixmap noVideo;
    int maxWidth = 0;
    int maxHeight = 0;
    bool dragMode = false;
    bool frameZoom = false;
};

class CSFQTVideoWindowPlayWnd : public QWidget {
    Q_OBJECT
public:
    CSFQTVideoWindowPlayWnd(const RECT& full, int proportionWidth, int proportionHeight);

    void SetShared(const VideoSurfaceShared* shared) { m_pShared = shared; }
    int Create(const wchar_t* name, QWidget* parent);
    void SetRect(int left, int top, int right, int bottom);
    void SetProportion(int width, int height);
    RECT GetRect() const { return m_full; }
    std::pair<int, int> GetProportion() const { return {m_nPropWidth, m_nPropHeight}; }
    RECT GetDisplayRect() const { return m_display; }
    void SetColor(const QColor& colour) { m_colour = colour; }
    void ResetZoom();
    void SetVideo(int on);
    int RenderFrame(const BYTE* data, int type, int width, int height);
    void ZoomAt(bool forward, int globalX, int globalY, int step);
    void ZoomToRect(int left, int top, int right, int bottom);
    void SetUpdatesOn(int on);
    // Moves an enlarged surface to the geometry, shifted so that it keeps covering its display
    // rectangle; a surface at its display size stays where it is.
    void PanTo(const QRect& geometry);

    int IsVideo() const { return m_nVideo; }
    int IsZoomed() const { return m_nZoomed; }
    int UpdatesOn() const { return m_nUpdatesOn; }
    RECT SourceRect() const { return m_source; }
    const QImage& Frame() const { return m_frame; }

    // Proportion fits of a rectangle, inclusive corners; the result's right (or bottom) lies one
    // pixel beyond the fitted box. Rectangles pass unchanged without a proportion.
    static RECT FitDivideFirst(const RECT& r, int pw, int ph);
    static RECT FitMultiplyFirst(const RECT& r, int pw, int ph);
    // Shifts the geometry so that it covers the display rectangle.
    static QRect Cover(QRect geometry, const RECT& display);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool HasProportion() const { return m_nPropWidth > 0 && m_nPropHeight > 0; }
    void ZoomSource(bool zoomOut, double x, double y);
    void StopPaintingOver();
    void ApplyUpdates();

    const VideoSurfaceShared* m_pShared = nullptr;
    RECT m_full;
    int m_nPropWidth = 0;
    int m_nPropHeight = 0;
    QColor m_colour = QColor(92, 101, 118);
    int m_nVideo = 0;
    int m_nZoomed = 0;
    int m_nPanning = 0;
    RECT m_display;
    QPoint m_anchor;
    int m_nFrameMode = 0;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    int m_nFrameKnown = 0;
    RECT m_source;
    QImage m_frame;
    int m_nUpdatesOn = 0;
};

// Inclusive RECT to and from Qt.
inline QRect RectToQ(const RECT& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom));
}
inline RECT RectFromQ(const QRect& r)
{
    return RECT{r.left(), r.top(), r.right(), r.bottom()};
}
