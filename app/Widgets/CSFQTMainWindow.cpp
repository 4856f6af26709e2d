#include "Widgets/CSFQTMainWindow.h"

#include <new>

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTMainWindow::CSFQTMainWindow(ISFDialogEvent* sink, void* parent)
    : QMainWindow(static_cast<QWidget*>(parent)), CSFDialog(sink)
{
    if (m_pSink)
        m_pSink->SFSetUIWnd(static_cast<QWidget*>(this));
    m_normalRect = geometry();
    setAcceptDrops(true);
    setAttribute(Qt::WA_MouseTracking);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
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
    for (const auto& timer : m_timers)
        if (timer.second)
            killTimer(timer.second);
    m_timers.clear();
    delete m_titleLabel;
    m_titleLabel = nullptr;
    if (m_pSink)
        m_pSink->Dlg_Destroy();
    m_menus.clear();
}

int* CSFQTMainWindow::GetThisMessageIDs()
{
    return m_pSink ? m_pSink->GetThisMessageIDs() : nullptr;
}

int CSFQTMainWindow::Create(const wchar_t* title, void* parent)
{
    QWidget* newParent = static_cast<QWidget*>(parent);
    if (newParent && newParent != parentWidget())
        setParent(newParent);
    UpdateTitle(SFFromWide(title));
    if (m_pSink)
        m_pSink->Dlg_OnInitDialog(true);
    return 1;
}

void CSFQTMainWindow::ShowWindow(int show)
{
    setWindowModality(Qt::NonModal);
    setVisible(show != 0);
}

void CSFQTMainWindow::MoveWindow(RECT* rect)
{
    if (!rect)
        return;
    setGeometry(QRect(QPoint(rect->left, rect->top), QPoint(rect->right, rect->bottom)));
    m_skin.m_width = rect->right - rect->left + 1;
    m_skin.m_height = rect->bottom - rect->top + 1;
}

