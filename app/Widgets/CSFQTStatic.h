// Self-painted text label behind CSFStatic; grows to fit its text.
#pragma once

#include <QColor>
#include <QLabel>

#include "Widgets/SFStatic.h"

class CSFQTStatic : public QLabel, public CSFStatic {
    Q_OBJECT
public:
    explicit CSFQTStatic(ISFStaticEvent* sink);

    int Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin() override { return 1; }
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetStaticText(wchar_t* buf, int count) const override;
    void SetStaticText(const wchar_t* text) override;
    void SetTextAlignFlag(UINT flags) override;
    UINT GetTextAlignFlag() override { return static_cast<UINT>(m_nTextFlags); }
    void SetTextColor(UINT colour) override;
    void SetTextBold(int bold) override;
    void GetTextSize(int& w, int& h) override;
    void SetBgColor(UINT colour, int fill) override;
    void SetTextSize(int size) override;
    void GetStaticCtrolPos(RECT& rect) override;
    void SetTextOffset(int offset) override;
    void SetWordWrap(int wrap) override;
    int GetWordWrap() override { return m_nWordWrap; }
    void SetWrapAnywhere(int wrap) override;
    int GetWrapAnywher() override { return m_nWrapAnywhere; }
    void SetToolTipText(const wchar_t* text) override;
    void SetTooltipEnable(int enable) override { m_nTooltip = enable; }
    RECT GetGeometry() override;
    void EnableWindow(int enable) override;
    void SetContextMenu(int) override {}

    QColor TextColor() const { return m_textColor; }
    int PixelSize() const { return m_nPixelSize; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QFont PaintFont() const;
    // Grows (never shrinks) to fit the text laid out inside the reference rectangle.
    void GrowToFit(const QRect& reference, const QFont& font);

    int m_nId = -1;
    int m_nBold = 0;
    QColor m_textColor;
    QColor m_bgColor = QColor(255, 255, 255);
    int m_nBgFill = 0;
    int m_nTextFlags = 0x81;
    int m_nPixelSize = 12;
    int m_nTextOffset = 0;
    int m_nWordWrap = 0;
    int m_nWrapAnywhere = 0;
    int m_nTooltip = 1;
};
