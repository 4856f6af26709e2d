// Page container behind CSFView: background, frame, rounded mask, sink callbacks, message-map
// dispatch and the child placement used by list cells.
#pragma once

#include <vector>

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include "Widgets/SFView.h"

class CSFQTView : public QWidget, public CSFView {
    Q_OBJECT
public:
    explicit CSFQTView(ISFViewEvent* sink);
    ~CSFQTView() override;

    int Create(const wchar_t* className, const wchar_t* name, DWORD style, const RECT& rect, void* parent,
               UINT id) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void SetBackground(const wchar_t* image) override;
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    void GetViewClientRect(RECT* rect) override;
    void GetViewWindowRect(RECT* rect) override;
    void Screen2Client(POINT* point) override;
    void Screen2Client(RECT* rect) override;
    int isShow() override { return isVisible() ? 1 : 0; }
    int isWindow() override { return QWidget::isWindow() ? 1 : 0; }
    int SubclassWindow() override { return 1; }
    void* UnsubclassWindow() override { return nullptr; }
    void SetRoundCornerRadius(UINT radius) override { m_nRadius = radius; }
    void SetBGClr(int colour) override;
    void SetParentWindow(void*, WINDOW_TYPE) override {}
    void SetFrameClr(UINT colour, int show) override;
    void SetGridLayout(CSFGridLayout* layout) override;
    void SetHBoxLayout(CSFHBoxLayout* layout) override;
    void SetVBoxLayout(CSFVBoxLayout* layout) override;

    // Child placement: the child joins the view at the top offset, left to right by kind.
    void AddButton(QWidget* child);
    void AddRadioBox(QWidget* child);
    void AddProgressCtrl(QWidget* child);
    void AddComboBox(QWidget* child);
    void AddEdit(QWidget* child);

    int m_nTopOffset = 0;
    int m_nFirstButtonX = 0;
    // Where set, the buttons start here but move left where the view is too narrow to show them
    // whole (a cell's buttons after its text).
    int m_nWantedFirstButtonX = 0;
    void FitButtons();
    // A cell button's left edge is the previous one's right edge (its last column) plus this.
    int m_nButtonGap = 10;

    QColor BackgroundColour() const { return m_bgColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    QColor m_bgColor = QColor(92, 101, 118);
    QPixmap m_bgImage;
    int m_nFrame = 0;
    QColor m_frameColor = QColor(128, 128, 128);
    UINT m_nRadius = 0;
    UINT m_nId = 0;
    std::vector<QWidget*> m_buttons;
    std::vector<QWidget*> m_radios;
    std::vector<QWidget*> m_progress;
    std::vector<QWidget*> m_combos;
    std::vector<QWidget*> m_editsLeft;
    std::vector<QWidget*> m_editsAfterCombo;
};
