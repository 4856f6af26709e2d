// Drop-down list drawn from pieces of one skin image, behind CSFComboBox. Program changes are
// quiet; a user selection is reported twice (without and with the sender).
#pragma once

#include <QComboBox>
#include <QPixmap>
#include <QRect>

#include "Widgets/SFComboBox.h"

class CSFQTComboBox : public QComboBox, public CSFComboBox {
    Q_OBJECT
public:
    enum { LookNormal = 0, LookHover = 1, LookOpen = 2 };

    explicit CSFQTComboBox(ISFComboBoxEvent* sink);

    int Create(DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin(ImageComboBoxStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int AddString(const wchar_t* text) override;
    int DeleteString(UINT index) override;
    // Writes the item text and a terminating zero: the buffer must hold length + 1 units. Use
    // the bounded form where the text length is not known.
    int GetLBText(int index, wchar_t* buf) const override;
    int GetCurSel() const override { return currentIndex(); }
    int SetCurSel(int index) override;
    int GetCount() const override { return count(); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void SetOriginStyle(int flag) override { m_nOriginStyle = flag; }
    void Clear() override;
    void ResetContent() override;
    // Copies at most count - 1 units and a terminating zero; answers the units copied, or -1
    // for an index outside the items.
    int GetLBText(int index, wchar_t* buf, int count) const override;

    UINT Id() const { return m_nId; }
    int Look() const { return m_nLook; }
    bool ListShown() const { return m_nListShown != 0; }
    // Skin rectangle that painting uses now.
    QRect CurrentPiece() const;
    // Skin rectangle of the open look: above the control when the list would pass the screen's
    // last row, else below.
    QRect OpenPiece() const;
    const QRect& Piece(int look) const { return m_pieces[look]; }

    void showPopup() override;
    void hidePopup() override;

protected slots:
    void OnSelectChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void SetLook(int look);
    void Quiet(bool on);

    // Normal, hover, open below, open above, disabled.
    QRect m_pieces[5];
    int m_nLook = LookNormal;
    QPixmap m_image;
    UINT m_nId = static_cast<UINT>(-1);
    int m_nListShown = 0;
    // The drop-down list's style sheet waits for the list's first showing.
    bool m_bListSheetPending = false;
    int m_nOriginStyle = 0;
};
