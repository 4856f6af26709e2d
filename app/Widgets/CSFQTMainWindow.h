// Skinned main window behind CSFDialog: the dialog's frame and title buttons on a main
// window, with a menu bar by ids, a 2000 ms heartbeat and its own maximise.
#pragma once

#include <map>

#include <QMainWindow>
#include <QRect>

#include "Widgets/SFSkinnedWindow.h"

class QMenu;
class QTimer;
class QAction;

class CSFQTMainWindow : public CSFSkinnedWindow<QMainWindow> {
    Q_OBJECT
public:
    CSFQTMainWindow(ISFDialogEvent* sink, void* parent);
    ~CSFQTMainWindow() override;

    int DoModalDlg() override { return -1; }
    void MFCOK() override;
    void MFCCancel() override;
    void CenterWindow(void**) override;
    int IsDlgZoomed() override { return m_bMaximized ? 1 : 0; }
    int ModifyDlgStyleEx(DWORD, DWORD, UINT) override { return 1; }
    void SetDlgIcon(UINT id) override { CSFSkinnedWindow::SetDlgIcon(id); }
    void SetDlgIcon(const wchar_t* iconFile) override;
    void MacShowMaximize(bool on) override;
    void AddMenuMac(const wchar_t* title, int menuId) override;
    void AddMenuAction(const wchar_t* text, int menuId, int commandId) override;

    // Reports that the system gives no signal for here; tests and platform adapters call them.
    void ReportSessionChange(bool locked);
    void ReportDeviceRemoved();

    QMenu* Menu(int menuId) const;

public slots:
    void OnSwitchSize() {}
    void OnAniShowMaxFinished() { showMaximized(); }
    void OnAniShowNorFinished() { showNormal(); }
    void Ontriggered(QAction* action);

private slots:
    void timerUpDateRes();

signals:
    void sgnClose();
    void sgnMaximized();
    void sgnMinimized();
    void sgnNormal();

protected:
    void UpdateTitle(const QString& text) override;
    void RequestWindow(WindowRequest request) override;
    bool Zoomed() const override { return m_bMaximized; }
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    std::map<int, QMenu*> m_menus;
    QTimer* m_heartbeat = nullptr;
    QRect m_normalRect;
    bool m_bMaximized = false;
};
