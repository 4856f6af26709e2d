// Frameless single-line edit behind CSFEditCtrl: validators, text-change and Enter reports.
#pragma once

#include <QLineEdit>

#include "Widgets/SFEditCtrl.h"

class QValidator;

class CSFQTEditCtrl : public QLineEdit, public CSFEditCtrl {
    Q_OBJECT
public:
    explicit CSFQTEditCtrl(ISFEditCtrlEvent* sink);
    ~CSFQTEditCtrl() override;

    int Create(DWORD style, const RECT& rect, void* parent, UINT id, bool password) override;
    void SetCursor() override {}
    int SetSkin(const wchar_t* image) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    // Copies at most count units; terminates only when there is room. Answers the full length.
    int GetWindowTextW(wchar_t* buf, int count) const override;
    void SetWindowTextW(const wchar_t* text) override;
    void EnableWindow(int enable) override;
    void SetReadOnly(int readOnly) override;
    void GetEditCtrolPos(RECT& rect) override;
    void SetRegExp(std::string pattern) override;
    void SetRegExp() override;
    void SetEditFocus() override { setFocus(Qt::OtherFocusReason); }
    void SetObjectName(const wchar_t* name) override;
    void SetTextColor(DWORD colour) override;
    void SetNumType(int numeric) override;
    void SetEmailType() override;
    bool CheckEmailMatch() override;
    void SetMaxLength(int length) override { setMaxLength(length); }
    void SetIntValidator(int bottom, int top) override;
    void SetDoubleValidator(double bottom, double top) override;

    UINT Id() const { return m_nId; }
    COLORREF TextColour() const { return m_nTextColor; }

protected:
    // A text wider than the field shows in full as the tool tip, when none was set.
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private slots:
    void OnTextChange(const QString& text);
    void OnKeyPressed();
    void editingFinishe();

private:
    void ReplaceValidator(QValidator* validator);
    void ConnectTextChange(bool on);

    UINT m_nId = static_cast<UINT>(-1);
    // Set while the control gives up the focus after Enter: that loss is no end of an edit.
    bool m_bLeavingAfterEnter = false;
    COLORREF m_nTextColor = 0;
    QValidator* m_pValidator = nullptr;
};
