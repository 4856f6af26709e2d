// Eight-image check box behind CSFCheckBox.
#pragma once

#include <QPixmap>
#include <QPushButton>

#include "Widgets/SFButton.h"

class CSFQTCheckBox : public QPushButton, public CSFCheckBox {
    Q_OBJECT
public:
    enum { LookHover = 0, LookPressed = 1, LookNormal = 2 };

    explicit CSFQTCheckBox(ISFCheckBoxEvent* sink);

    int Create(const char* text, DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetCheck(int check) override;
    int GetCheck(int* out) const override;
    int GetWindowTextW(wchar_t* buf, int count) const override;
    void SetWindowTextW(const wchar_t* text) override;
    int SetSkin(ImageCheckBox* style) override;
    void EnableWindow(int enable) override { setEnabled(enable != 0); }

    int Look() const { return m_nLook; }
    const QPixmap& Image(int index) const { return m_images[index]; }

    // Stretches an image to W x H by repeating its middle lines; a null image stays null.
    static QPixmap StretchByMiddle(const QPixmap& image, int W, int H);

private slots:
    void OnCheckStateChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SetLook(int look);

    int m_nLook = LookNormal;
    bool m_bChecked = false;
    UINT m_nId = 0;
    QPixmap m_images[8];
};
