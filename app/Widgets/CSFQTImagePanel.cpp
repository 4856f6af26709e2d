#include "Widgets/CSFQTImagePanel.h"

#include <new>

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTImagePanel::CSFQTImagePanel(ISFImagePanelEvent* sink) : QWidget(nullptr), CSFImagePanel(sink)
{
    m_pScroll = new QScrollBar(Qt::Horizontal, this);
    m_pScroll->hide();
    setMouseTracking(true);
}

int CSFQTImagePanel::Create(const wchar_t*, const RECT& rect, void* parent, UINT)
{
    setParent(static_cast<QWidget*>(parent));
    setGeometry(SFRectExclusive(rect));
    Layout();
    m_pScroll->show();
    connect(m_pScroll, &QScrollBar::valueChanged, this, &CSFQTImagePanel::OnScrollBarChanged, Qt::UniqueConnection);
    return 1;
}

int CSFQTImagePanel::SetSkin(UIImagePanelStyle* style)
{
    if (!style)
        return 0;
    m_background = SFParseColor(style->strText[12]);
    m_nSpacing = style->nSpacing;
    m_nSideMargin = style->nSideMargin;
    m_nTopMargin = style->nTopMargin;
    m_itemRect = QRect(0, 0, style->nThumbWidth, style->nThumbHeight);
    update();
    return 1;
}

void CSFQTImagePanel::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTImagePanel::Layout()
{
    const int right = width() - 1;
    const int bottom = height() - 1;
    const int D = m_nDetailsWidth;
    m_pScroll->setGeometry(QRect(QPoint(0, bottom - 14), QPoint(right - D, bottom)));
    m_pScroll->setRange(0, 0);
    m_pScroll->setPageStep(width());
    m_pScroll->setSingleStep(width() / 10);
    m_thumbArea = QRect(QPoint(0, 0), QPoint(right - D, bottom - 14));
    m_detailsArea = QRect(QPoint(right - D, 0), QPoint(right, bottom));
    for (int i = 0; i < 4; ++i) {
        const int top = 5 + i * 20;
        m_labelRects[i] = QRect(QPoint(width() - 200, top), QPoint(width() - 131, top + 19));
        m_valueRects[i] = QRect(QPoint(width() - 126, top), QPoint(width() - 7, top + 19));
    }
}

void CSFQTImagePanel::resizeEvent(QResizeEvent* event)
{
    Layout();
    QWidget::resizeEvent(event);
}

void CSFQTImagePanel::UpdateScrollRange()
{
    const int n = static_cast<int>(m_items.size());
    const int w = m_itemRect.width();
    const int content = n > 0 ? n * w + (n - 1) * m_nSpacing + 2 * m_nSideMargin : 2 * m_nSideMargin;
    const int area = m_thumbArea.width();
    m_pScroll->setRange(0, content > area ? content - area : 0);
}

int CSFQTImagePanel::AddItem(const wchar_t* path, const wchar_t* name, const wchar_t* type, const wchar_t* start,
                             const wchar_t* end)
{
    Item item{SFFromWide(path), SFFromWide(name), SFFromWide(type), SFFromWide(start), SFFromWide(end), QPixmap()};
    for (const Item& existing : m_items) {
        if (existing.path == item.path && existing.name == item.name)
            return 0;
    }
    if (!item.picture.load(item.path))
        item.picture = QPixmap();
    m_items.push_back(item);
    UpdateScrollRange();
    update();
    return 1;
}

void CSFQTImagePanel::ClearItems()
{
    m_items.clear();
    UpdateScrollRange();
    update();
}

void CSFQTImagePanel::DelByItemName(const wchar_t* name)
{
    const QString wanted = SFFromWide(name);
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->name == wanted) {
            m_items.erase(it);
            break;
        }
    }
    UpdateScrollRange();
}

const wchar_t* CSFQTImagePanel::GetHotImagePath()
{
    if (m_nSelected < 0 || m_nSelected >= static_cast<int>(m_items.size()))
        return nullptr;
    m_hotPath = m_items[static_cast<size_t>(m_nSelected)].path.toStdWString();
    return m_hotPath.c_str();
}

QRect CSFQTImagePanel::ThumbRect(int k) const
{
    const int n = static_cast<int>(m_items.size());
    const int w = m_itemRect.width();
    const int s = m_nSpacing;
    const int m = m_nSideMargin;
    int o = (m_thumbArea.width() - 2 * m - (n - 1) * s - n * w);
    o = o < 0 ? 0 : o / 2;
    const int left = o + m - m_pScroll->value() + k * (w + s);
    return QRect(left, m_nTopMargin, w, m_itemRect.height());
}

int CSFQTImagePanel::HitTest(const QPoint& point) const
{
    for (int k = 0; k < static_cast<int>(m_items.size()); ++k) {
        const QRect r = ThumbRect(k);
        if (r.left() > m_thumbArea.right())
            break;
        if (r.contains(point))
            return k;
    }
    return -1;
}

void CSFQTImagePanel::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(m_thumbArea, m_background);
    for (int k = 0; k < static_cast<int>(m_items.size()); ++k) {
        QRect r = ThumbRect(k);
        if (r.left() > m_thumbArea.right())
            break;
        if (k == m_nHot)
            r.adjust(-m_nSpacing, -m_nSpacing, m_nSpacing, m_nSpacing);
        const QPixmap& picture = m_items[static_cast<size_t>(k)].picture;
        p.drawPixmap(r, picture);
        if (k == m_nSelected) {
            p.fillRect(r, QColor(69, 136, 255));
            p.drawPixmap(r.adjusted(1, 1, -1, -1), picture);
        }
    }
    p.fillRect(m_detailsArea, QColor(92, 101, 118));
    const bool hot = m_nHot >= 0 && m_nHot < static_cast<int>(m_items.size());
    if (hot) {
        const Item& item = m_items[static_cast<size_t>(m_nHot)];
        m_details[0] = item.type;
        m_details[1] = item.name;
        m_details[2] = item.start;
        m_details[3] = item.end;
    } else {
        for (QString& text : m_details)
            text.clear();
    }
    static const char* const labels[4] = {"Type", "Name", "Start Time", "End Time"};
    for (int i = 0; i < 4; ++i) {
        p.drawText(m_labelRects[i], Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(labels[i]));
        p.drawText(m_valueRects[i], Qt::AlignCenter, m_details[i]);
    }
    p.end();
    QWidget::paintEvent(event);
}

void CSFQTImagePanel::mouseMoveEvent(QMouseEvent* event)
{
    m_nHot = HitTest(event->position().toPoint());
    update();
    QWidget::mouseMoveEvent(event);
}

void CSFQTImagePanel::mouseDoubleClickEvent(QMouseEvent* event)
{
    m_nSelected = HitTest(event->position().toPoint());
    if (m_pSink && m_nSelected >= 0 && m_nSelected < static_cast<int>(m_items.size())) {
        const std::wstring path = m_items[static_cast<size_t>(m_nSelected)].path.toStdWString();
        m_pSink->IMGPNL_OnPlayImage(path.c_str());
    }
    update();
}

void CSFQTImagePanel::wheelEvent(QWheelEvent* event)
{
    auto* copy = new QWheelEvent(event->position(), event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                                 event->buttons(), event->modifiers(), event->phase(), event->inverted());
    QCoreApplication::postEvent(m_pScroll, copy);
    event->accept();
}

CSFImagePanel* CreateSFImagePanel(ISFImagePanelEvent* sink)
{
    return new (std::nothrow) CSFQTImagePanel(sink);
}
