// Frameless skinned dialog behind CSFDialog.
#pragma once

#include <map>

#include <QDialog>
#include <QPoint>

#include "Widgets/SFDialog.h"
#include "Widgets/SFFrameSkin.h"

class QLabel;

class CSFQTDialog : public QDialog, public CSFDialog {
    Q_OBJECT
public:
    CSFQTDialog(ISFDialogEvent* sink, void* parent, int flags);
    ~CSFQTDialog() override;

    int* GetThisMessageIDs() override;
    int CreateDlg(void*) override { return 1; }
    int DoModalDlg() override;
    int Create(const wchar_t* title, void* parent) override;
    void ShowWindow(int show) override;
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int width, int height) override;
    void MFCOK() override { accept(); }
    void MFCCancel() override { reject(); }
    void CenterWindow(void**) override;
    void SetSkin(DialogStyle* style) override;
    void Screen2Client(POINT* point) override;
    void Screen2Client(RECT* rect) override;
    void GetDlgClientRect(RECT* rect) override;
    void GetDlgWindowRect(RECT* rect) override;
    void SendDlgMessage(UINT message, UINT wParam, LONG lParam) override;
    int IsDlgZoomed() override { return isMaximized() ? 1 : 0; }
    void SetDrawBackGround(int) override {}
    int DlgIsWindow() override { return isWindow() ? 1 : 0; }
    int SetDlgWindowPos(void* insertAfter, int x, int y, int cx, int cy, UINT flags) override;
    int ModifyDlgStyleEx(DWORD remove, DWORD add, UINT flags) override;
    void SetWindowTextW(const wchar_t* text) override;
    void SetDlgIcon(UINT) override {}
    void SetDlgIcon(const wchar_t* iconFile) override;
    int IsDlgVisible() override { return isVisible() ? 1 : 0; }
    void EnableNcLBtnDown(int enable) override { m_bNcLBtnDown = enable != 0; }
    UINT SetDlgTimer(UINT timerId, UINT milliseconds) override;
    int KillDlgTimer(UINT timerId) override;
    void SetSizeRoundCorner(const wchar_t* text) override;
    void MacShowFullScreen(bool on) override;
    void MacShowMinimize(bool on) override;
    void MacShowMaximize(bool on) override;
    int HasFocus() override { return hasFocus() ? 1 : 0; }
    void SetFocus() override { activateWindow(); }
    int IsActiveWindow() override { return isActiveWindow() ? 1 : 0; }
    void ActiveWindow() override
    {
        raise();
        activateWindow();
    }

    // Skin state, for inspection.
    const CSFFrameSkin& Skin() const { return m_skin; }
    QLabel* TitleLabel() const { return m_titleLabel; }

public slots:
    void accept() override;
    void reject() override;
    void OnSwitchSize() {}

signals:
    void sgnClose();
    void sgnMaximized();
    void sgnMinimized();
    void sgnNormal();

protected:
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void UpdateTitle(const QString& text);
    void RepaintButton(int button);
    void ButtonAction(int button);

    CSFFrameSkin m_skin;
    QLabel* m_titleLabel = nullptr;
    bool m_bDragging = false;
    bool m_bNcLBtnDown = true;
    QPoint m_dragOffset;
    QPoint m_centrePos;
    std::map<UINT, int> m_timers;
};
