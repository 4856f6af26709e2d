// Skin state shared by the skinned dialog and the main window: frame pieces, title-bar
// buttons, the composed frame, hit tests and the key translation.
#pragma once

#include <map>

#include <QBitmap>
#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "os/WinTypes.h"

struct DialogStyle;
class QKeyEvent;
class QPainter;
class QWidget;

class CSFFrameSkin {
public:
    enum Button { NoButton = 0, CloseButton = 1, MaxButton = 2, MinButton = 3, FourthButton = 4 };
    enum Look { LookNormal = 0, LookHover = 1, LookPressed = 2 };

    // Reads the record. Button images are read only when loadButtonImages is set.
    void Apply(const DialogStyle& style, bool loadButtonImages);

    bool HasFrame() const { return !m_frame.isNull(); }
    // Moves the title and button rectangles for a new width (called on resize).
    void FollowWidth(int oldWidth, int newWidth);
    // Prepares the frame for the size. With useFrameCut, a frame image at least as large as the
    // window is cut instead of composed.
    void Compose(int w, int h, bool useFrameCut);
    // Paints the prepared frame, then the buttons; nothing before a Compose with a frame.
    void Paint(QPainter& painter) const;
    // The prepared frame on a transparent picture of its size.
    QPixmap Picture() const;
    bool HasPicture() const { return !m_size.isEmpty(); }
    // Button under the point, or NoButton.
    int HitTest(const QPoint& point) const;
    // Keeps a dropped window of the given width reachable on the primary screen; true when moved.
    static bool ClampDropPosition(QPoint& topLeft, int width);
    // The caller's id of a running Qt timer, or 0 when the timer is not one of the caller's.
    static UINT TimerUserId(const std::map<UINT, int>& timers, int qtTimerId);
    QRect ButtonRect(int button) const;
    // Rounded mask of the size from the corner radii.
    QBitmap Mask(const QSize& size) const;

    QPixmap m_frame;
    QPixmap m_background;
    int m_width = -1;
    int m_height = -1;
    int m_baseWidth = -1;
    int m_baseHeight = -1;
    int m_radiusX = -1;
    int m_radiusY = -1;
    QColor m_bkColor = QColor(0, 0, 0);
    QRect m_pieces[12];
    QRect m_buttonPieces[4][3];  // by button (close, max, min, fourth) and look
    QRect m_buttonRects[4];
    QRect m_titleRect = QRect(QPoint(0, 0), QPoint(-1, -1));
    int m_titleAlign = 0;
    QPixmap m_buttonImages[4][3];
    QSize m_size;
    bool m_frameCut = false;
    QPixmap m_piecePixmaps[12];
    bool m_uniformBackground = false;
    QColor m_backgroundColour;
    QColor m_titleColor;
    int m_hoverState = 0;
    int m_hoverButton = 0;

    CSFFrameSkin();

private:
    // The four buttons in the order close, maximise, minimise, fourth.
    void PaintButtons(QPainter& painter) const;
};

// Windows modifier code (16 Shift, 17 Control, 18 Alt, OR-ed) of a key event.
UINT SFModifierCode(const QKeyEvent* event);
// Windows key code of a key event; other keys give 0 (dialog) or the toolkit code (main window).
UINT SFVirtualKeyCode(const QKeyEvent* event, bool mainWindow);
// Position of a widget centred on an area, following the centring rules of the dialogs.
QPoint SFCentredPosition(const QRect& area, int width, int height, int baseWidth, int baseHeight);
