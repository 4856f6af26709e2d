#include "Widgets/CSFQTRadioBox.h"

#include <new>

#include <QMouseEvent>
#include <QPainter>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTRadioBox::CSFQTRadioBox(ISFRadioBoxEvent* sink)
    : QRadioButton(nullptr), CSFRadioBox(sink), m_font(font()), m_fade(this)
{
}

int CSFQTRadioBox::Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id)
{
    setGeometry(SFRectExclusive(rect));
    setText(SFFromWide(text));
    m_nId = static_cast<int>(id);
    setCheckable(true);
    setAutoExclusive(false);
    setParent(static_cast<QWidget*>(parent));
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

int CSFQTRadioBox::SetSkin(ImageRadioBox* style)
{
    if (!style)
        return 0;
    const std::wstring* names[8] = {&style->strCheckedNormal,   &style->strCheckedHover,
                                    &style->strCheckedPressed,  &style->strUncheckedNormal,
                                    &style->strUncheckedHover,  &style->strUncheckedPressed,
                                    &style->strCheckedDisabled, &style->strUncheckedDisabled};
    for (int i = 0; i < 8; ++i)
        SFLoadControlImage(*names[i], m_images[i]);
    return 1;
}

void CSFQTRadioBox::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTRadioBox::SetCheck(int check)
{
    m_nLook = LookNormal;
    m_bChecked = check != 0;
    update();
}

int CSFQTRadioBox::GetWindowTextW(wchar_t* buf, int count) const
{
    if (!buf || count < 1)
        return 0;
    const std::wstring wide = text().toStdWString();
    const int n = static_cast<int>(std::min<size_t>(wide.size(), static_cast<size_t>(count)));
    for (int i = 0; i < n; ++i)
        buf[i] = wide[static_cast<size_t>(i)];
    if (n < count)
        buf[n] = L'\0';
    return n;
}

void CSFQTRadioBox::SetWindowTextW(const wchar_t* text)
{
    setText(SFFromWide(text));
    update();
}

void CSFQTRadioBox::SetBoldHeavy(int bold)
{
    m_font = font();
    m_font.setWeight(bold ? QFont::Bold : QFont::Normal);
    setFont(m_font);
    update();
}

void CSFQTRadioBox::SetTextColor(DWORD colour)
{
    m_textColor = SFColorFromRef(colour);
    update();
}

void CSFQTRadioBox::SetTextOffset(int offset)
{
    m_nTextOffset = offset;
    update();
}

void CSFQTRadioBox::SetTextAlign(DWORD flags)
{
    m_nTextFlags = 0x180;
    if (flags & 1)
        m_nTextFlags = 0x184;
    if (flags & 2)
        m_nTextFlags |= 0x2;
}

void CSFQTRadioBox::GetRadioClientRect(RECT* rect)
{
    if (rect)
        *rect = RECT{0, 0, width() - 1, height() - 1};
}

void CSFQTRadioBox::GetRadioWindowRect(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapToGlobal(QPoint(0, 0));
    const QPoint br = mapToGlobal(QPoint(width() - 1, height() - 1));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTRadioBox::SetBkColor(DWORD checked, DWORD unchecked)
{
    m_checkedBk = SFColorFromRef(checked);
    m_uncheckedBk = SFColorFromRef(unchecked);
    update();
}

void CSFQTRadioBox::SetToolTipText(const wchar_t* text)
{
    setToolTip(SFFromWide(text));
}

void CSFQTRadioBox::SetEnabled(int enable)
{
    setEnabled(enable != 0);
    SetTextColor(enable ? 0 : 0xBCBCBC);
    if (enable && m_nLook == LookDisabled)
        m_nLook = LookNormal;
}

void CSFQTRadioBox::EnableWindow(int enable)
{
    setEnabled(enable != 0);
    SetTextColor(enable ? 0 : 0xBCBCBC);
}

void CSFQTRadioBox::SetPicTransparence(float value)
{
    m_fTransparence = value;
    repaint();
}

void CSFQTRadioBox::OnClicked(bool checked, QPoint pos)
{
    if (m_pSink)
        m_pSink->RADIO_OnClicked(checked ? 1 : 0, m_nId, POINT{pos.x(), pos.y()});
    SFSendCommandToParent(this, m_nId);
}

void CSFQTRadioBox::paintEvent(QPaintEvent* event)
{
    if (!isEnabled())
        m_nLook = LookDisabled;
    int index = -1;
    switch (m_nLook) {
    case LookNormal:
        index = m_bChecked ? 0 : 3;
        break;
    case LookHover:
        index = m_bChecked ? 1 : 4;
        break;
    case LookPressed:
        index = m_bChecked ? 2 : 5;
        break;
    case LookDisabled:
        index = m_bChecked ? 6 : 7;
        break;
    default:
        break;
    }
    if (index < 0 || m_images[index].Get().isNull()) {
        QRadioButton::paintEvent(event);
        return;
    }
    const QPixmap& image = m_images[index].Get();
    QPainter p(this);
    p.setOpacity(m_fTransparence);
    QRect icon = image.rect().translated(0, (height() - image.height()) / 2);
    const QColor& bk = m_bChecked ? m_checkedBk : m_uncheckedBk;
    if (bk.isValid()) {
        if (m_bBkWhole)
            p.fillRect(rect(), bk);
        else
            p.fillRect(QRect(QPoint(icon.right(), 2), QPoint(width() - 2, height() - 3)), bk);
    }
    p.setPen(m_textColor);
    p.setFont(m_font);
    if (m_nExpand == 1) {
        if (image.width() > 0) {
            while (icon.right() < width() - 1) {
                p.drawPixmap(icon.topLeft(), image);
                icon.translate(icon.width(), 0);
            }
        }
    } else {
        if (m_nIconAlign == 1) {
            const QRect bounds = p.boundingRect(rect(), m_nTextFlags, text());
            icon.moveLeft((width() - image.width() - bounds.width() - m_nTextOffset - 2) / 2);
        }
        p.drawPixmap(icon.topLeft(), image);
    }
    QRect textRect = rect();
    textRect.setLeft(icon.right() + m_nTextOffset + 2);
    p.drawText(textRect, m_nTextFlags, text());
}

void CSFQTRadioBox::mousePressEvent(QMouseEvent* event)
{
    m_nLook = LookPressed;
    update();
    QRadioButton::mousePressEvent(event);
}

void CSFQTRadioBox::mouseReleaseEvent(QMouseEvent* event)
{
    m_nLook = LookNormal;
    const QPoint pos = event->position().toPoint();
    if (rect().contains(pos)) {
        m_bChecked = !m_bChecked;
        OnClicked(m_bChecked, pos);
    }
    QRadioButton::mouseReleaseEvent(event);
    update();
    m_fade.Start(m_nAnimation != 0, isEnabled());
}

void CSFQTRadioBox::enterEvent(QEnterEvent* event)
{
    m_nLook = LookHover;
    m_fade.Start(m_nAnimation != 0, isEnabled());
    QRadioButton::enterEvent(event);
    update();
}

void CSFQTRadioBox::leaveEvent(QEvent* event)
{
    m_nLook = LookNormal;
    QRadioButton::leaveEvent(event);
    update();
}

CSFRadioBox* CreateSFRadioBox(ISFRadioBoxEvent* sink)
{
    return new (std::nothrow) CSFQTRadioBox(sink);
}

void DestroySFRadioBox(CSFRadioBox*) {}
