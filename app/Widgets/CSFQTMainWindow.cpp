#include "Widgets/CSFQTMainWindow.h"

#include <new>

#include <QDebug>
#include <QFontMetrics>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "Widgets/SFFactory.h"

CSFQTMainWindow::CSFQTMainWindow(ISFDialogEvent* sink, void* parent) : CSFSkinnedWindow(sink, parent, true)
{
    m_normalRect = geometry();
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    connect(this, &CSFQTMainWindow::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTMainWindow::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
    m_heartbeat = new QTimer(this);
    connect(m_heartbeat, &QTimer::timeout, this, &CSFQTMainWindow::timerUpDateRes);
    m_heartbeat->start(2000);
}

CSFQTMainWindow::~CSFQTMainWindow()
{
    if (m_pSink)
        m_pSink->Dlg_Destroy();
    m_menus.clear();
}

void CSFQTMainWindow::MFCOK()
{
    if (m_pSink)
        m_pSink->Dlg_OnOK();
}

void CSFQTMainWindow::MFCCancel()
{
    if (m_pSink) {
        m_pSink->SFSetUIWnd(nullptr);
        m_pSink->Dlg_OnCancel();
    }
    emit sgnClose();
}

void CSFQTMainWindow::CenterWindow(void**)
{
    QRect area;
    if (QWidget* p = parentWidget()) {
        area = p->rect();
        if (windowType() != Qt::Widget)
            area.moveTopLeft(p->mapToGlobal(QPoint(0, 0)));
    } else if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        area = s->availableGeometry();
    }
    m_centrePos = SFCentredPosition(area, m_skin.m_width, m_skin.m_height, m_skin.m_baseWidth, m_skin.m_baseHeight);
    move(m_centrePos);
}

void CSFQTMainWindow::SetDlgIcon(const wchar_t* iconFile)
{
    const QIcon icon = SFSkinIcon(SFGetSkinDir() + SFFromWide(iconFile));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

void CSFQTMainWindow::MacShowMaximize(bool on)
{
    if (on && !m_bMaximized) {
        m_normalRect = geometry();
        QScreen* s = QGuiApplication::primaryScreen();
        const QRect a = s ? s->availableGeometry() : geometry();
        RECT r{a.left(), a.top(), a.right(), a.bottom()};
        MoveWindow(&r);
        m_bMaximized = true;
        return;
    }
    RECT r{m_normalRect.left(), m_normalRect.top(), m_normalRect.right(), m_normalRect.bottom()};
    MoveWindow(&r);
    m_bMaximized = false;
}

void CSFQTMainWindow::AddMenuMac(const wchar_t* title, int menuId)
{
    QMenu* menu = menuBar()->addMenu(SFFromWide(title));
    m_menus[menuId] = menu;
    connect(menu, &QMenu::triggered, this, &CSFQTMainWindow::Ontriggered);
}

void CSFQTMainWindow::AddMenuAction(const wchar_t* text, int menuId, int commandId)
{
    auto found = m_menus.find(menuId);
    if (found == m_menus.end() || !found->second) {
        qWarning() << "AddMenuAction: no menu with id" << menuId;
        return;
    }
    QAction* action = found->second->addAction(SFFromWide(text));
    action->setData(commandId);
}

QMenu* CSFQTMainWindow::Menu(int menuId) const
{
    auto found = m_menus.find(menuId);
    return found == m_menus.end() ? nullptr : found->second;
}

void CSFQTMainWindow::Ontriggered(QAction* action)
{
    if (m_pSink && action)
        m_pSink->OnMacMenu(static_cast<UINT>(action->data().toInt()));
}

void CSFQTMainWindow::timerUpDateRes()
{
    if (m_pSink)
        m_pSink->SendTimerMessge();
}

void CSFQTMainWindow::ReportSessionChange(bool locked)
{
    if (m_pSink)
        m_pSink->OnMsgScreenLock(locked ? 1 : 0);
}

void CSFQTMainWindow::ReportDeviceRemoved()
{
    if (m_pSink)
        m_pSink->SendUSBMessge(1);
}

void CSFQTMainWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgKeyUp(SFModifierCode(event), SFVirtualKeyCode(event, true));
}

void CSFQTMainWindow::RequestWindow(WindowRequest request)
{
    switch (request) {
    case RequestClose: emit sgnClose(); break;
    case RequestMaximized: emit sgnMaximized(); break;
    case RequestMinimized: emit sgnMinimized(); break;
    case RequestNormal: emit sgnNormal(); break;
    }
}

void CSFQTMainWindow::UpdateTitle(const QString& text)
{
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    const bool first = m_titleLabel == nullptr;
    QLabel* label = TitleLabelFor(text);
    if (first) {
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(pal);
    }
    label->setGeometry(QRect(QPoint(15, 8), QPoint(tw + 16, th + 9)));
    setWindowTitle(text);
}

CSFDialog* CreateSFMainWindow(ISFDialogEvent* sink, void* parent)
{
    return new (std::nothrow) CSFQTMainWindow(sink, parent);
}
