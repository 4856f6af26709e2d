#include "Widgets/CSFQTButton.h"

#include <new>

#include <QCoreApplication>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QToolTip>

#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

void SFLoadControlImage(const std::wstring& name, QPixmap& image)
{
    if (name.empty())
        return;
    image = SFSkinImage(SFSkinPath(name));
}

void SFLoadControlImage(const std::wstring& name, SFLazySkinImage& image)
{
    if (!name.empty())
        image.SetPath(SFSkinPath(name));
}

QRect SFRectExclusive(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

QRect SFRectInclusive(const RECT& r)
{
    return QRect(r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1);
}

CSFQTButton::CSFQTButton(ISFButtonEvent* sink) : QPushButton(nullptr), CSFButton(sink), m_fade(this)
{
    connect(this, &QAbstractButton::clicked, this, &CSFQTButton::OnClicked);
}

CSFQTButton::~CSFQTButton() {}

int CSFQTButton::Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setGeometry(SFRectExclusive(rect));
    setText(SFFromWide(text));
    setVisible((style & WS_VISIBLE) != 0);
    m_nId = id;
    return 1;
}

int CSFQTButton::SetSkin(ImageButtonStyle* style)
{
    if (!style)
        return 0;
    SFLoadControlImage(style->strHover, m_hover);
    SFLoadControlImage(style->strHover, m_released);
    SFLoadControlImage(style->strPressed, m_pressed);
    SFLoadControlImage(style->strNormal, m_normal);
    SFLoadControlImage(style->strDisabled, m_disabled);
    update();
    return 1;
}

void CSFQTButton::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTButton::SetTextColor(DWORD colour)
{
    m_textColor = SFColorFromRef(colour);
}

void CSFQTButton::SetTextOffset(int x, int y)
{
    m_nOffsetX = x;
    m_nOffsetY = y;
}

void CSFQTButton::SetTextAlign(UINT flags)
{
    if (flags & 1)
        m_nTextFlags = 0x184;
    else if (flags & 2)
        m_nTextFlags = 0x182;
    else
        m_nTextFlags = 0x181;
    if (flags & 0x8000)
        m_nElide = 1;
}

void CSFQTButton::SetToolTipText(const wchar_t* text)
{
    setToolTip(SFFromWide(text));
}

int CSFQTButton::GetWindowTextW(wchar_t* buf, int count) const
{
    return SFCopyText(text(), buf, count);
}

void CSFQTButton::SetWindowTextW(const wchar_t* text)
{
    setText(SFFromWide(text));
}

