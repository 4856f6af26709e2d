// Horizontal slider drawn from six pieces of one skin image by QSliderExStyle, behind
// CSFSliderCtrl. It maps pointer positions to values itself and reports either every change
// or once on release.
#pragma once

#include <QPixmap>
#include <QSlider>

#include "Widgets/SFSliderCtrl.h"

class QSliderExStyle;

class CSFQTSliderCtrl : public QSlider, public CSFSliderCtrl {
    Q_OBJECT
public:
    enum { PieceGrooveLeft = 0, PieceGrooveRight, PieceHandle, PieceHandleHover, PieceHandlePressed,
           PieceHandleDisabled, PieceCount };

    explicit CSFQTSliderCtrl(ISFSliderCtrlEvent* sink, QWidget* parent = nullptr);
    ~CSFQTSliderCtrl() override;

    int Create(DWORD style, const RECT& rect, void* parent, UINT id, SLIDER_RESPONSE_MODE mode) override;
    void SetCursor() override {}
    int SetSkin(ImageSliderStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetPos() const override { return value(); }
    void GetRange(int& min, int& max) const override;
    void SetPos(int pos) override { setValue(pos); }
    void SetRange(int min, int max, int) override { setRange(min, max); }
    void SetTooltipEnable(int show, int valueText) override;
    void EnableWindow(int enable) override { setEnabled(enable != 0); }

    // Value for a pointer at x (widget coordinates).
    int ValueAt(int x) const;
    // Text of the dragging tooltip for the current value.
    QString TooltipText() const;
    // Handle centre x and top y as drawn for the value.
    QPoint HandleOrigin(int value) const;
    const QPixmap* Piece(int which) const { return m_pieces[which]; }
    UINT Id() const { return m_nId; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void MoveTo(int x);
    void Report();

    QSliderExStyle* m_pStyle = nullptr;
    QPixmap* m_pieces[PieceCount] = {};
    int m_nDragging = 0;
    UINT m_nId = static_cast<UINT>(-1);
    bool m_bTooltip = true;
    int m_nValueTooltip = 0;
    int m_nMode = SLIDER_RESPONSE_CHANGING;
};
