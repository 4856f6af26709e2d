// Behaviour shared by the skinned dialog and the skinned main window: frameless window with a
// composed frame, title-bar buttons, drag by the title, timers by caller id, file drop and the
// sink calls. The two fixed classes derive from it with QDialog or QMainWindow as the base.
#pragma once

#include <map>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QUrl>

#include "Widgets/SFCustomEvent.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFFrameSkin.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

template <class QtBase>
class CSFSkinnedWindow : public QtBase, public CSFDialog {
public:
    // What a title-bar button asks of the window; the fixed classes emit their queued signals.
    enum WindowRequest { RequestClose, RequestMaximized, RequestMinimized, RequestNormal };

    CSFSkinnedWindow(ISFDialogEvent* sink, void* parent, bool mainWindow)
        : QtBase(static_cast<QWidget*>(parent)), CSFDialog(sink), m_bMainWindow(mainWindow)
    {
        if (m_pSink)
            m_pSink->SFSetUIWnd(static_cast<QWidget*>(this));
        this->setAcceptDrops(true);
        this->setAttribute(Qt::WA_MouseTracking);
        this->setMouseTracking(true);
        this->setFocusPolicy(Qt::StrongFocus);
    }
    ~CSFSkinnedWindow() override
    {
        for (const auto& timer : m_timers)
            if (timer.second)
                this->killTimer(timer.second);
        m_timers.clear();
        delete m_titleLabel;
        m_titleLabel = nullptr;
    }

    int* GetThisMessageIDs() override { return m_pSink ? m_pSink->GetThisMessageIDs() : nullptr; }
    int CreateDlg(void*) override { return 1; }
    int Create(const wchar_t* title, void* parent) override
    {
        QWidget* newParent = static_cast<QWidget*>(parent);
        if (newParent && newParent != this->parentWidget())
            this->setParent(newParent);
        UpdateTitle(SFFromWide(title));
        if (m_pSink)
            m_pSink->Dlg_OnInitDialog(true);
        return 1;
    }
    void ShowWindow(int show) override
    {
        this->setWindowModality(Qt::NonModal);
        this->setVisible(show != 0);
    }
    void MoveWindow(RECT* rect) override
    {
        if (!rect)
            return;
        this->setGeometry(QRect(QPoint(rect->left, rect->top), QPoint(rect->right, rect->bottom)));
        m_skin.m_width = rect->right - rect->left + 1;
        m_skin.m_height = rect->bottom - rect->top + 1;
    }
    void MoveWindow(int x, int y, int width, int height) override
    {
        this->setGeometry(x, y, width, height);
        m_skin.m_width = width;
        m_skin.m_height = height;
    }
    void SetSkin(DialogStyle* style) override
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
        // The main window paints its buttons into its frame image.
        m_skin.Apply(*style, !m_bMainWindow);
    }
    void Screen2Client(POINT* point) override
    {
        if (!point)
            return;
        const QPoint p = this->mapFromGlobal(QPoint(point->x, point->y));
        *point = POINT{p.x(), p.y()};
    }
    void Screen2Client(RECT* rect) override
    {
        if (!rect)
            return;
        const QPoint tl = this->mapFromGlobal(QPoint(rect->left, rect->top));
        const QPoint br = this->mapFromGlobal(QPoint(rect->right, rect->bottom));
        *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
    }
    void GetDlgClientRect(RECT* rect) override
    {
        if (rect)
            *rect = RECT{0, 0, this->width() - 1, this->height() - 1};
    }
    void GetDlgWindowRect(RECT* rect) override
    {
        if (!rect)
            return;
        const QPoint tl = this->mapToGlobal(QPoint(0, 0));
        const QPoint br = this->mapToGlobal(QPoint(this->width() - 1, this->height() - 1));
        *rect = RECT{tl.x(), tl.y(), br.x(), br.y()};
    }
    void SendDlgMessage(UINT message, UINT, LONG) override
    {
        if (message == 16)  // close
            MFCCancel();
    }
    void SetDrawBackGround(int) override {}
    int DlgIsWindow() override { return this->isWindow() ? 1 : 0; }
    int SetDlgWindowPos(void*, int x, int y, int cx, int cy, UINT flags) override
    {
        if (flags & 2) {  // keep the position
            x = this->pos().x();
            y = this->pos().y();
        }
        if (flags & 1) {  // keep the size
            cx = this->width();
            cy = this->height();
        }
        this->setGeometry(QRect(QPoint(x, y), QPoint(x + cx - 1, y + cy - 1)));
        this->update();
        return 1;
    }
    void SetWindowTextW(const wchar_t* text) override
    {
        UpdateTitle(SFFromWide(text));
        this->update();
    }
    void SetDlgIcon(UINT) override {}
    int IsDlgVisible() override { return this->isVisible() ? 1 : 0; }
    void EnableNcLBtnDown(int enable) override { m_bNcLBtnDown = enable != 0; }
    UINT SetDlgTimer(UINT timerId, UINT milliseconds) override
    {
        auto found = m_timers.find(timerId);
        if (found != m_timers.end())
            return static_cast<UINT>(found->second);
        const int id = this->startTimer(static_cast<int>(milliseconds));
        if (id == 0)
            return 0;
        m_timers[timerId] = id;
        return static_cast<UINT>(id);
    }
    int KillDlgTimer(UINT timerId) override
    {
        auto found = m_timers.find(timerId);
        if (found == m_timers.end())
            return 0;
        this->killTimer(found->second);
        // Forget the id, so that the same id can be started again.
        m_timers.erase(found);
        return 1;
    }
    void SetSizeRoundCorner(const wchar_t* text) override
    {
        const auto radii = SFParseIntPair(SFFromWide(text));
        m_skin.m_radiusX = radii.first;
        m_skin.m_radiusY = radii.second;
    }
    void MacShowFullScreen(bool on) override { on ? this->showFullScreen() : this->showNormal(); }
    void MacShowMinimize(bool on) override { on ? this->showMinimized() : this->showNormal(); }

    const CSFFrameSkin& Skin() const { return m_skin; }
    QLabel* TitleLabel() const { return m_titleLabel; }

