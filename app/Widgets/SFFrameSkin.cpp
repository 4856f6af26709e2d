#include "Widgets/SFFrameSkin.h"

#include <algorithm>

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QPainter>

#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
const QRect kNoRect(QPoint(0, 0), QPoint(-1, -1));

QPixmap LoadPng(const std::wstring& name)
{
    QPixmap* pixmap = nullptr;
    SFLoadSkinPixmap(SFSkinPath(name), &pixmap, "png");
    QPixmap result = pixmap ? *pixmap : QPixmap();
    delete pixmap;
    return result;
}

// Whether a small image has one colour only (and which); large images are not looked at.
bool UniformColour(const QPixmap& pixmap, QColor* colour)
{
    if (pixmap.isNull() || pixmap.width() * pixmap.height() > 64 * 64)
        return false;
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != first)
                return false;
    }
    *colour = QColor::fromRgba(first);
    return true;
}

QPixmap Piece(const QPixmap& image, const QRect& rect)
{
    if (image.isNull() || !rect.isValid())
        return QPixmap();
    return image.copy(rect);
}
}  // namespace

CSFFrameSkin::CSFFrameSkin()
{
    for (QRect& r : m_pieces)
        r = kNoRect;
    for (auto& row : m_buttonPieces)
        for (QRect& r : row)
            r = kNoRect;
    for (QRect& r : m_buttonRects)
        r = kNoRect;
}

void CSFFrameSkin::Apply(const DialogStyle& s, bool loadButtonImages)
{
    const auto size = SFParseIntPair(s.strDlgSize);
    if (!s.strDlgSize.empty()) {
        m_width = size.first;
        m_height = size.second;
    }
    const auto radii = SFParseIntPair(s.strRoundCorner);
    m_radiusX = radii.first;
    m_radiusY = radii.second;
    m_bkColor = SFParseColor(s.strBkColor);
    m_background = LoadPng(s.strBkImage);
    m_frame = LoadPng(s.strFrameImage);
    if (!s.strDlgSize.empty()) {
        m_baseWidth = size.first;
        m_baseHeight = size.second;
    } else {
        m_baseWidth = m_frame.width();
        m_baseHeight = m_frame.height();
    }
    const std::wstring* pieces[12] = {&s.strTopLeftRect,     &s.strTopRect,        &s.strTopRightRect,
                                      &s.strLeftTopRect,     &s.strLeftRect,       &s.strLeftBottomRect,
                                      &s.strBottomLeftRect,  &s.strBottomRect,     &s.strBottomRightRect,
                                      &s.strRightBottomRect, &s.strRightRect,      &s.strRightTopRect};
    for (int i = 0; i < 12; ++i)
        m_pieces[i] = SFParseRect(*pieces[i]);
    const std::wstring* buttonPieces[4][3] = {
        {&s.strCloseNormalRect, &s.strCloseHoverRect, &s.strClosePressedRect},
        {&s.strMaxNormalRect, &s.strMaxHoverRect, &s.strMaxPressedRect},
        {&s.strMinNormalRect, &s.strMinHoverRect, &s.strMinPressedRect},
        {&s.strBtn4NormalRect, &s.strBtn4HoverRect, &s.strBtn4PressedRect}};
    const std::wstring* buttonImages[4][3] = {
        {&s.strCloseNormalImage, &s.strCloseHoverImage, &s.strClosePressedImage},
        {&s.strMaxNormalImage, &s.strMaxHoverImage, &s.strMaxPressedImage},
        {&s.strMinNormalImage, &s.strMinHoverImage, &s.strMinPressedImage},
        {&s.strBtn4NormalImage, &s.strBtn4HoverImage, &s.strBtn4PressedImage}};
    for (int b = 0; b < 4; ++b) {
        for (int l = 0; l < 3; ++l) {
            m_buttonPieces[b][l] = SFParseRect(*buttonPieces[b][l]);
            m_buttonImages[b][l] = loadButtonImages ? LoadPng(*buttonImages[b][l]) : QPixmap();
        }
    }
    m_buttonRects[0] = SFParseRect(s.strClosePos);
    m_buttonRects[1] = SFParseRect(s.strMaxPos);
    m_buttonRects[2] = SFParseRect(s.strMinPos);
    m_buttonRects[3] = SFParseRect(s.strBtn4Pos);
    m_titleRect = SFParseRect(s.strTitleRect);
    if (loadButtonImages) {
        m_titleAlign = SFParseTitleAlign(s.strTitleAlign);
        m_titleColor = SFParseColor(s.strTitleColor);
    }
}

