// Toggle image button with icon, text and background behind CSFRadioBox. Every click toggles
// it; pages keep groups consistent themselves.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRadioButton>

#include "Widgets/SFButton.h"
#include "Widgets/SFFadeAnimation.h"
#include "Widgets/SFSkin.h"

class CSFQTRadioBox : public QRadioButton, public CSFRadioBox {
    Q_OBJECT
    Q_PROPERTY(float picTransparence READ PicTransparence WRITE SetPicTransparence)
public:
    enum { LookNormal = 0, LookHover = 1, LookPressed = 2, LookDisabled = 3 };

    explicit CSFQTRadioBox(ISFRadioBoxEvent* sink);

    int Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin(ImageRadioBox* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetCheck(int check) override;
    int GetCheck() const override { return m_bChecked ? 1 : 0; }
    int GetWindowTextW(wchar_t* buf, int count) const override;
    void SetWindowTextW(const wchar_t* text) override;
    void SetBoldHeavy(int bold) override;
    void SetTextColor(DWORD colour) override;
    void SetTextOffset(int offset) override;
    void SetTextAlign(DWORD flags) override;
    void GetRadioClientRect(RECT* rect) override;
    void GetRadioWindowRect(RECT* rect) override;
    void SetImageInfo(void*, void*) override {}
    void SetBkColor(DWORD checked, DWORD unchecked) override;
    void SetBkRect(bool whole) override { m_bBkWhole = whole; }
    void SetTooltipEnable(int) override {}
    void SetToolTipText(const wchar_t* text) override;
    int IsWindowVisible() override { return isVisible() ? 1 : 0; }
    int IsWindow() override { return 1; }
    int IsEnabled() override { return isEnabled() ? 1 : 0; }
    void Invalidate(int) override {}
    void SetEnabled(int enable) override;
    void EnableAnimation(int enable) override { m_nAnimation = enable; }
    void SetExpendBGImge(int expand) override { m_nExpand = expand; }
    void SetIconAlign(DWORD align) override { m_nIconAlign = static_cast<int>(align); }
    void EnableWindow(int enable) override;

    float PicTransparence() const { return m_fTransparence; }
    void SetPicTransparence(float value);
    int Look() const { return m_nLook; }
    int TextFlags() const { return m_nTextFlags; }
    QColor TextColor() const { return m_textColor; }

private slots:
    void OnClicked(bool checked, QPoint pos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent*) override {}
    void hideEvent(QHideEvent*) override {}

private:
    int m_nLook = LookNormal;
    bool m_bChecked = false;
    bool m_bBkWhole = true;
    QFont m_font;
    QColor m_checkedBk;
    QColor m_uncheckedBk;
    QColor m_textColor;
    int m_nTextOffset = 0;
    int m_nId = -1;
    int m_nTextFlags = 0x184;
    int m_nIconAlign = 0;
    SFLazySkinImage m_images[8];
    CSFFadeAnimation m_fade;
    float m_fTransparence = 1.0f;
    int m_nAnimation = 0;
    int m_nExpand = 0;
};
