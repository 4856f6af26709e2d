#include "SkinPainter.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {
QColor C(QRgb rgba)
{
    return QColor::fromRgba(rgba);
}

QFont UiFont(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// Draws a glyph centred in the square `box` with pen colour `colour`.
void DrawGlyph(QPainter& p, Glyph glyph, const QRectF& box, const QColor& colour)
{
    const qreal s = qMin(box.width(), box.height());
    const QPointF c = box.center();
    const qreal u = s / 24.0;  // unit: a 24-pixel design grid
    QPen pen(colour, qMax<qreal>(1.5, 2.0 * u), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto pt = [&](qreal x, qreal y) { return QPointF(c.x() + x * u, c.y() + y * u); };
    switch (glyph) {
    case Glyph::Close:
        p.drawLine(pt(-5, -5), pt(5, 5));
        p.drawLine(pt(-5, 5), pt(5, -5));
        break;
    case Glyph::Minimise:
        p.drawLine(pt(-6, 3), pt(6, 3));
        break;
    case Glyph::Menu:
        for (int i = -1; i <= 1; ++i)
            p.drawLine(pt(-6, i * 4.5), pt(6, i * 4.5));
        break;
    case Glyph::Pin:
        p.drawLine(pt(0, 2), pt(0, 8));
        p.drawRect(QRectF(pt(-4, -7), pt(4, 2)));
        p.drawLine(pt(-7, 2), pt(7, 2));
        break;
    case Glyph::Hide:
        p.drawLine(pt(-6, -2), pt(0, 4));
        p.drawLine(pt(0, 4), pt(6, -2));
        break;
    case Glyph::Clear:
        p.drawRect(QRectF(pt(-5, -4), pt(5, 8)));
        p.drawLine(pt(-7, -6), pt(7, -6));
        p.drawLine(pt(-2, -8), pt(2, -8));
        p.drawLine(pt(-2, -1), pt(-2, 5));
        p.drawLine(pt(2, -1), pt(2, 5));
        break;
    case Glyph::Refresh: {
        const QRectF arc(pt(-7, -7), pt(7, 7));
        p.drawArc(arc, 30 * 16, 280 * 16);
        QPainterPath head;
        head.moveTo(pt(7.5, -6));
        head.lineTo(pt(6.5, 0));
        head.lineTo(pt(1, -3));
        head.closeSubpath();
        p.setBrush(colour);
        p.drawPath(head);
        break;
    }
    case Glyph::Gear:
        p.drawEllipse(QRectF(pt(-3, -3), pt(3, 3)));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(c);
            p.rotate(i * 45);
            p.drawLine(QPointF(0, -5 * u), QPointF(0, -8 * u));
            p.restore();
        }
        break;
    case Glyph::Plus:
        p.drawLine(pt(-6, 0), pt(6, 0));
        p.drawLine(pt(0, -6), pt(0, 6));
        break;
    case Glyph::Home: {
        QPainterPath roof;
        roof.moveTo(pt(-8, -1));
        roof.lineTo(pt(0, -8));
        roof.lineTo(pt(8, -1));
        p.drawPath(roof);
        p.drawRect(QRectF(pt(-5.5, -2), pt(5.5, 8)));
        break;
    }
    case Glyph::Device:
    case Glyph::Camera:
        p.drawRoundedRect(QRectF(pt(-8, -5), pt(4, 5)), 2 * u, 2 * u);
        p.drawLine(pt(4, -1), pt(8, -4));
        p.drawLine(pt(8, -4), pt(8, 4));
        p.drawLine(pt(8, 4), pt(4, 1));
        p.drawEllipse(QRectF(pt(-4.5, -2), pt(0.5, 3)));
        break;
    case Glyph::Network:
        p.drawRect(QRectF(pt(-3, -8), pt(3, -3)));
        p.drawRect(QRectF(pt(-9, 3), pt(-3, 8)));
        p.drawRect(QRectF(pt(3, 3), pt(9, 8)));
        p.drawLine(pt(0, -3), pt(0, 0));
        p.drawLine(pt(-6, 0), pt(6, 0));
        p.drawLine(pt(-6, 0), pt(-6, 3));
        p.drawLine(pt(6, 0), pt(6, 3));
        break;
    case Glyph::Upgrade:
        p.drawLine(pt(0, 7), pt(0, -6));
        p.drawLine(pt(-5, -1), pt(0, -6));
        p.drawLine(pt(5, -1), pt(0, -6));
        p.drawLine(pt(-7, 8), pt(7, 8));
        break;
    case Glyph::System:
        p.drawRoundedRect(QRectF(pt(-8, -7), pt(8, 4)), 1.5 * u, 1.5 * u);
        p.drawLine(pt(-3, 8), pt(3, 8));
        p.drawLine(pt(0, 4), pt(0, 8));
        break;
    case Glyph::Template:
        p.drawRect(QRectF(pt(-6, -8), pt(6, 8)));
        for (int i = 0; i < 3; ++i)
            p.drawLine(pt(-3, -4 + i * 4), pt(3, -4 + i * 4));
        break;
    case Glyph::Tools:
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                p.drawRoundedRect(QRectF(pt(-8 + i * 9, -8 + j * 9), pt(-1 + i * 9, -1 + j * 9)), u, u);
        break;
    case Glyph::Cloud: {
        QPainterPath cloud;
        cloud.addEllipse(QRectF(pt(-8, -1), pt(-1, 6)));
        cloud.addEllipse(QRectF(pt(-4, -6), pt(5, 3)));
        cloud.addEllipse(QRectF(pt(1, -2), pt(8, 6)));
        p.drawPath(cloud.simplified());
        break;
    }
    case Glyph::Package:
        p.drawRect(QRectF(pt(-7, -5), pt(7, 7)));
        p.drawLine(pt(-7, -5), pt(-4, -8));
        p.drawLine(pt(7, -5), pt(4, -8));
        p.drawLine(pt(-4, -8), pt(4, -8));
        p.drawLine(pt(-2, 0), pt(2, 0));
        break;
    case Glyph::Edit: {
        // A pencil lying from bottom left to top right, with a line under it.
        QPainterPath pencil;
        pencil.moveTo(pt(-7, 5));
        pencil.lineTo(pt(3, -5));
        pencil.lineTo(pt(6, -2));
        pencil.lineTo(pt(-4, 8));
        pencil.lineTo(pt(-7.5, 8.5));
        pencil.closeSubpath();
        p.drawPath(pencil);
        p.drawLine(pt(1, -3), pt(4, 0));
        p.drawLine(pt(2, 8.5), pt(8, 8.5));
        break;
    }
    case Glyph::Info:
        p.drawEllipse(QRectF(pt(-8.5, -8.5), pt(8.5, 8.5)));
        p.drawLine(pt(0, -1), pt(0, 4.5));
        p.setBrush(colour);
        p.drawEllipse(QRectF(pt(-0.6, -4.9), pt(0.6, -3.7)));
        break;
    case Glyph::Globe:
        p.drawEllipse(QRectF(pt(-8.5, -8.5), pt(8.5, 8.5)));
        p.drawEllipse(QRectF(pt(-3.5, -8.5), pt(3.5, 8.5)));
        p.drawLine(pt(-8.5, 0), pt(8.5, 0));
        break;
    case Glyph::Import:
    case Glyph::Export: {
        QPainterPath tray;
        tray.moveTo(pt(-8, 2));
        tray.lineTo(pt(-8, 8));
        tray.lineTo(pt(8, 8));
        tray.lineTo(pt(8, 2));
        p.drawPath(tray);
        const bool in = glyph == Glyph::Import;
        p.drawLine(pt(0, -8), pt(0, 4));
        const qreal tip = in ? 4 : -8, back = in ? 0 : -4;
        p.drawLine(pt(-4, back), pt(0, tip));
        p.drawLine(pt(4, back), pt(0, tip));
        break;
    }
    case Glyph::Search:
        p.drawEllipse(QRectF(pt(-8, -8), pt(4, 4)));
        p.drawLine(pt(3, 3), pt(8, 8));
        break;
    case Glyph::Recorder:
        p.drawRoundedRect(QRectF(pt(-9.5, -5.5), pt(9.5, 5.5)), 2 * u, 2 * u);
        p.drawLine(pt(-1, 0), pt(6, 0));
        p.setBrush(colour);
        p.drawEllipse(QRectF(pt(-6.5, -1.5), pt(-3.5, 1.5)));
        break;
    case Glyph::Dome:
        // A ceiling mount, the base line and the half dome with its lens.
        p.drawRect(QRectF(pt(-3, -6), pt(3, -2)));
        p.drawLine(pt(-9, -2), pt(9, -2));
        p.drawArc(QRectF(pt(-7, -9), pt(7, 5)), 180 * 16, 180 * 16);
        p.setBrush(colour);
        p.drawEllipse(QRectF(pt(-1.5, 0.5), pt(1.5, 3.5)));
        break;
    case Glyph::Enlarge:
    case Glyph::Reduce: {
        // Four corner brackets, pointing out to enlarge and in to reduce.
        const qreal o = glyph == Glyph::Enlarge ? 7 : 2, i = glyph == Glyph::Enlarge ? 3 : 7;
        for (int sx : {-1, 1})
            for (int sy : {-1, 1}) {
                p.drawLine(pt(sx * o, sy * o), pt(sx * i, sy * o));
                p.drawLine(pt(sx * o, sy * o), pt(sx * o, sy * i));
            }
        break;
    }
    case Glyph::None:
        break;
    }
}

// A chevron centred in `box`, pointing down or up.
void DrawChevron(QPainter& p, const QRectF& box, bool down, const QColor& colour)
{
    const QPointF c = box.center();
    const qreal w = box.width() * 0.2, h = box.width() * 0.1 * (down ? 1 : -1);
    p.setPen(QPen(colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(
        QPolygonF({QPointF(c.x() - w, c.y() - h), QPointF(c.x(), c.y() + h), QPointF(c.x() + w, c.y() - h)}));
}

void PaintDialogFrame(QPainter& p, const SkinImage& s)
{
    const QColor band = C(s.a), border = C(s.b);
    p.fillRect(0, 0, s.width, s.height, Qt::white);
    // The title band is as high as the skins' title area (27): dialogs whose top pieces are 30
    // high show the same band, with the close buttons at 2..25 centred on it.
    p.fillRect(0, 0, s.width, 27, band);
    p.setPen(border);
    p.drawLine(0, 27, 0, s.height - 1);
    p.drawLine(s.width - 1, 27, s.width - 1, s.height - 1);
    p.drawLine(0, s.height - 1, s.width - 1, s.height - 1);
    // Close button pieces at (11,41), (41,41), (71,41), 23 x 14: normal, hover, pressed.
    const QColor fills[3] = {QColor(0, 0, 0, 0), QColor(0xE5, 0x48, 0x4D), QColor(0xB8, 0x36, 0x3A)};
    for (int i = 0; i < 3; ++i) {
        const QRectF r(11 + 30 * i, 41, 23, 14);
        p.fillRect(r, i == 0 ? band : fills[i]);
        DrawGlyph(p, Glyph::Close, r, Qt::white);
    }
}

void PaintMainFrame(QPainter& p, const SkinImage& s)
{
    const QColor header = C(s.a), border = C(s.b);
    p.fillRect(0, 0, s.width, s.height, C(0xFFF2F4F7));
    p.fillRect(0, 0, s.width, 60, header);
    p.fillRect(0, 60, 68, s.height - 60, C(0xFF25303D));
    p.setPen(border);
    p.drawLine(0, 60, s.width - 1, 60);
    p.drawRect(0, 0, s.width - 1, s.height - 1);
    // Accent line under the header.
    p.fillRect(0, 58, s.width, 2, C(0xFF2D88EF));
}

void PaintButton(QPainter& p, const SkinImage& s)
{
    const QRectF r(0.5, 0.5, s.width - 1, s.height - 1);
    p.setPen(QPen(C(s.b), 1));
    p.setBrush(C(s.a));
    p.drawRoundedRect(r, 4, 4);
    if (!s.text) {
        // Icon-only face: the control draws its own text, which leaves blanks for the icon at the left.
        // The icon is a shade darker than the border.
        if (s.glyph != Glyph::None) {
            const qreal g = s.height - 18;
            DrawGlyph(p, s.glyph, QRectF(3, (s.height - g) / 2, g, g), C(s.b).darker(140));
        }
        return;
    }
    const bool disabled = (C(s.a).saturation() < 10 && C(s.b) == QColor(0xD0, 0xD0, 0xD0));
    const QColor ink = disabled ? QColor(0x9A, 0xA3, 0xAE) : QColor(0x1B, 0x24, 0x30);
    QRectF content = r.adjusted(6, 0, -6, 0);
    if (s.glyph != Glyph::None) {
        const qreal g = s.height - 14;
        DrawGlyph(p, s.glyph, QRectF(content.left(), (s.height - g) / 2, g, g), C(s.b));
        content.setLeft(content.left() + g + 4);
    }
    p.setPen(ink);
    p.setFont(UiFont(11));
    p.drawText(content, Qt::AlignCenter, QString::fromUtf8(s.text));
}

void PaintGlyphButton(QPainter& p, const SkinImage& s)
{
    const QRectF r(0, 0, s.width, s.height);
    if (qAlpha(s.a)) {
        p.setPen(Qt::NoPen);
        p.setBrush(C(s.a));
        if (s.width >= 32)
            p.drawEllipse(r.adjusted(1, 1, -1, -1));
        else
            p.drawRoundedRect(r.adjusted(1, 1, -1, -1), 4, 4);
    }
    const qreal inset = s.width >= 32 ? s.width * 0.2 : 2;
    DrawGlyph(p, s.glyph, r.adjusted(inset, inset, -inset, -inset), C(s.b));
}

void PaintCheck(QPainter& p, const SkinImage& s)
{
    const QRectF r(0.5, 0.5, s.width - 1, s.height - 1);
    p.setPen(QPen(s.state == 1 ? C(s.a) : C(s.b), 1));
    p.setBrush(C(s.a));
    p.drawRoundedRect(r, 3, 3);
    if (s.state == 1) {
        QPen pen(C(s.b), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.drawPolyline(QPolygonF({QPointF(3.5, 8.5), QPointF(6.5, 11.5), QPointF(12.5, 4.5)}));
    }
}

void PaintSwitch(QPainter& p, const SkinImage& s)
{
    const qreal h = s.height, w = s.width;
    p.setPen(Qt::NoPen);
    p.setBrush(C(s.a));
    p.drawRoundedRect(QRectF(0, 0, w, h), h / 2, h / 2);
    const qreal d = h - 4;
    const qreal x = s.state == 1 ? w - d - 2 : 2;
    p.setBrush(C(s.b));
    p.drawEllipse(QRectF(x, 2, d, d));
}

void PaintNavTab(QPainter& p, const SkinImage& s)
{
    p.fillRect(0, 0, s.width, s.height, C(s.a));
    if (s.state == 1)
        p.fillRect(0, 0, 3, s.height, Qt::white);
    const qreal g = s.height * 0.45;
    DrawGlyph(p, s.glyph, QRectF((s.width - g) / 2, (s.height - g) / 2, g, g), C(s.b));
}

void PaintBanner(QPainter& p, const SkinImage& s)
{
    if (qAlpha(s.a))
        p.fillRect(0, 0, s.width, s.height, C(s.a));
    if (s.width <= s.height) {
        // Square or tall: the glyph above, the text below, both centred.
        const qreal g = s.width * 0.45;
        DrawGlyph(p, s.glyph, QRectF((s.width - g) / 2, s.height * 0.14, g, g), C(s.b));
        p.setPen(C(s.b));
        p.setFont(UiFont(qMax(9, s.width / 6), true));
        p.drawText(QRectF(0, s.height * 0.14 + g + 2, s.width, s.height * 0.3), Qt::AlignHCenter | Qt::AlignTop,
                   QString::fromUtf8(s.text));
        return;
    }
    const qreal g = s.height * 0.7;
    DrawGlyph(p, s.glyph, QRectF(8, (s.height - g) / 2, g, g), C(s.b));
    p.setPen(C(s.b));
    p.setFont(UiFont(qMax(12, s.height / 2 - 2), true));
    p.drawText(QRectF(8 + g + 8, 0, s.width - g - 16, s.height), Qt::AlignVCenter | Qt::AlignLeft,
               QString::fromUtf8(s.text));
}

void PaintListPieces(QPainter& p, const SkinImage& s)
{
    p.fillRect(0, 0, s.width, 27, C(s.a));
    p.setPen(C(s.b));
    p.drawLine(0, 26, s.width - 1, 26);
    p.drawLine(2, 4, 2, 22);
    p.fillRect(0, 27, s.width, s.height - 27, Qt::white);
    DrawGlyph(p, Glyph::Hide, QRectF(0, 34, 14, 13), C(0xFF8C96A3));
}

void PaintEditFrame(QPainter& p, const SkinImage& s)
{
    p.setPen(QPen(C(s.b), 1));
    p.setBrush(C(s.a));
    p.drawRoundedRect(QRectF(0.5, 0.5, s.width - 1, s.height - 1), 3, 3);
}

void PaintIcon(QPainter& p, const SkinImage& s)
{
    DrawGlyph(p, s.glyph, QRectF(0, 0, s.width, s.height), C(s.b));
}

void PaintComboStrip(QPainter& p, const SkinImage& s)
{
    // Faces: normal (border b), disabled (grey), open upwards and open downwards (accent border a).
    const QColor accent = C(s.a), border = C(s.b);
    for (int i = 0; i < 4; ++i) {
        const QRectF face(0.5, 22 * i + 0.5, s.width - 1, (i == 0 ? 21 : 22) - 1);
        const bool disabled = i == 1;
        p.setPen(QPen(i >= 2 ? accent : border, 1));
        p.setBrush(disabled ? QColor(0xEE, 0xEE, 0xEE) : QColor(Qt::white));
        p.drawRoundedRect(face, 3, 3);
        const QRectF arrow(face.right() - face.height(), face.top(), face.height(), face.height());
        const QColor ink = disabled ? QColor(0xB4, 0xBB, 0xC4) : i >= 2 ? accent : QColor(0x5B, 0x67, 0x75);
        DrawChevron(p, arrow, i != 2, ink);
    }
}

// The pieces of the 150-pixel combo box at the rectangles its record names; each rectangle includes its
// right and bottom edges, so the image is one pixel wider than the control's pieces.
void PaintComboPieces(QPainter& p, const SkinImage& s)
{
    const QColor accent = C(s.a), border = C(s.b);
    struct Face {
        int top, height;
        bool disabled, open;
    };
    const Face faces[] = {{2, 23, false, false}, {30, 23, true, false}, {58, 23, false, false}, {86, 24, false, true}};
    for (const Face& f : faces) {
        const QRectF face(0.5, f.top + 0.5, s.width - 1, f.height - 1);
        p.setPen(QPen(f.top >= 58 ? accent : border, 1));
        p.setBrush(f.disabled ? QColor(0xEE, 0xEE, 0xEE) : QColor(Qt::white));
        p.drawRoundedRect(face, 3, 3);
        const QRectF arrow(face.right() - face.height(), face.top(), face.height(), face.height());
        const QColor ink = f.disabled ? QColor(0xB4, 0xBB, 0xC4) : f.top >= 58 ? accent : QColor(0x5B, 0x67, 0x75);
        DrawChevron(p, arrow, !f.open, ink);
    }
}

void PaintSectionTab(QPainter& p, const SkinImage& s)
{
    // Drawn over the page's 2-pixel underline: the current tab covers it, the others end on it.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor face = C(s.a), edge = C(s.b);
    p.fillRect(0, 0, s.width, s.height, face);
    p.setPen(edge);
    p.drawLine(0, 0, s.width - 1, 0);
    p.drawLine(0, 0, 0, s.height - 1);
    p.drawLine(s.width - 1, 0, s.width - 1, s.height - 1);
    if (s.state == 1)
        p.fillRect(0, 0, s.width, 3, C(0xFF2D88EF));
    else
        p.fillRect(0, s.height - 2, s.width, 2, edge);
}

void PaintRadio(QPainter& p, const SkinImage& s)
{
    const QRectF ring(1, 1, s.width - 2, s.height - 2);
    p.setPen(QPen(C(s.a), 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(ring);
    if (s.state == 1) {
        p.setPen(Qt::NoPen);
        p.setBrush(C(s.a));
        p.drawEllipse(ring.adjusted(3.5, 3.5, -3.5, -3.5));
    }
}

void PaintSlicedFrame(QPainter& p, const SkinImage& s)
{
    // The frame lives in the outer pixel, which a border-image sliced there keeps unscaled.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, s.width, s.height, C(s.a));
    p.setPen(C(s.b));
    p.drawLine(1, 0, s.width - 2, 0);
    p.drawLine(1, s.height - 1, s.width - 2, s.height - 1);
    p.drawLine(0, 1, 0, s.height - 2);
    p.drawLine(s.width - 1, 1, s.width - 1, s.height - 2);
    const QColor soft = C(s.b).lighter(110);
    for (const QPoint& pt : {QPoint(0, 0), QPoint(s.width - 1, 0), QPoint(0, s.height - 1), QPoint(s.width - 1, s.height - 1)}) {
        QColor c = soft;
        c.setAlpha(90);
        p.setPen(c);
        p.drawPoint(pt);
    }
}

void PaintPointer(QPainter& p, const SkinImage& s)
{
    // A hand whose finger tip is at (13, 7).
    QPainterPath hand;
    hand.moveTo(11, 7);
    hand.quadTo(13, 3, 15, 7);
    hand.lineTo(15, 15);
    hand.lineTo(22, 16);
    hand.quadTo(25, 17, 24, 21);
    hand.lineTo(22, 28);
    hand.lineTo(12, 28);
    hand.lineTo(6, 20);
    hand.quadTo(6, 17, 9, 18);
    hand.lineTo(11, 20);
    hand.closeSubpath();
    p.setPen(QPen(C(s.b), 1.5));
    p.setBrush(C(s.a));
    p.drawPath(hand);
}
}  // namespace

QImage PaintSkinImage(const SkinImage& s)
{
    QImage image(s.width, s.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (s.kind) {
    case SkinKind::Solid:
        p.fillRect(image.rect(), C(s.a));
        break;
    case SkinKind::DialogFrame:
        p.setRenderHint(QPainter::Antialiasing, false);
        PaintDialogFrame(p, s);
        break;
    case SkinKind::MainFrame:
        p.setRenderHint(QPainter::Antialiasing, false);
        PaintMainFrame(p, s);
        break;
    case SkinKind::Button:
        PaintButton(p, s);
        break;
    case SkinKind::Glyph:
        PaintGlyphButton(p, s);
        break;
    case SkinKind::Check:
        PaintCheck(p, s);
        break;
    case SkinKind::Switch:
        PaintSwitch(p, s);
        break;
    case SkinKind::NavTab:
        PaintNavTab(p, s);
        break;
    case SkinKind::Banner:
        PaintBanner(p, s);
        break;
    case SkinKind::ListPieces:
        PaintListPieces(p, s);
        break;
    case SkinKind::EditFrame:
        PaintEditFrame(p, s);
        break;
    case SkinKind::Pointer:
        PaintPointer(p, s);
        break;
    case SkinKind::Icon:
        PaintIcon(p, s);
        break;
    case SkinKind::ComboStrip:
        PaintComboStrip(p, s);
        break;
    case SkinKind::ComboPieces:
        PaintComboPieces(p, s);
        break;
    case SkinKind::SectionTab:
        PaintSectionTab(p, s);
        break;
    case SkinKind::Radio:
        PaintRadio(p, s);
        break;
    case SkinKind::SlicedFrame:
        PaintSlicedFrame(p, s);
        break;
    }
    p.end();
    return image;
}
