#include "Widgets/CSFQTView.h"

#include <algorithm>

#include <new>

#include <QBitmap>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTLayout.h"
#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

CSFQTView::CSFQTView(ISFViewEvent* sink) : QWidget(nullptr), CSFView(sink)
{
    if (m_pSink)
        m_pSink->SFSetUIWnd(static_cast<QWidget*>(this));
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

CSFQTView::~CSFQTView()
{
    if (m_pSink) {
        m_pSink->OnDestroy();
        m_pSink->SFSetUIWnd(nullptr);
    }
}

int CSFQTView::Create(const wchar_t*, const wchar_t* name, DWORD style, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    setWindowTitle(SFFromWide(name));
    setGeometry(SFRectInclusive(rect));
    m_nId = id;
    setVisible((style & WS_VISIBLE) != 0);
    if (m_pSink)
        m_pSink->OnCreate();
    return 1;
}

void CSFQTView::SetBackground(const wchar_t* image)
{
    m_bgImage = SFSkinImage(SFGetSkinDir() + SFFromWide(image));
}

void CSFQTView::MoveWindow(RECT* rect)
{
    if (rect)
        MoveWindow(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

void CSFQTView::MoveWindow(int x, int y, int w, int h)
{
    if (isVisible()) {
        hide();
        setGeometry(x, y, w, h);
        show();
    } else {
        setGeometry(x, y, w, h);
    }
}

void CSFQTView::GetViewClientRect(RECT* rect)
{
    if (rect)
        *rect = RECT{0, 0, width() - 1, height() - 1};
}

void CSFQTView::GetViewWindowRect(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapToGlobal(QPoint(0, 0));
    const QPoint br = mapToGlobal(QPoint(width() - 1, height() - 1));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTView::Screen2Client(POINT* point)
{
    if (!point)
        return;
    const QPoint p = mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CSFQTView::Screen2Client(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapFromGlobal(QPoint(rect->left, rect->top));
    const QPoint br = mapFromGlobal(QPoint(rect->right, rect->bottom));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTView::SetBGClr(int colour)
{
    const uint32_t c = static_cast<uint32_t>(colour);
    m_bgColor = QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 255 - ((c >> 24) & 0xFF));
    update();
}

void CSFQTView::SetFrameClr(UINT colour, int show)
{
    m_nFrame = show;
    m_frameColor = SFColorFromRef(colour & 0xFFFFFF);
    update();
}

void CSFQTView::SetGridLayout(CSFGridLayout* layout)
{
    if (layout)
        setLayout(static_cast<CSFQTGridLayout*>(layout));
}

void CSFQTView::SetHBoxLayout(CSFHBoxLayout* layout)
{
    if (layout)
        setLayout(static_cast<CSFQTHBoxLayout*>(layout));
}

void CSFQTView::SetVBoxLayout(CSFVBoxLayout* layout)
{
    if (layout)
        setLayout(static_cast<CSFQTVBoxLayout*>(layout));
}

namespace {
void Place(QWidget* view, std::vector<QWidget*>& list, QWidget* child, int firstX, int gap, int top)
{
    if (!child)
        return;
    const int x = list.empty() ? firstX : list.back()->geometry().right() + gap;
    child->setParent(view);
    list.push_back(child);
    child->move(x, top);
}
}  // namespace

void CSFQTView::AddButton(QWidget* child)
{
    Place(this, m_buttons, child, m_nFirstButtonX ? m_nFirstButtonX : 10, m_nButtonGap, m_nTopOffset);
}

void CSFQTView::FitButtons()
{
    if (m_nWantedFirstButtonX <= 0 || m_buttons.empty())
        return;
    const int left = m_buttons.front()->x();
    const int span = m_buttons.back()->geometry().right() - left + 1;
    const int x = std::max(0, std::min(m_nWantedFirstButtonX, width() - span - 1));
    m_nFirstButtonX = x;
    if (x == left)
        return;
    for (QWidget* button : m_buttons)
        button->move(button->x() + x - left, button->y());
}

void CSFQTView::AddRadioBox(QWidget* child)
{
    Place(this, m_radios, child, 10, 10, m_nTopOffset);
}

void CSFQTView::AddProgressCtrl(QWidget* child)
{
    Place(this, m_progress, child, 10, 10, m_nTopOffset);
}

void CSFQTView::AddComboBox(QWidget* child)
{
    Place(this, m_combos, child, 5, 5, m_nTopOffset);
}

void CSFQTView::AddEdit(QWidget* child)
{
    if (!child)
        return;
    child->setParent(this);
    if (m_combos.empty()) {
        m_editsLeft.push_back(child);
        child->move(5, m_nTopOffset);
    } else {
        m_editsAfterCombo.push_back(child);
        child->move(130, m_nTopOffset);
    }
}

void CSFQTView::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    if (m_bgImage.isNull())
        p.fillRect(rect(), m_bgColor);
    else
        p.drawPixmap(rect(), m_bgImage);
    if (m_nFrame) {
        p.setPen(QPen(m_frameColor, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(QPoint(0, 0), QPoint(width() - 2, height() - 2)));
    }
    p.end();
    QWidget::paintEvent(event);
}

void CSFQTView::resizeEvent(QResizeEvent* event)
{
    FitButtons();
    if (m_pSink)
        m_pSink->OnSize(0, width(), height());
    if (m_nRadius) {
        const qreal r = m_nRadius, w = width(), h = height();
        QBitmap mask(size());
        mask.clear();
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.moveTo(r, 0);
        path.arcTo(QRectF(0, 0, 2 * r, 2 * r), 90, 90);
        path.lineTo(0, h - r);
        path.arcTo(QRectF(0, h - 2 * r, 2 * r, 2 * r), 180, 90);
        path.lineTo(w - r, h);
        path.arcTo(QRectF(w - 2 * r, h - 2 * r, 2 * r, 2 * r), 270, 90);
        path.lineTo(w, r);
        path.arcTo(QRectF(w - 2 * r, 0, 2 * r, 2 * r), 0, 90);
        path.lineTo(r, 0);
        p.setPen(Qt::color1);
        p.setBrush(Qt::color1);
        p.drawPath(path);
        p.end();
        setMask(mask);
    }
    QWidget::resizeEvent(event);
}

void CSFQTView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pSink) {
        const QPoint p = mapToParent(event->position().toPoint());
        m_pSink->OnLButtonDown(0, POINT{p.x(), p.y()});
    }
    QWidget::mousePressEvent(event);
}

void CSFQTView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pSink) {
        const QPoint p = event->position().toPoint();
        m_pSink->OnLButtonDblClk(0, POINT{p.x(), p.y()});
    }
}

void CSFQTView::customEvent(QEvent* event)
{
    if (event->type() != SFCustomEventType() || !m_pSink)
        return;
    auto* e = static_cast<CSFCustomEvent*>(event);
    SFDispatchMessage(m_pSink, static_cast<UINT>(e->m_nMessage), static_cast<UINT>(e->m_nCode), e->m_pData,
                      e->m_nValue);
}

CSFView* CreateSFView(ISFViewEvent* sink)
{
    return new (std::nothrow) CSFQTView(sink);
}

void DestroySFView(CSFView*) {}
