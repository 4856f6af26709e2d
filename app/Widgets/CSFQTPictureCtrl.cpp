#include "Widgets/CSFQTPictureCtrl.h"

#include <new>

#include <QPainter>

#include "Widgets/CSFQTButton.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"

CSFQTPictureCtrl::CSFQTPictureCtrl(ISFPictureCtrlEvent* sink) : QLabel(nullptr), CSFPictureCtrl(sink) {}

int CSFQTPictureCtrl::Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id)
{
    setGeometry(SFRectExclusive(rect));
    setText(SFFromWide(text));
    setAlignment(Qt::AlignCenter);
    setParent(static_cast<QWidget*>(parent));
    m_nId = static_cast<int>(id);
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

void CSFQTPictureCtrl::MoveWindow(RECT* rect)
{
    if (rect)
        setGeometry(SFRectInclusive(*rect));
}

void CSFQTPictureCtrl::SetImage(const wchar_t* name, bool fullPath)
{
    const QString path = fullPath ? SFFromWide(name) : SFGetSkinDir() + SFFromWide(name);
    m_image.SetPath(path);
    update();
}

void CSFQTPictureCtrl::SetImageWithPath(const wchar_t* path)
{
    m_image.SetPath(SFFromWide(path));
    update();
}

void CSFQTPictureCtrl::SetWindowTextW(const wchar_t* text)
{
    setText(SFFromWide(text));
    update();
}

void CSFQTPictureCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPixmap& image = m_image.Get();
    if (!image.isNull())
        p.drawPixmap(rect(), image);
    p.drawText(rect(), Qt::AlignCenter, text());
}

CSFPictureCtrl* CreateSFPictureCtrl(ISFPictureCtrlEvent* sink)
{
    return new (std::nothrow) CSFQTPictureCtrl(sink);
}
