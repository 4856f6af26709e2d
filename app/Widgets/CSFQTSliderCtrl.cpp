#include "Widgets/CSFQTSliderCtrl.h"

#include <new>

#include <QCursor>
#include <QMouseEvent>
#include <QToolTip>

#include "Widgets/CSFQTButton.h"
#include "Widgets/QSliderExStyle.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTSliderCtrl::CSFQTSliderCtrl(ISFSliderCtrlEvent* sink, QWidget* parent)
    : QSlider(Qt::Horizontal, parent), CSFSliderCtrl(sink)
{
    setRange(0, 100);
    m_pStyle = new QSliderExStyle;
    m_pStyle->setParent(this);
    setStyle(m_pStyle);
}

CSFQTSliderCtrl::~CSFQTSliderCtrl()
{
    for (QPixmap*& piece : m_pieces) {
        delete piece;
        piece = nullptr;
    }
}

int CSFQTSliderCtrl::Create(DWORD style, const RECT& rect, void* parent, UINT id, SLIDER_RESPONSE_MODE mode)
{
    setParent(static_cast<QWidget*>(parent));
    m_nId = id;
    setGeometry(SFRectExclusive(rect));
    const int width = rect.right - rect.left;
    for (int which : {PieceGrooveLeft, PieceGrooveRight}) {
        if (m_pieces[which] && width > 0) {
            QPixmap* scaled = new QPixmap(m_pieces[which]->scaledToWidth(width, Qt::FastTransformation));
            delete m_pieces[which];
            m_pieces[which] = scaled;
        }
    }
    m_nMode = mode;
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

int CSFQTSliderCtrl::SetSkin(ImageSliderStyle* style)
{
    if (!style)
        return 0;
    const QPixmap image = SFSkinImage(SFSkinPath(style->strImage));
    const bool loaded = !image.isNull();
    const std::wstring* rects[PieceCount] = {&style->strPieceRect1, &style->strPieceRect2, &style->strPieceRect3,
                                             &style->strPieceRect4, &style->strPieceRect5, &style->strPieceRect6};
    for (int i = 0; i < PieceCount; ++i) {
        delete m_pieces[i];
        m_pieces[i] = loaded ? new QPixmap(image.copy(SFParseRectExclusive(*rects[i]))) : nullptr;
    }
    update();
    return 1;
}

void CSFQTSliderCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTSliderCtrl::GetRange(int& min, int& max) const
{
    min = minimum();
    max = maximum();
}

void CSFQTSliderCtrl::SetTooltipEnable(int show, int valueText)
{
    m_bTooltip = show != 0;
    m_nValueTooltip = valueText;
}

int CSFQTSliderCtrl::ValueAt(int x) const
{
    const int w = m_pieces[PieceHandle] ? m_pieces[PieceHandle]->width() : 0;
    const int hw = w / 2;
    const int W = width();
    if (x < hw)
        x = hw;
    if (x > W - hw)
        x = W - hw;
    const int min = minimum();
    const int max = maximum();
    float f = static_cast<float>(max);
    if (min < max) {
        // A control no wider than its handle has no travel: it sits at the minimum.
        if (W - w > 0)
            f = static_cast<float>(x - hw) * static_cast<float>(max - min) / static_cast<float>(W - w) +
                static_cast<float>(min);
        else
            f = static_cast<float>(min);
    }
    int v = static_cast<int>(f + 0.5f);
    if (v > max)
        v = max;
    return v;
}

QString CSFQTSliderCtrl::TooltipText() const
{
    if (m_nValueTooltip)
        return QStringLiteral("%1").arg(value());
    const int min = minimum();
    const int max = maximum();
    // Counted from the minimum; an empty range shows 0.
    const long long span = static_cast<long long>(max) - min;
    const long long percent = span > 0 ? ((static_cast<long long>(value()) - min) * 1000 / span) / 10 : 0;
    return QStringLiteral("%1%").arg(percent);
}

QPoint CSFQTSliderCtrl::HandleOrigin(int value) const
{
    const int W = width();
    const int H = height();
    const int w = m_pieces[PieceHandle] ? m_pieces[PieceHandle]->width() : 0;
    const int h = m_pieces[PieceHandle] ? m_pieces[PieceHandle]->height() : 0;
    const int min = minimum();
    const int max = maximum();
    int x = W - w;
    if (max > min)
        x = static_cast<int>(static_cast<long long>(value - min) * (W - w) / (static_cast<long long>(max) - min)) +
            w / 2;
    return QPoint(x, (H - h) / 2);
}

void CSFQTSliderCtrl::Report()
{
    if (m_pSink)
        m_pSink->SF_OnSliderPos(static_cast<int>(m_nId), value());
}

void CSFQTSliderCtrl::MoveTo(int x)
{
    const int v = ValueAt(x);
    if (v != value()) {
        setValue(v);
        if (m_nMode == SLIDER_RESPONSE_CHANGING)
            Report();
    }
}

void CSFQTSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    MoveTo(event->position().toPoint().x());
    m_nDragging = 1;
}

void CSFQTSliderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_nDragging || !(event->buttons() & Qt::LeftButton))
        return;
    MoveTo(event->position().toPoint().x());
    if (m_bTooltip)
        QToolTip::showText(event->globalPosition().toPoint(), TooltipText(), this);
}

void CSFQTSliderCtrl::mouseReleaseEvent(QMouseEvent*)
{
    if (m_nMode == SLIDER_RESPONSE_RELEASE)
        Report();
    m_nDragging = 0;
}

void CSFQTSliderCtrl::wheelEvent(QWheelEvent* event)
{
    if (m_nMode == SLIDER_RESPONSE_RELEASE) {
        event->ignore();
        return;
    }
    QSlider::wheelEvent(event);
    Report();
}

void CSFQTSliderCtrl::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        event->ignore();
        return;
    default:
        QSlider::keyPressEvent(event);
    }
}

void CSFQTSliderCtrl::enterEvent(QEnterEvent* event)
{
    const QPixmap hand = SFSkinImage(SFSkinPath(L"hand_pointing.png"));
    if (!hand.isNull())
        setCursor(QCursor(hand, 13, 7));
    QSlider::enterEvent(event);
}

CSFSliderCtrl* CreateSFSliderCtrl(ISFSliderCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTSliderCtrl(sink);
}

void DestroySFSliderCtrl(CSFSliderCtrl*) {}
