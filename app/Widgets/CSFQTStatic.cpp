#include "Widgets/CSFQTStatic.h"

#include <algorithm>
#include <new>

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

CSFQTStatic::CSFQTStatic(ISFStaticEvent* sink) : QLabel(nullptr), CSFStatic(sink)
{
    setMouseTracking(true);
}

QFont CSFQTStatic::PaintFont() const
{
    QFont f = font();
    f.setWeight(m_nBold ? QFont::Bold : QFont::Normal);
    f.setPixelSize(m_nPixelSize);
    return f;
}

void CSFQTStatic::GrowToFit(const QRect& reference, const QFont& f)
{
    const QRect measured = QFontMetrics(f).boundingRect(reference, m_nTextFlags, text());
    setGeometry(reference.left(), reference.top(), std::max(reference.width(), measured.width()),
                std::max(reference.height(), measured.height()));
}

int CSFQTStatic::Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setText(SFFromWide(text));
    GrowToFit(SFRectExclusive(rect), PaintFont());
    setVisible((style & WS_VISIBLE) != 0);
    m_nId = static_cast<int>(id);
    return 1;
}

void CSFQTStatic::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectExclusive(*rect));
}

int CSFQTStatic::GetStaticText(wchar_t* buf, int count) const
{
    SFCopyText(text(), buf, count);
    return 0;
}

void CSFQTStatic::SetStaticText(const wchar_t* text)
{
    setText(SFFromWide(text));
    GrowToFit(geometry(), font());
    update();
}

void CSFQTStatic::SetTextAlignFlag(UINT flags)
{
    int f;
    if (flags & 2)
        f = 0x2;
    else if (flags & 1)
        f = 0x4;
    else
        f = 0x1;
    if (flags & 4)
        f |= 0x80;
    if (flags & 0x10) {
        f &= ~0x100;
        f |= 0x1200;
    }
    if (flags & 0x20) {
        f &= ~0x1000;
        f |= 0x100;
    }
    m_nTextFlags = f;
    update();
}

void CSFQTStatic::SetTextColor(UINT colour)
{
    m_textColor = SFColorFromRef(colour);
    update();
}

void CSFQTStatic::SetTextBold(int bold)
{
    m_nBold = bold;
    update();
}

void CSFQTStatic::GetTextSize(int& w, int& h)
{
    w = width();
    h = height();
}

void CSFQTStatic::SetBgColor(UINT colour, int fill)
{
    m_nBgFill = fill;
    m_bgColor = SFColorFromRef(colour);
    update();
}

void CSFQTStatic::SetTextSize(int size)
{
    // The font itself, not a style sheet: a sheet gives the label a style of its own to build.
    if (size <= 0)
        return;
    m_nPixelSize = size;
    setFont(PaintFont());
}

void CSFQTStatic::GetStaticCtrolPos(RECT& rect)
{
    rect = GetGeometry();
}

void CSFQTStatic::SetTextOffset(int offset)
{
    m_nTextOffset = offset;
    update();
}

void CSFQTStatic::SetWordWrap(int wrap)
{
    m_nWordWrap = wrap;
    if (wrap)
        m_nTextFlags |= 0x1000;
    else
        m_nTextFlags &= ~0x1000;
    setWordWrap(wrap != 0);
}

void CSFQTStatic::SetWrapAnywhere(int wrap)
{
    m_nWrapAnywhere = wrap;
    if (wrap)
        m_nTextFlags |= 0x2000;
    else
        m_nTextFlags &= ~0x2000;
}

void CSFQTStatic::SetToolTipText(const wchar_t* text)
{
    setToolTip(SFFromWide(text));
}

RECT CSFQTStatic::GetGeometry()
{
    const QRect g = geometry();
    return RECT{g.left(), g.top(), g.right(), g.bottom()};
}

void CSFQTStatic::EnableWindow(int enable)
{
    setEnabled(enable != 0);
    SetTextColor(enable ? 0 : 0xBCBCBC);
}

void CSFQTStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_nBgFill == 1)
        p.fillRect(rect(), m_bgColor);
    const QFont f = PaintFont();
    if (font() != f)
        setFont(f);
    p.setFont(f);
    // A colour never set draws in the palette's text colour.
    p.setPen(m_textColor.isValid() ? m_textColor : palette().color(QPalette::WindowText));
    QRect r = rect();
    r.setLeft(m_nTextOffset);
    p.drawText(r, m_nTextFlags, text());
}

void CSFQTStatic::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pSink) {
        const QPoint p = mapToParent(event->position().toPoint());
        m_pSink->STATIC_OnMouseMove(static_cast<UINT>(m_nId), 0, POINT{p.x(), p.y()});
    }
    QLabel::mouseMoveEvent(event);
}

CSFStatic* CreateSFStatic(ISFStaticEvent* sink)
{
    return new (std::nothrow) CSFQTStatic(sink);
}

void DestroySFStatic(CSFStatic*) {}
