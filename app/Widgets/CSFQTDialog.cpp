#include "Widgets/CSFQTDialog.h"

#include <new>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>

#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

CSFQTDialog::CSFQTDialog(ISFDialogEvent* sink, void* parent, int /*flags*/)
    : QDialog(static_cast<QWidget*>(parent)), CSFDialog(sink)
{
    if (m_pSink)
        m_pSink->SFSetUIWnd(static_cast<QWidget*>(this));
    setAcceptDrops(true);
    setAttribute(Qt::WA_MouseTracking);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint);
    connect(this, &CSFQTDialog::sgnClose, this, &QWidget::close, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMaximized, this, &QWidget::showMaximized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnMinimized, this, &QWidget::showMinimized, Qt::QueuedConnection);
    connect(this, &CSFQTDialog::sgnNormal, this, &QWidget::showNormal, Qt::QueuedConnection);
}

CSFQTDialog::~CSFQTDialog()
{
    for (const auto& timer : m_timers)
        killTimer(timer.second);
    m_timers.clear();
    delete m_titleLabel;
    m_titleLabel = nullptr;
    if (m_pSink) {
        m_pSink->SFSetUIWnd(nullptr);
        m_pSink->Dlg_Destroy();
    }
}

int* CSFQTDialog::GetThisMessageIDs()
{
    return m_pSink ? m_pSink->GetThisMessageIDs() : nullptr;
}

int CSFQTDialog::DoModalDlg()
{
    setWindowModality(Qt::ApplicationModal);
    setModal(true);
    if (m_pSink)
        m_pSink->Dlg_OnInitDialog(false);
    QWidget::setFocus(Qt::OtherFocusReason);
    const int result = exec();
    return result == 0 ? 2 : result;
}

int CSFQTDialog::Create(const wchar_t* title, void* parent)
{
    QWidget* newParent = static_cast<QWidget*>(parent);
    if (newParent && newParent != parentWidget())
        setParent(newParent);
    UpdateTitle(SFFromWide(title));
    if (m_pSink)
        m_pSink->Dlg_OnInitDialog(true);
    return 1;
}

void CSFQTDialog::ShowWindow(int show)
{
    setWindowModality(Qt::NonModal);
    setVisible(show != 0);
}

void CSFQTDialog::MoveWindow(RECT* rect)
{
    if (!rect)
        return;
    setGeometry(QRect(QPoint(rect->left, rect->top), QPoint(rect->right, rect->bottom)));
    m_skin.m_width = rect->right - rect->left + 1;
    m_skin.m_height = rect->bottom - rect->top + 1;
}

void CSFQTDialog::MoveWindow(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
    m_skin.m_width = width;
    m_skin.m_height = height;
}

void CSFQTDialog::CenterWindow(void**)
{
    QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    m_centrePos = SFCentredPosition(s->availableGeometry(), m_skin.m_width, m_skin.m_height, m_skin.m_baseWidth,
                                    m_skin.m_baseHeight);
    move(m_centrePos);
}

void CSFQTDialog::SetSkin(DialogStyle* style)
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
    m_skin.Apply(*style, true);
}

void CSFQTDialog::Screen2Client(POINT* point)
{
    if (!point)
        return;
    const QPoint p = mapFromGlobal(QPoint(point->x, point->y));
    point->x = p.x();
    point->y = p.y();
}

