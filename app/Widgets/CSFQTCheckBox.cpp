#include "Widgets/CSFQTCheckBox.h"

#include <new>

#include <QMouseEvent>
#include <QPainter>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTCheckBox::CSFQTCheckBox(ISFCheckBoxEvent* sink) : QPushButton(nullptr), CSFCheckBox(sink)
{
    setEnabled(true);
    connect(this, &QAbstractButton::clicked, this, &CSFQTCheckBox::OnCheckStateChanged);
}

int CSFQTCheckBox::Create(const char* text, DWORD, const RECT& rect, void* parent, UINT id)
{
    setGeometry(SFRectExclusive(rect));
    setText(SFFromUtf8(text));
    setParent(static_cast<QWidget*>(parent));
    m_nId = id;
    return 1;
}

void CSFQTCheckBox::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTCheckBox::SetCheck(int check)
{
    if (check == (m_bChecked ? 1 : 0))
        return;
    m_bChecked = check != 0;
    update();
}

int CSFQTCheckBox::GetCheck(int* out) const
{
    if (out)
        *out = m_bChecked ? 1 : 0;
    return 0;
}

int CSFQTCheckBox::GetWindowTextW(wchar_t* buf, int count) const
{
    return SFCopyText(text(), buf, count);
}

void CSFQTCheckBox::SetWindowTextW(const wchar_t* text)
{
    setText(SFFromWide(text));
}

int CSFQTCheckBox::SetSkin(ImageCheckBox* style)
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

void CSFQTCheckBox::OnCheckStateChanged()
{
    if (m_pSink)
        m_pSink->Check_OnCheckStateChanged(m_bChecked ? 1 : 0, static_cast<int>(m_nId), POINT{0, 0});
    SFSendCommandToParent(this, static_cast<int>(m_nId));
}

void CSFQTCheckBox::SetLook(int look)
{
    m_nLook = look;
    update();
}

void CSFQTCheckBox::paintEvent(QPaintEvent* event)
{
    int index;
    if (!isEnabled())
        index = m_bChecked ? 6 : 7;
    else if (m_nLook == LookHover)
        index = m_bChecked ? 1 : 4;
    else if (m_nLook == LookPressed)
        index = m_bChecked ? 2 : 5;
    else
        index = m_bChecked ? 0 : 3;
    if (m_images[index].isNull()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.drawPixmap(rect(), m_images[index]);
    const QString label = text();
    if (label.isEmpty())
        return;
    const int bw = fontMetrics().horizontalAdvance(label) + 1, bh = fontMetrics().height() + 1;
    if (!isEnabled())
        p.setPen(QColor(0x6B, 0x6B, 0x6B));
    p.drawText(QRect((width() - bw) / 2, (height() - bh) / 2, bw, bh), label);
}

void CSFQTCheckBox::mousePressEvent(QMouseEvent* event)
{
    if (m_pSink)
        m_pSink->BTN_OnLButtonDown();
    SetLook(LookPressed);
    QPushButton::mousePressEvent(event);
}

void CSFQTCheckBox::mouseReleaseEvent(QMouseEvent* event)
{
    SetLook(LookHover);
    if (m_pSink)
        m_pSink->BTN_OnLButtonUp();
    if (rect().contains(event->position().toPoint()))
        m_bChecked = !m_bChecked;
    QPushButton::mouseReleaseEvent(event);
}

void CSFQTCheckBox::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && m_pSink)
        m_pSink->BTN_OnMouseMove();
    QPushButton::mouseMoveEvent(event);
}

void CSFQTCheckBox::enterEvent(QEnterEvent* event)
{
    SetLook(LookHover);
    QPushButton::enterEvent(event);
}

void CSFQTCheckBox::leaveEvent(QEvent* event)
{
    SetLook(LookNormal);
    QPushButton::leaveEvent(event);
}

void CSFQTCheckBox::resizeEvent(QResizeEvent* event)
{
    QPushButton::resizeEvent(event);
    const QPixmap& ref = m_images[1];
    const int W = width(), H = height();
    if (ref.isNull() || (ref.width() == W && ref.height() == H))
        return;
    if (W > ref.width() || H > ref.height()) {
        for (QPixmap& image : m_images)
            image = StretchByMiddle(image, W, H);
    } else {
        for (QPixmap& image : m_images)
            if (!image.isNull())
                image = image.copy(0, 0, W, H);
    }
}

QPixmap CSFQTCheckBox::StretchByMiddle(const QPixmap& image, int W, int H)
{
    if (image.isNull() || W <= 0 || H <= 0)
        return image;
    const int w = image.width(), h = image.height();
    const int hw = w / 2, hh = h / 2;
    const int rx = W - (w - hw), by = H - (h - hh);
    QPixmap out(W, H);
    out.fill(Qt::transparent);
    QPainter p(&out);
    p.drawPixmap(0, 0, image, 0, 0, hw, hh);
    p.drawPixmap(rx, 0, image, hw, 0, w - hw, hh);
    p.drawPixmap(0, by, image, 0, hh, hw, h - hh);
    p.drawPixmap(rx, by, image, hw, hh, w - hw, h - hh);
    for (int x = hw; x <= rx; ++x)
        p.drawPixmap(x, 0, image, hw, 0, 1, hh);
    for (int x = hw; x < rx; ++x)
        p.drawPixmap(x, by, image, hw, hh, 1, h - hh);
    for (int y = hh; y < by; ++y) {
        p.drawPixmap(0, y, image, 0, hh, hw, 1);
        p.drawPixmap(rx, y, image, hw, hh, w - hw, 1);
    }
    if (rx - hw > 0 && by - hh > 0) {
        const QColor centre = image.toImage().pixelColor(hw, hh);
        p.fillRect(QRect(QPoint(hw, hh), QPoint(rx - 1, by - 1)), centre);
    }
    return out;
}

CSFCheckBox* CreateSFCheckBox(ISFCheckBoxEvent* sink)
{
    return new (std::nothrow) CSFQTCheckBox(sink);
}