void CSFQTButton::GetBTNWindowRect(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapToGlobal(QPoint(0, 0));
    const QPoint br = mapToGlobal(QPoint(width() - 1, height() - 1));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTButton::SetBtnState(int look)
{
    m_nLook = look;
    update();
}

void CSFQTButton::SetBoldHeavy(int bold)
{
    QFont f = font();
    f.setWeight(bold ? QFont::Bold : QFont::Normal);
    setFont(f);
    update();
}

void CSFQTButton::SetPicTransparence(float value)
{
    m_fTransparence = value;
    repaint();
}

void CSFQTButton::OnClicked()
{
    if (m_pSink)
        m_pSink->BTN_OnClicked(static_cast<int>(m_nId));
    SFSendCommandToParent(this, static_cast<int>(m_nId));
}

void CSFQTButton::SetLook(int look)
{
    if (m_nLook == look)
        return;
    m_nLook = look;
    update();
}

void CSFQTButton::paintEvent(QPaintEvent*)
{
    const SFLazySkinImage* look = &m_normal;
    if (!isEnabled()) {
        look = &m_disabled;
    } else {
        switch (m_nLook) {
        case LookHover:
            look = &m_hover;
            break;
        case LookPressed:
            look = &m_pressed;
            break;
        case LookReleased:
            look = &m_released;
            break;
        default:
            look = &m_normal;
            break;
        }
    }
    const QPixmap* image = &look->Get();
    QPainter p(this);
    p.setOpacity(m_fTransparence);
    if (!image->isNull()) {
        p.drawPixmap(rect(), *image);
    } else if (m_normal.Get().isNull()) {
        // No skin at all (or it failed to load): a plain flat face keeps the button visible.
        p.fillRect(rect(), palette().color(QPalette::Button));
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    const QString label = text();
    if (label.isEmpty())
        return;
    p.setPen(m_textColor);
    QRect r = rect();
    const int inset = (height() - (fontMetrics().height() + 1)) / 2;
    r.setTop(r.top() + inset);
    r.setBottom(r.bottom() - inset);
    r.adjust(2, 0, -2, 0);
    r.translate(m_nOffsetX, m_nOffsetY);
    QString shown = label;
    m_bTextCut = false;
    if (m_nElide == 1 && p.fontMetrics().horizontalAdvance(label) > r.width()) {
        // A text that does not fit loses its leading blanks, keeping the room of three for the
        // picture at the left of the face, and takes a font up to one and a half points smaller
        // before it is cut.
        int lead = 0;
        while (lead < shown.size() && shown.at(lead) == QLatin1Char(' '))
            ++lead;
        if (lead > 2) {
            shown.remove(0, lead);
            r.setLeft(r.left() + p.fontMetrics().horizontalAdvance(QStringLiteral("   ")));
        }
        QFont smaller = p.font();
        const qreal size = smaller.pointSizeF();
        for (qreal step = 0.5; size > 0 && step <= 1.5 && p.fontMetrics().horizontalAdvance(shown) > r.width();
             step += 0.5) {
            smaller.setPointSizeF(size - step);
            p.setFont(smaller);
        }
        const QString whole = shown;
        shown = p.fontMetrics().elidedText(shown, Qt::ElideRight, r.width());
        m_bTextCut = shown != whole;
    }
    if (!isEnabled())
        p.setPen(QColor(0x6B, 0x6B, 0x6B));
    p.drawText(r, m_nTextFlags, shown);
}

bool CSFQTButton::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty() && m_bTextCut) {
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text().trimmed(), this);
        return true;
    }
    return QPushButton::event(event);
}

void CSFQTButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton && m_pSink)
        m_pSink->BTN_OnLButtonDown(static_cast<int>(m_nId), 0, POINT{0, 0});
    SetLook(LookPressed);
    m_fade.Start(m_nAnimation != 0, isEnabled());
    QPushButton::mousePressEvent(event);
}

void CSFQTButton::mouseReleaseEvent(QMouseEvent* event)
{
    SetLook(LookReleased);
    if (m_pSink)
        m_pSink->BTN_OnLButtonUp(static_cast<int>(m_nId), 0, POINT{0, 0});
    QPushButton::mouseReleaseEvent(event);
}

void CSFQTButton::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        SetLook(LookPressed);
        if (m_pSink)
            m_pSink->BTN_OnMouseMove(static_cast<int>(m_nId), 0, POINT{0, 0});
    } else if (m_nLook != LookHover && m_nLook != LookPressed) {
        SetLook(LookHover);
    }
    QPushButton::mouseMoveEvent(event);
}

void CSFQTButton::enterEvent(QEnterEvent* event)
{
    if (m_pSink)
        m_pSink->BTN_OnMouseMove(static_cast<int>(m_nId), 0, POINT{0, 0});
    if (m_nLook != LookReleased) {
        SetLook(LookHover);
        m_fade.Start(m_nAnimation != 0, isEnabled());
    }
    QPushButton::enterEvent(event);
}

void CSFQTButton::leaveEvent(QEvent* event)
{
    SetLook(LookNormal);
    if (m_pSink)
        m_pSink->BTN_OnMouseLeave(static_cast<int>(m_nId), 0, 0);
    QPushButton::leaveEvent(event);
}

void CSFQTButton::focusOutEvent(QFocusEvent*)
{
    m_nLook = LookNormal;
    update();
}

CSFButton* CreateSFButton(ISFButtonEvent* sink)
{
    return new (std::nothrow) CSFQTButton(sink);
}

void DestroySFButton(CSFButton* button)
{
    delete button;
}