void CSFQTDialog::Screen2Client(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapFromGlobal(QPoint(rect->left, rect->top));
    const QPoint br = mapFromGlobal(QPoint(rect->right, rect->bottom));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTDialog::GetDlgClientRect(RECT* rect)
{
    if (rect)
        *rect = RECT{0, 0, width() - 1, height() - 1};
}

void CSFQTDialog::GetDlgWindowRect(RECT* rect)
{
    if (!rect)
        return;
    const QPoint tl = mapToGlobal(QPoint(0, 0));
    const QPoint br = mapToGlobal(QPoint(width() - 1, height() - 1));
    *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
}

void CSFQTDialog::SendDlgMessage(UINT message, UINT, LONG)
{
    if (message == 16)
        reject();
}

int CSFQTDialog::SetDlgWindowPos(void*, int x, int y, int cx, int cy, UINT flags)
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

int CSFQTDialog::ModifyDlgStyleEx(DWORD remove, DWORD add, UINT)
{
    const bool visible = isVisible();
    Qt::WindowFlags f = windowFlags();
    f &= ~Qt::WindowFlags(static_cast<int>(remove));
    f |= Qt::WindowFlags(static_cast<int>(add));
    setWindowFlags(f);
    if (visible)
        show();
    return 1;
}

void CSFQTDialog::SetWindowTextW(const wchar_t* text)
{
    UpdateTitle(SFFromWide(text));
}

void CSFQTDialog::SetDlgIcon(const wchar_t* iconFile)
{
    const QIcon icon(SFFromWide(iconFile));
    setWindowIcon(icon);
    QApplication::setWindowIcon(icon);
}

UINT CSFQTDialog::SetDlgTimer(UINT timerId, UINT milliseconds)
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

int CSFQTDialog::KillDlgTimer(UINT timerId)
{
    auto found = m_timers.find(timerId);
    if (found == m_timers.end())
        return 0;
    killTimer(found->second);
    m_timers.erase(found);
    return 1;
}

void CSFQTDialog::SetSizeRoundCorner(const wchar_t* text)
{
    const auto radii = SFParseIntPair(SFFromWide(text));
    m_skin.m_radiusX = radii.first;
    m_skin.m_radiusY = radii.second;
}

void CSFQTDialog::MacShowFullScreen(bool on)
{
    on ? showFullScreen() : showNormal();
}

void CSFQTDialog::MacShowMinimize(bool on)
{
    on ? showMinimized() : showNormal();
}

void CSFQTDialog::MacShowMaximize(bool on)
{
    on ? showMaximized() : showNormal();
}

void CSFQTDialog::accept()
{
    if (m_pSink)
        m_pSink->Dlg_OnOK();
    QDialog::accept();
}

void CSFQTDialog::reject()
{
    if (m_pSink)
        m_pSink->Dlg_OnCancel();
    QDialog::reject();
}

void CSFQTDialog::timerEvent(QTimerEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgTimer(CSFFrameSkin::TimerUserId(m_timers, event->timerId()));
    QDialog::timerEvent(event);
}

void CSFQTDialog::customEvent(QEvent* event)
{
    if (event->type() != SFCustomEventType() || !m_pSink)
        return;
    auto* e = static_cast<CSFCustomEvent*>(event);
    SFDispatchMessage(m_pSink, static_cast<UINT>(e->m_nMessage), static_cast<UINT>(e->m_nCode), e->m_pData,
                      e->m_nValue);
    if (e->m_nMessage == SF_MSG_COMMAND && e->m_nCode == 0) {
        if (e->m_nValue == 1)
            accept();
        else if (e->m_nValue == 2)
            reject();
    }
}

void CSFQTDialog::RepaintButton(int button)
{
    const QRect r = m_skin.ButtonRect(button);
    if (r.isValid())
        update(r);
}

void CSFQTDialog::ButtonAction(int button)
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

void CSFQTDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        if (m_skin.m_titleRect.contains(pos) && !isMaximized()) {
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
    QDialog::mousePressEvent(event);
}

void CSFQTDialog::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->buttons() & Qt::LeftButton) {
        if (m_bDragging && !isMaximized()) {
            QPoint target = event->globalPosition().toPoint() - m_dragOffset;
            if (QScreen* s = screen()) {
                const int top = s->availableGeometry().top();
                if (target.y() < top)
                    target.setY(top);
            }
            move(target);
        }
        const int hit = m_skin.HitTest(pos);
        m_skin.m_hoverButton = hit;
        m_skin.m_hoverState = hit ? CSFFrameSkin::LookHover : 0;
        if (hit)
            RepaintButton(hit);
    } else if (event->buttons() == Qt::NoButton) {
        const int hit = m_skin.HitTest(pos);
        if (hit) {
            m_skin.m_hoverButton = hit;
            m_skin.m_hoverState = CSFFrameSkin::LookHover;
            RepaintButton(hit);
        } else if (m_skin.m_hoverButton) {
            const int old = m_skin.m_hoverButton;
            m_skin.m_hoverButton = 0;
            m_skin.m_hoverState = 0;
            RepaintButton(old);
        }
    }
    if (m_pSink)
        m_pSink->OnDlgMouseHover();
}