protected:
    virtual void UpdateTitle(const QString& text) = 0;
    virtual void RequestWindow(WindowRequest request) = 0;
    // Whether the window fills the screen; the main window keeps its own maximise.
    virtual bool Zoomed() const { return this->isMaximized(); }

    void timerEvent(QTimerEvent* event) override
    {
        if (m_pSink)
            m_pSink->OnDlgTimer(CSFFrameSkin::TimerUserId(m_timers, event->timerId()));
        QtBase::timerEvent(event);
    }
    void customEvent(QEvent* event) override
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
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton) {
            const QPoint pos = event->position().toPoint();
            if (m_skin.m_titleRect.contains(pos) && !Zoomed()) {
                m_bDragging = true;
                m_dragOffset = event->globalPosition().toPoint() - this->frameGeometry().topLeft();
            }
            const int hit = m_skin.HitTest(pos);
            if (hit) {
                SetHover(hit, CSFFrameSkin::LookPressed);
                m_bDragging = false;
            } else {
                SetHover(0, 0);
            }
        }
        QtBase::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint pos = event->position().toPoint();
        if (event->buttons() & Qt::LeftButton) {
            if (m_bDragging && !Zoomed()) {
                QPoint target = event->globalPosition().toPoint() - m_dragOffset;
                if (QScreen* s = this->screen()) {
                    const int top = s->availableGeometry().top();
                    if (target.y() < top)
                        target.setY(top);
                }
                this->move(target);
            }
            const int hit = m_skin.HitTest(pos);
            SetHover(hit, hit ? CSFFrameSkin::LookHover : 0);
        } else if (event->buttons() == Qt::NoButton) {
            const int hit = m_skin.HitTest(pos);
            if (hit || m_skin.m_hoverButton)
                SetHover(hit, hit ? CSFFrameSkin::LookHover : 0);
        }
        if (m_pSink)
            m_pSink->OnDlgMouseHover();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        if (m_bDragging) {
            QPoint p = event->globalPosition().toPoint() - m_dragOffset;
            if (CSFFrameSkin::ClampDropPosition(p, this->width()))
                this->move(p);
            m_bDragging = false;
        }
        const int hit = m_skin.HitTest(event->position().toPoint());
        if (hit) {
            SetHover(hit, CSFFrameSkin::LookHover);
            ButtonAction(hit);
        } else {
            SetHover(0, 0);
        }
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        if (m_pSink)
            m_pSink->OnDlgKeyDown(SFModifierCode(event), SFVirtualKeyCode(event, m_bMainWindow));
    }
    void focusInEvent(QFocusEvent* event) override
    {
        if (m_pSink)
            m_pSink->OnDlgNcActivate(1);
        QtBase::focusInEvent(event);
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        if (m_pSink)
            m_pSink->OnDlgNcActivate(0);
        QtBase::focusOutEvent(event);
    }
    void enterEvent(QEnterEvent*) override
    {
        if (m_pSink)
            m_pSink->OnDlgMouseHover();
    }
    void leaveEvent(QEvent*) override
    {
        SetHover(0, 0);
        if (m_pSink)
            m_pSink->OnDlgMouseLeave();
    }
    void paintEvent(QPaintEvent*) override
    {
        if (!m_skin.HasPicture())
            return;
        QPainter p(this);
        m_skin.Paint(p);
    }
    void resizeEvent(QResizeEvent* event) override
    {
        if (!m_skin.HasFrame())
            return;
        const int w = event->size().width(), h = event->size().height();
        const int oldW = event->oldSize().width() >= 0 ? event->oldSize().width() : w;
        m_skin.FollowWidth(oldW, w);
        m_skin.Compose(w, h, m_bMainWindow);
        if (m_titleLabel)
            UpdateTitle(m_titleLabel->text());
        // A plain rectangle needs no mask.
        if (m_skin.m_radiusX > 0 && m_skin.m_radiusY > 0)
            this->setMask(m_skin.Mask(event->size()));
        else
            this->clearMask();
        int width = w, height = h;
        if (m_pSink)
            m_pSink->OnDlgSize(0, width, height);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (m_pSink && m_pSink->Dlg_Close() == 1) {
            event->ignore();
            return;
        }
        QtBase::closeEvent(event);
    }
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (event->mimeData() && event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent* event) override
    {
        const QList<QUrl> urls = event->mimeData() ? event->mimeData()->urls() : QList<QUrl>();
        if (urls.isEmpty())
            return;
        const QString file = urls.first().toLocalFile();
        if (file.isEmpty())
            return;
        if (m_pSink)
            m_pSink->OnDlgFileDrop(file.toStdWString().c_str());
        QtBase::dropEvent(event);
    }
    void showEvent(QShowEvent* event) override
    {
        QtBase::showEvent(event);
        if (m_pSink)
            m_pSink->OnDlgShowWindow(1, 0);
    }

    // Sets the hovered button and its look, repainting the old and the new button.
    void SetHover(int button, int look)
    {
        const int old = m_skin.m_hoverButton;
        m_skin.m_hoverButton = button;
        m_skin.m_hoverState = look;
        if (old && old != button)
            RepaintButton(old);
        if (button)
            RepaintButton(button);
    }
    void RepaintButton(int button)
    {
        const QRect r = m_skin.ButtonRect(button);
        if (r.isValid())
            this->update(r);
    }
    void ButtonAction(int button)
    {
        switch (button) {
        case CSFFrameSkin::CloseButton:
            RequestWindow(RequestClose);
            break;
        case CSFFrameSkin::MaxButton:
            RequestWindow(this->isMaximized() ? RequestNormal : RequestMaximized);
            break;
        case CSFFrameSkin::MinButton:
            if (this->isMaximized()) {
                RequestWindow(RequestNormal);
            } else {
                RequestWindow(RequestMinimized);
                this->setWindowState(this->windowState() | Qt::WindowMinimized);
            }
            break;
        default:
            break;
        }
    }
    // The title label, made on first use.
    QLabel* TitleLabelFor(const QString& text)
    {
        if (!m_titleLabel) {
            m_titleLabel = new QLabel(this);
            m_titleLabel->setAutoFillBackground(false);
            m_titleLabel->show();
        }
        m_titleLabel->setText(text);
        return m_titleLabel;
    }

    CSFFrameSkin m_skin;
    QLabel* m_titleLabel = nullptr;
    const bool m_bMainWindow;
    bool m_bDragging = false;
    bool m_bNcLBtnDown = true;
    QPoint m_dragOffset;
    QPoint m_centrePos;
    std::map<UINT, int> m_timers;
};
