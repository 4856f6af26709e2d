// Image push button behind CSFButton.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

#include "Widgets/SFButton.h"
#include "Widgets/SFFadeAnimation.h"
#include "Widgets/SFSkin.h"

class CSFQTButton : public QPushButton, public CSFButton {
    Q_OBJECT
    Q_PROPERTY(float picTransparence READ PicTransparence WRITE SetPicTransparence)
public:
    // Looks: 0 hover, 1 pressed, 2 normal, 4 released; any other code draws the normal image.
    enum { LookHover = 0, LookPressed = 1, LookNormal = 2, LookReleased = 4 };

    explicit CSFQTButton(ISFButtonEvent* sink);
    ~CSFQTButton() override;

    int Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin(ImageButtonStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void SetTextColor(DWORD colour) override;
    void SetTextOffset(int x, int y) override;
    void SetTextAlign(UINT flags) override;
    void SetTooltipEnable(int enable) override { m_nTooltip = enable; }
    void SetToolTipText(const wchar_t* text) override;
    int GetWindowTextW(wchar_t* buf, int count) const override;
    void SetWindowTextW(const wchar_t* text) override;
    void GetBTNWindowRect(RECT* rect) override;
    void EnableAnimation(int enable) override { m_nAnimation = enable; }
    bool IsEnabled() override { return isEnabled(); }
    void SetBtnState(int look) override;
    void SetIconPos(ICON_POS) override {}
    void SetBoldHeavy(int bold) override;

    float PicTransparence() const { return m_fTransparence; }
    void SetPicTransparence(float value);
    int Look() const { return m_nLook; }
    UINT Id() const { return m_nId; }
    int TextFlags() const { return m_nTextFlags; }
    QColor TextColor() const { return m_textColor; }

private slots:
    void OnClicked();

protected:
    // A text cut short with an ellipsis shows in full as the tool tip, when none was set.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetLook(int look);

    UINT m_nId = 0;
    int m_nTextFlags = 0x184;
    int m_nElide = 3;
    // The last paint had to cut the text: hovering shows it whole.
    bool m_bTextCut = false;
    int m_nLook = LookNormal;
    QColor m_textColor = QColor(0, 0, 0);
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    int m_nTooltip = 1;
    SFLazySkinImage m_hover;
    SFLazySkinImage m_pressed;
    SFLazySkinImage m_normal;
    SFLazySkinImage m_disabled;
    SFLazySkinImage m_released;
    CSFFadeAnimation m_fade;
    float m_fTransparence = 1.0f;
    int m_nAnimation = 0;
};

// Loads a skin image by name into the pixmap; an empty name leaves it as it was, a name that
// does not load leaves it null. On the GUI thread an image that loaded once is reused for that
// path without reading the file again.
void SFLoadControlImage(const std::wstring& name, QPixmap& image);
// The same for an image decoded when first drawn: an empty name leaves it as it was.
void SFLoadControlImage(const std::wstring& name, SFLazySkinImage& image);
// Geometry of a RECT with exclusive right and bottom.
QRect SFRectExclusive(const RECT& rect);
// Geometry of a RECT with inclusive right and bottom.
QRect SFRectInclusive(const RECT& rect);
