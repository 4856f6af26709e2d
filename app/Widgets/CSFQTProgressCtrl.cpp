#include "Widgets/CSFQTProgressCtrl.h"

#include <new>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTProgressCtrl::CSFQTProgressCtrl(ISFProgressCtrlEvent* sink) : QProgressBar(nullptr), CSFProgressCtrl(sink)
{
    setAlignment(Qt::AlignCenter);
    setTextVisible(true);
    setAutoFillBackground(true);
}

int CSFQTProgressCtrl::Create(DWORD style, const RECT& rect, void* parent, UINT id)
{
    setParent(static_cast<QWidget*>(parent));
    m_nId = id;
    setGeometry(SFRectExclusive(rect));
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

int CSFQTProgressCtrl::SetSkin(ImageProgressCtrlStyle* style)
{
    if (!style)
        return 0;
    setStyleSheet(QStringLiteral("QProgressBar { border: 1px solid grey;border-radius: 5px;background-image: url(") +
                  SFSkinPath(style->strBarImage) +
                  QStringLiteral(");} QProgressBar::chunk {background-image: url(") + SFSkinPath(style->strChunkImage) +
                  QStringLiteral(");}"));
    return 1;
}

void CSFQTProgressCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTProgressCtrl::GetRange(int& min, int& max)
{
    min = minimum();
    max = maximum();
}

CSFProgressCtrl* CreateSFProgressCtrl(ISFProgressCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTProgressCtrl(sink);
}
