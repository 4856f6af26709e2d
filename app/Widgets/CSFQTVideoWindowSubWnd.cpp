#include "Widgets/CSFQTVideoWindowSubWnd.h"

#include <QPainter>

#include "Widgets/SFSkin.h"

namespace {

constexpr int kBorder = 2;

QRect Inner(const RECT& cell)
{
    return QRect(QPoint(cell.left + kBorder, cell.top + kBorder), QPoint(cell.right - kBorder, cell.bottom - kBorder));
}

}  // namespace

CSFQTVideoWindowSubWnd::CSFQTVideoWindowSubWnd()
{
    setMouseTracking(true);
}

CSFQTVideoWindowSubWnd::~CSFQTVideoWindowSubWnd()
{
    delete m_pSurface;
}

int CSFQTVideoWindowSubWnd::Create(const wchar_t* name, const RECT& cell, QWidget* parent, int id,
                                   int proportionWidth, int proportionHeight, const VideoSurfaceShared* shared)
{
    m_cell = cell;
    setParent(parent);
    setWindowTitle(SFFromWide(name));
    setGeometry(Inner(cell));
    m_nId = id;
    const RECT full{0, 0, (cell.right - kBorder) - (cell.left + kBorder),
                    (cell.bottom - kBorder) - (cell.top + kBorder)};
    m_pSurface = new CSFQTVideoWindowPlayWnd(full, proportionWidth, proportionHeight);
    m_pSurface->SetShared(shared);
    m_pSurface->Create(L"hVideoWindow_PlayWnd", this);
    m_pSurface->show();
    return 1;
}

void CSFQTVideoWindowSubWnd::SetRect(const RECT& cell)
{
    m_cell = cell;
    const QRect inner = Inner(cell);
    setGeometry(inner);
    m_pSurface->SetRect(0, 0, inner.width() - 1, inner.height() - 1);
}

void CSFQTVideoWindowSubWnd::SetProportion(int width, int height)
{
    m_pSurface->SetProportion(width, height);
}

std::pair<int, int> CSFQTVideoWindowSubWnd::GetProportion() const
{
    return m_pSurface->GetProportion();
}

void CSFQTVideoWindowSubWnd::SetBackColor(const QColor& colour)
{
    m_colour = colour;
    m_pSurface->SetColor(colour);
    update();
}

void CSFQTVideoWindowSubWnd::SetVideo(int on)
{
    m_nVideo = on;
    m_pSurface->SetVideo(on);
    update();
}

void CSFQTVideoWindowSubWnd::SetUpdatesEnabled(bool on)
{
    m_pSurface->SetUpdatesOn(on ? 1 : 0);
}

void CSFQTVideoWindowSubWnd::SetFocus()
{
    setFocus(Qt::OtherFocusReason);
    m_pSurface->setFocus(Qt::OtherFocusReason);
}

void CSFQTVideoWindowSubWnd::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_nVideo ? QColor(0, 0, 0) : m_colour);
}
