#include "Widgets/CSFQTMenu.h"

#include <new>

#include <QMouseEvent>
#include <QPixmap>

#include "Widgets/SFAppStyle.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

CSFQTMenu::CSFQTMenu(ISFMenuEvent* sink) : QMenu(nullptr), CSFMenu(sink)
{
    connect(this, &QMenu::aboutToShow, this, [this] {
        if (styleSheet().isEmpty())
            setStyleSheet(QString::fromLatin1(kSFMenuSheet));
    });
}

int CSFQTMenu::Create(DWORD, const RECT&, void* parent, UINT)
{
    setParent(static_cast<QWidget*>(parent), windowFlags());
    return 1;
}

int CSFQTMenu::SetSkin(const wchar_t* image)
{
    QPalette pal;
    pal.setBrush(QPalette::Base, QBrush(SFSkinImage(SFFromWide(image))));
    setPalette(pal);
    return 1;
}

void* CSFQTMenu::AddMenu(const wchar_t* title)
{
    return addMenu(SFFromWide(title));
}

void CSFQTMenu::Popup(int x, int y)
{
    popup(QPoint(x, y));
}

void* CSFQTMenu::AddAction(const wchar_t* text, int id)
{
    QAction* action = addAction(SFFromWide(text));
    action->setData(id);
    return action;
}

void CSFQTMenu::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pSink) {
        if (QAction* action = actionAt(event->position().toPoint()))
            m_pSink->Menu_OnAction(action->data().toInt());
    }
    QMenu::mouseReleaseEvent(event);
}

CSFMenu* CreateSFMenu(ISFMenuEvent* sink)
{
    return new (std::nothrow) CSFQTMenu(sink);
}
