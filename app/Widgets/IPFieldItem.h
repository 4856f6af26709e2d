// One octet field of CSFQTIPAddressCtrl: accepts 0 to 255 without leading zeros, moves the
// focus on to the next field after three digits or a period, and back with Backspace or Left.
// Entering a field selects its text, so that typing replaces it.
#pragma once

#include <QLineEdit>

class CSFQTIPAddressCtrl;

class IPFieldItem : public QLineEdit {
    Q_OBJECT
public:
    IPFieldItem(CSFQTIPAddressCtrl* owner, int index, QWidget* parent);

    IPFieldItem* m_pNext = nullptr;
    IPFieldItem* m_pPrev = nullptr;
    CSFQTIPAddressCtrl* m_pOwner;
    int m_nIndex;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private slots:
    void OnTextChange(const QString& text);
    void OnKeyPressed() {}
    void editingFinished() {}
    void textEdited(const QString&) {}

private:
    // Entered by the move after a third digit and nothing typed since: a period typed now
    // belongs to the move and is dropped.
    bool m_bAutoEntered = false;
    bool m_bSelectOnPress = false;
};
