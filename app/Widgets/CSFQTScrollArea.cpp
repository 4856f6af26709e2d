#include "Widgets/CSFQTScrollArea.h"

#include <new>

#include <QPixmap>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTScrollArea::CSFQTScrollArea(ISFScrollAreaEvent* sink)
    : QScrollArea(nullptr), CSFScrollArea(sink), m_content(new QWidget)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
}

CSFQTScrollArea::~CSFQTScrollArea()
{
    // The content page is owned by the area once it is its widget.
    if (!widget())
        delete m_content;
}

int CSFQTScrollArea::Create(DWORD style, const RECT& rect, UINT width, UINT height, void* parent, UINT id)
{
    setGeometry(SFRectExclusive(rect));
    ResizeScrollArea(width, height);
    setWidget(m_content);
    m_nId = id;
    setParent(static_cast<QWidget*>(parent));
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

void CSFQTScrollArea::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(rect->left, rect->top, rect->right - rect->left + 1, rect->bottom - rect->top + 1);
}

void CSFQTScrollArea::SetToolTipText(const wchar_t* text)
{
    setToolTip(SFFromWide(text));
}

void CSFQTScrollArea::SetSkin(ScrollAreaStyle* style)
{
    if (!style)
        return;
    m_bgPath = SFSkinPath(style->strBkImage);
    if (m_bgPath.isEmpty())
        return;
    QPalette pal = palette();
    pal.setBrush(backgroundRole(), QBrush(SFSkinImage(m_bgPath)));
    m_content->setPalette(pal);
    m_content->setAutoFillBackground(true);
}

void CSFQTScrollArea::SetEnableScrollBar(int enable)
{
    setVerticalScrollBarPolicy(enable ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void CSFQTScrollArea::ResizeScrollArea(UINT width, UINT height)
{
    m_content->setGeometry(0, 0, static_cast<int>(width), static_cast<int>(height));
    m_content->setMinimumSize(static_cast<int>(width), static_cast<int>(height));
}

CSFScrollArea* CreateSFScrollArea(ISFScrollAreaEvent* sink)
{
    return new (std::nothrow) CSFQTScrollArea(sink);
}