void CSFFrameSkin::FollowWidth(int oldWidth, int newWidth)
{
    m_titleRect = QRect(QPoint(0, 0), QPoint(newWidth - 1, m_titleRect.bottom() - m_titleRect.top()));
    for (QRect& r : m_buttonRects) {
        if (!r.isValid())
            continue;
        if (r.left() < 0)
            r = QRect(QPoint(newWidth + r.left(), r.top()), QPoint(newWidth + r.right(), r.bottom()));
        else
            r.translate(newWidth - oldWidth, 0);
    }
}

void CSFFrameSkin::Compose(int w, int h, bool useFrameCut)
{
    if (m_frame.isNull() || w <= 0 || h <= 0) {
        m_size = QSize();
        return;
    }
    m_size = QSize(w, h);
    m_frameCut = useFrameCut && m_frame.width() >= w && m_frame.height() >= h;
    if (m_frameCut)
        return;
    for (int i = 0; i < 12; ++i)
        m_piecePixmaps[i] = Piece(m_frame, m_pieces[i]);
    m_uniformBackground = !m_background.isNull() && UniformColour(m_background, &m_backgroundColour);
}

void CSFFrameSkin::Paint(QPainter& p) const
{
    if (m_size.isEmpty())
        return;
    const int w = m_size.width(), h = m_size.height();
    if (m_frameCut) {
        p.drawPixmap(0, 0, m_frame, 0, 0, w, h);
        PaintButtons(p);
        return;
    }
    // A background of one colour stretched is that colour: fill it instead of scaling it.
    if (m_uniformBackground)
        p.fillRect(QRect(0, 0, w, h), m_backgroundColour);
    else if (!m_background.isNull())
        p.drawPixmap(QRect(0, 0, w, h), m_background);
    else
        p.fillRect(QRect(0, 0, w, h), m_bkColor);

    const QPixmap &TL = m_piecePixmaps[0], &T = m_piecePixmaps[1], &TR = m_piecePixmaps[2],
                  &LT = m_piecePixmaps[3], &L = m_piecePixmaps[4], &LB = m_piecePixmaps[5],
                  &BL = m_piecePixmaps[6], &B = m_piecePixmaps[7], &BR = m_piecePixmaps[8],
                  &RB = m_piecePixmaps[9], &R = m_piecePixmaps[10], &RT = m_piecePixmaps[11];
    auto draw = [&p](int x, int y, const QPixmap& piece) {
        if (!piece.isNull())
            p.drawPixmap(x, y, piece);
    };
    // An edge repeats its piece from a start while the position stays below a limit; the last
    // copy may reach past the limit. One tiled draw gives the same pixels as the single copies.
    auto repeatX = [&p](int from, int limit, int y, const QPixmap& piece) {
        if (piece.isNull() || piece.width() <= 0 || from >= limit)
            return;
        const int copies = (limit - from + piece.width() - 1) / piece.width();
        p.drawTiledPixmap(QRect(from, y, copies * piece.width(), piece.height()), piece);
    };
    auto repeatY = [&p](int from, int limit, int x, const QPixmap& piece) {
        if (piece.isNull() || piece.height() <= 0 || from >= limit)
            return;
        const int copies = (limit - from + piece.height() - 1) / piece.height();
        p.drawTiledPixmap(QRect(x, from, piece.width(), copies * piece.height()), piece);
    };
    // Top row.
    draw(0, 0, TL);
    repeatX(TL.width(), w - TR.width(), 0, T);
    draw(w - TR.width(), 0, TR);
    // Left column.
    draw(0, TL.height(), LT);
    repeatY(TL.height() + LT.height(), h - BL.height() - LB.height(), 0, L);
    draw(0, h - BL.height() - LB.height(), LB);
    // Right column, placed with the left corners' heights.
    draw(w - RT.width(), TL.height(), RT);
    repeatY(TL.height() + RT.height(), h - BL.height() - RB.height(), w - R.width(), R);
    draw(w - RB.width(), h - BL.height() - RB.height(), RB);
    // Bottom row.
    draw(0, h - BL.height(), BL);
    repeatX(BL.width(), w - BR.width(), h - B.height(), B);
    draw(w - BR.width(), h - BR.height(), BR);
    PaintButtons(p);
}

