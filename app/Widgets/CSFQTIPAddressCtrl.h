// IPv4 address editor behind CSFIPAddressCtrl: a read-only frame edit with four octet fields
// and three dots laid over it.
#pragma once

#include <QLineEdit>

#include "Widgets/SFIPAddressCtrl.h"

class IPFieldItem;
class QLabel;

class CSFQTIPAddressCtrl : public QLineEdit, public CSFIPAddressCtrl {
    Q_OBJECT
public:
    explicit CSFQTIPAddressCtrl(ISFIPAddressCtrlEvent* sink);

    int Create(DWORD style, const RECT& rect, void* parent, UINT id, bool notify) override;
    void SetCursor() override {}
    int SetSkin() override { return 0; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    void SetAddress(DWORD address) override;
    void SetAddress(BYTE o1, BYTE o2, BYTE o3, BYTE o4) override;
    void SetAddressOnline(DWORD value, UINT field, int flag) override;
    int GetAddress(DWORD& address) override;
    int GetAddress(BYTE& o1, BYTE& o2, BYTE& o3, BYTE& o4) override;
    void ClearAddress() override;
    void EnableWindow(int enable) override;

    // Called by a field when its text changes.
    void FieldTextChanged(int index, const QString& text);

    IPFieldItem* Field(int index) const { return index >= 1 && index <= 4 ? m_fields[index - 1] : nullptr; }
    QLabel* Dot(int index) const { return index >= 1 && index <= 3 ? m_dots[index - 1] : nullptr; }
    UINT Id() const { return m_nId; }

private:
    UINT m_nId = 0;
    bool m_bNotify = false;
    IPFieldItem* m_fields[4] = {};
    QLabel* m_dots[3] = {};
};