void CSFQTMainWindow::MoveWindow(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    m_skin.m_width = width;
    m_skin.m_height = height;
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

void CSFQTMainWindow::SetSkin(DialogStyle* style)
{
    if (!style)
        return;
    if (!style->strDlgSize.empty()) {
        const auto size = SFParseIntPair(style->strDlgSize);
        m_skin.m_width = size.first;
        m_skin.m_height = size.second;
        SetDlgWindowPos(nullptr, 0, 0, size.first, size.second, 2);
        CenterWindow(nullptr);
    }
    m_skin.Apply(*style, false);
}

void CSFQTMainWindow::Screen2Client(POINT* point)
{
    if (!point)
        return;
    const QPoint p = mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CSFQTMainWindow::Screen2Client(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapFromGlobal(QPoint(rect->left, rect->top));
    const QPoint br = mapFromGlobal(QPoint(rect->right, rect->bottom));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTMainWindow::GetDlgClientRect(RECT* rect)
{
    if (rect)
        *rect = RECT{0, 0, width() - 1, height() - 1};
}

void CSFQTMainWindow::GetDlgWindowRect(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapToGlobal(QPoint(0, 0));
    const QPoint br = mapToGlobal(QPoint(width() - 1, height() - 1));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTMainWindow::SendDlgMessage(UINT message, UINT, LONG)
{
    if (message == 16)
        MFCCancel();
}

int CSFQTMainWindow::SetDlgWindowPos(void*, int x, int y, int cx, int cy, UINT flags)
{
    if (flags & 2) {
        x = pos().x();
        y = pos().y();
    }
    if (flags & 1) {
        cx = width();
        cy = height();
    }
    setGeometry(QRect(QPoint(x, y), QPoint(x + cx - 1, y + cy - 1)));
    update();
    return 1;
}

void CSFQTMainWindow::SetWindowTextW(const wchar_t* text)
{
    UpdateTitle(SFFromWide(text));
    update();
}

void CSFQTMainWindow::SetDlgIcon(const wchar_t* iconFile)
{
    const QIcon icon(SFGetSkinDir() + SFFromWide(iconFile));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

UINT CSFQTMainWindow::SetDlgTimer(UINT timerId, UINT milliseconds)
{
    auto found = m_timers.find(timerId);
    if (found != m_timers.end())
        return static_cast<UINT>(found->second);
    const int id = startTimer(static_cast<int>(milliseconds));
    if (id == 0)
        return 0;
    m_timers[timerId] = id;
    return static_cast<UINT>(id);
}

int CSFQTMainWindow::KillDlgTimer(UINT timerId)
{
    auto found = m_timers.find(timerId);
    if (found == m_timers.end())
        return 0;
    killTimer(found->second);
    // Forget the id, so that the same id can be started again.
    m_timers.erase(found);
    return 1;
}

void CSFQTMainWindow::SetSizeRoundCorner(const wchar_t* text)
{
    const auto radii = SFParseIntPair(SFFromWide(text));
    m_skin.m_radiusX = radii.first;
    m_skin.m_radiusY = radii.second;
}

void CSFQTMainWindow::MacShowFullScreen(bool on)
{
    on ? showFullScreen() : showNormal();
}

void CSFQTMainWindow::MacShowMinimize(bool on)
{
    on ? showMinimized() : showNormal();
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
    qDebug() << "fdfsfdfds";
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

void CSFQTMainWindow::timerEvent(QTimerEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgTimer(CSFFrameSkin::TimerUserId(m_timers, event->timerId()));
    QMainWindow::timerEvent(event);
}

void CSFQTMainWindow::customEvent(QEvent* event)
{
    if (event->type() != SFCustomEventType() || !m_pSink)
        return;
    auto* e = static_cast<CSFCustomEvent*>(event);
    SFDispatchMessage(m_pSink, static_cast<UINT>(e->m_nMessage), static_cast<UINT>(e->m_nCode), e->m_pData,
                      e->m_nValue);
    if (e->m_nMessage == SF_MSG_COMMAND && e->m_nCode == 0) {
        if (e->m_nValue == 1)
            MFCOK();
        else if (e->m_nValue == 2)
            MFCCancel();
    }
}

void CSFQTMainWindow::RepaintButton(int button)
{
    const QRect r = m_skin.ButtonRect(button);
    if (r.isValid())
        update(r);
}

void CSFQTMainWindow::ButtonAction(int button)
{
    switch (button) {
    case CSFFrameSkin::CloseButton:
        emit sgnClose();
        break;
    case CSFFrameSkin::MaxButton:
        if (isMaximized())
            emit sgnNormal();
        else
            emit sgnMaximized();
        break;
    case CSFFrameSkin::MinButton:
        if (isMaximized()) {
            emit sgnNormal();
        } else {
            emit sgnMinimized();
            setWindowState(windowState() | Qt::WindowMinimized);
        }
        break;
    default:
        break;
    }
}

void CSFQTMainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        if (m_skin.m_titleRect.contains(pos) && !m_bMaximized) {
            m_bDragging = true;
            m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
        }
        const int hit = m_skin.HitTest(pos);
        if (hit) {
            m_skin.m_hoverButton = hit;
            m_skin.m_hoverState = CSFFrameSkin::LookPressed;
            m_bDragging = false;
            RepaintButton(hit);
        } else {
            m_skin.m_hoverButton = 0;
            m_skin.m_hoverState = 0;
        }
    }
    QMainWindow::mousePressEvent(event);
}

void CSFQTMainWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton) {
        if (m_bDragging && !m_bMaximized) {
            QPoint target = event->globalPosition().toPoint() - m_dragOffset;
            if (QScreen* s = screen()) {
                const int top = s->availableGeometry().top();
                if (target.y() < top)
                    target.setY(top);
            }
            move(target);
        }
        const int hit = m_skin.HitTest(event->position().toPoint());
        m_skin.m_hoverButton = hit;
        m_skin.m_hoverState = hit ? CSFFrameSkin::LookHover : 0;
        if (hit)
            RepaintButton(hit);
    }
    if (m_pSink)
        m_pSink->OnDlgMouseHover();
}

void CSFQTMainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (m_bDragging) {
        QPoint p = event->globalPosition().toPoint() - m_dragOffset;
        if (CSFFrameSkin::ClampDropPosition(p, width()))
            move(p);
        m_bDragging = false;
    }
    const int hit = m_skin.HitTest(event->position().toPoint());
    if (hit) {
        m_skin.m_hoverButton = hit;
        m_skin.m_hoverState = CSFFrameSkin::LookHover;
        RepaintButton(hit);
        ButtonAction(hit);
    } else {
        m_skin.m_hoverButton = 0;
        m_skin.m_hoverState = 0;
    }
}

void CSFQTMainWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgKeyDown(SFModifierCode(event), SFVirtualKeyCode(event, true));
}