QPixmap CSFFrameSkin::Picture() const
{
    if (m_size.isEmpty())
        return QPixmap();
    QPixmap out(m_size);
    out.fill(Qt::transparent);
    QPainter p(&out);
    Paint(p);
    p.end();
    return out;
}

void CSFFrameSkin::PaintButtons(QPainter& p) const
{
    for (int b = 0; b < 4; ++b) {
        const QRect& rect = m_buttonRects[b];
        const bool hasImage = !m_buttonImages[b][0].isNull();
        if (!rect.isValid() && !hasImage)
            continue;
        int look = 0;
        if (m_hoverButton == b + 1)
            look = m_hoverState == LookPressed ? 2 : (m_hoverState == LookHover ? 1 : 0);
        if (hasImage) {
            if (!m_buttonImages[b][look].isNull())
                p.drawPixmap(rect, m_buttonImages[b][look]);
        } else {
            const QPixmap piece = Piece(m_frame, m_buttonPieces[b][look]);
            if (!piece.isNull())
                p.drawPixmap(rect, piece);
        }
    }
}

int CSFFrameSkin::HitTest(const QPoint& point) const
{
    for (int b = 0; b < 4; ++b) {
        if (m_buttonRects[b].isValid() && m_buttonRects[b].contains(point))
            return b + 1;
    }
    return NoButton;
}

QRect CSFFrameSkin::ButtonRect(int button) const
{
    if (button < 1 || button > 4)
        return QRect();
    return m_buttonRects[button - 1];
}

QBitmap CSFFrameSkin::Mask(const QSize& size) const
{
    QBitmap mask(size);
    mask.clear();
    QPainter p(&mask);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::color1);
    const int a = std::max(0, m_radiusX), b = std::max(0, m_radiusY);
    if (a == 0 || b == 0)
        p.drawRect(QRect(QPoint(0, 0), size));
    else
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), a, b);
    return mask;
}

UINT SFModifierCode(const QKeyEvent* event)
{
    UINT code = 0;
    const Qt::KeyboardModifiers m = event->modifiers();
    if (m & Qt::ShiftModifier)
        code |= 16;
    if (m & Qt::ControlModifier)
        code |= 17;
    if (m & Qt::AltModifier)
        code |= 18;
    return code;
}

UINT SFVirtualKeyCode(const QKeyEvent* event, bool mainWindow)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_F1:
        return 112;
    case Qt::Key_F4:
        return mainWindow ? 115 : 0;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return mainWindow ? static_cast<UINT>(event->key()) : 13;
    default:
        return mainWindow ? static_cast<UINT>(event->key()) : 0;
    }
}

QPoint SFCentredPosition(const QRect& area, int width, int height, int baseWidth, int baseHeight)
{
    int w = width, h = height;
    if (w > area.width())
        w = std::max(baseWidth, area.width());
    if (h > area.height())
        h = std::max(baseHeight, area.height());
    if (area.width() >= w && area.height() >= h)
        return QPoint(area.left() + (area.width() - w) / 2, area.top() + (area.height() - h) / 2);
    return area.topLeft();
}

bool CSFFrameSkin::ClampDropPosition(QPoint& p, int width)
{
    QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return false;
    const QRect S = s->geometry(), A = s->availableGeometry();
    const int T = A.top();
    bool corrected = false;
    if (p.y() < T) {
        p.setY(T);
        corrected = true;
    }
    if (A.bottom() < S.bottom() && A.bottom() < T + p.y()) {
        p.setY(A.bottom() - T);
        corrected = true;
    }
    if (A.left() > S.left() && A.left() > p.x() + width - T) {
        p.setX(A.left() + T - width);
        corrected = true;
    }
    if (A.right() < S.right() && A.right() < T + p.x()) {
        p.setX(A.right() - T);
        corrected = true;
    }
    return corrected;
}

UINT CSFFrameSkin::TimerUserId(const std::map<UINT, int>& timers, int qtTimerId)
{
    for (const auto& timer : timers)
        if (timer.second == qtTimerId)
            return timer.first;
    return 0;
}