void CSFQTDialog::mouseReleaseEvent(QMouseEvent* event)
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

void CSFQTDialog::keyPressEvent(QKeyEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgKeyDown(SFModifierCode(event), SFVirtualKeyCode(event, false));
}

void CSFQTDialog::focusInEvent(QFocusEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgNcActivate(1);
    QDialog::focusInEvent(event);
}

void CSFQTDialog::focusOutEvent(QFocusEvent* event)
{
    if (m_pSink)
        m_pSink->OnDlgNcActivate(0);
    QDialog::focusOutEvent(event);
}

void CSFQTDialog::enterEvent(QEnterEvent*)
{
    if (m_pSink)
        m_pSink->OnDlgMouseHover();
}

void CSFQTDialog::leaveEvent(QEvent*)
{
    m_skin.m_hoverButton = 0;
    m_skin.m_hoverState = 0;
    for (int b = 1; b <= 4; ++b)
        RepaintButton(b);
    if (m_pSink)
        m_pSink->OnDlgMouseLeave();
}

void CSFQTDialog::paintEvent(QPaintEvent*)
{
    if (m_skin.m_cache.isNull())
        return;
    m_skin.PaintButtons();
    QPainter p(this);
    p.drawPixmap(0, 0, m_skin.m_cache);
}

void CSFQTDialog::resizeEvent(QResizeEvent* event)
{
    if (!m_skin.HasFrame())
        return;
    const int w = event->size().width(), h = event->size().height();
    const int oldW = event->oldSize().width() >= 0 ? event->oldSize().width() : w;
    m_skin.FollowWidth(oldW, w);
    m_skin.Compose(w, h, false);
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

void CSFQTDialog::closeEvent(QCloseEvent* event)
{
    if (m_pSink && m_pSink->Dlg_Close() == 1) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CSFQTDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CSFQTDialog::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData() ? event->mimeData()->urls() : QList<QUrl>();
    if (urls.isEmpty())
        return;
    const QString file = urls.first().toLocalFile();
    if (file.isEmpty())
        return;
    if (m_pSink)
        m_pSink->OnDlgFileDrop(file.toStdWString().c_str());
    QDialog::dropEvent(event);
}

void CSFQTDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_pSink)
        m_pSink->OnDlgShowWindow(1, 0);
}

void CSFQTDialog::UpdateTitle(const QString& text)
{
    const QFontMetrics fm(font());
    const int tw = fm.horizontalAdvance(text), th = fm.height();
    int x = 15;
    if (m_skin.m_titleAlign == 1)
        x = (width() - 1 - tw) / 2;
    else if (m_skin.m_titleAlign == 2)
        x = width() - 1 - tw;
    const QRect rect(QPoint(x, 5), QPoint(x + tw + 1, th + 6));
    if (m_titleLabel) {
        m_titleLabel->setText(text);
        m_titleLabel->setGeometry(rect);
        return;
    }
    m_titleLabel = new QLabel(text, this);
    m_titleLabel->setGeometry(rect);
    if (m_skin.m_titleColor.isValid()) {
        QPalette pal = m_titleLabel->palette();
        pal.setColor(QPalette::WindowText, m_skin.m_titleColor);
        m_titleLabel->setPalette(pal);
    }
    m_titleLabel->setAutoFillBackground(false);
    m_titleLabel->show();
}

CSFDialog* CreateSFDialog(ISFDialogEvent* sink, void* parent, int flags)
{
    return new (std::nothrow) CSFQTDialog(sink, parent, flags);
}

void DestroySFDialog(CSFDialog* dialog)
{
    delete dialog;
}
