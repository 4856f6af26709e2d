// Frameless skinned dialog behind CSFDialog.
#pragma once

#include <QDialog>

#include "Widgets/SFSkinnedWindow.h"

class CSFQTDialog : public CSFSkinnedWindow<QDialog> {
    Q_OBJECT
public:
    CSFQTDialog(ISFDialogEvent* sink, void* parent, int flags);
    ~CSFQTDialog() override;

    int DoModalDlg() override;
    void MFCOK() override { accept(); }
    void MFCCancel() override { reject(); }
    void CenterWindow(void**) override;
    int IsDlgZoomed() override { return isMaximized() ? 1 : 0; }
    int ModifyDlgStyleEx(DWORD remove, DWORD add, UINT flags) override;
    void SetDlgIcon(UINT id) override { CSFSkinnedWindow::SetDlgIcon(id); }
    void SetDlgIcon(const wchar_t* iconFile) override;
    void MacShowMaximize(bool on) override { on ? showMaximized() : showNormal(); }
    int HasFocus() override { return hasFocus() ? 1 : 0; }
    void SetFocus() override { activateWindow(); }
    int IsActiveWindow() override { return isActiveWindow() ? 1 : 0; }
    void ActiveWindow() override
    {
        raise();
        activateWindow();
    }

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
    void UpdateTitle(const QString& text) override;
    void RequestWindow(WindowRequest request) override;
};