void CSFQTMainWindow::keyReleaseEvent(QKeyEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgKeyUp(SFModifierCode(event), SFVirtualKeyCode(event, true));
}

void CSFQTMainWindow::focusInEvent(QFocusEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgNcActivate(1);
    QMainWindow::focusInEvent(event);
}

void CSFQTMainWindow::focusOutEvent(QFocusEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgNcActivate(0);
    QMainWindow::focusOutEvent(event);
}

void CSFQTMainWindow::enterEvent(QEnterEvent*)
{
    if (m_pSink)
        m_pSink->OnDlgMouseHover();
}

void CSFQTMainWindow::leaveEvent(QEvent*)
{
    if (m_pSink)
        m_pSink->OnDlgMouseLeave();
}

void CSFQTMainWindow::paintEvent(QPaintEvent*)
{
    if (m_skin.m_cache.isNull())
        return;
    m_skin.PaintButtons();
    QPainter p(this);
    p.drawPixmap(0, 0, m_skin.m_cache);
}

void CSFQTMainWindow::resizeEvent(QResizeEvent* event)
{
    if (!m_skin.HasFrame())
        return;
    const int w = event->size().width(), h = event->size().height();
    const int oldW = event->oldSize().width() >= 0 ? event->oldSize().width() : w;
    m_skin.FollowWidth(oldW, w);
    m_skin.Compose(w, h, true);
    if (m_titleLabel)
        UpdateTitle(m_titleLabel->text());
    // A plain rectangle needs no mask.
    if (m_skin.m_radiusX > 0 && m_skin.m_radiusY > 0)
        setMask(m_skin.Mask(event->size()));
    else
        clearMask();
    int width = w, height = h;
    if (m_pSink)
        m_pSink->OnDlgSize(0, width, height);
}

void CSFQTMainWindow::closeEvent(QCloseEvent* event)
{
    qDebug() << "CSFQTMainWindow::closeEvent!";
    if (m_pSink && m_pSink->Dlg_Close() == 1) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CSFQTMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CSFQTMainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData() ? event->mimeData()->urls() : QList<QUrl>();
    if (urls.isEmpty())
        return;
    const QString file = urls.first().toLocalFile();
    if (file.isEmpty())
        return;
    if (m_pSink)
        m_pSink->OnDlgFileDrop(file.toStdWString().c_str());
    QMainWindow::dropEvent(event);
}

void CSFQTMainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_pSink)
        m_pSink->OnDlgShowWindow(1, 0);
}

void CSFQTMainWindow::UpdateTitle(const QString& text)
{
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    const QRect rect(QPoint(15, 8), QPoint(tw + 16, th + 9));
    if (!m_titleLabel) {
        m_titleLabel = new QLabel(this);
        QPalette pal = m_titleLabel->palette();
        pal.setColor(QPalette::WindowText, Qt::black);
        m_titleLabel->setPalette(pal);
        m_titleLabel->setAutoFillBackground(false);
        m_titleLabel->show();
    }
    m_titleLabel->setText(text);
    m_titleLabel->setGeometry(rect);
    setWindowTitle(text);
}

CSFDialog* CreateSFMainWindow(ISFDialogEvent* sink, void* parent)
{
    return new (std::nothrow) CSFQTMainWindow(sink, parent);
}
