// Split-screen video window behind CSFVideoWindow: one widget split into cells by a layout,
// one cell widget with a render surface per cell, dividers and the focus frame painted between
// them, hover buttons over the cells, and in layout-editing mode the dividers to toggle.
// GUI thread only.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QRegion>
#include <QWidget>

#include <map>

#include "Widgets/CQTVideoWindowLayout.h"
#include "Widgets/CSFQTVideoWindowSubWnd.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFVideoWindow.h"

class CSFQTButton;
class CSFQTRadioBox;

class CSFQTVideoWindow : public QWidget, public CSFVideoWindow, public ISFRadioBoxEvent {
    Q_OBJECT
public:
    // Colour slots, in the order the skin lists them.
    enum { ColourBackground, ColourDivider, ColourSelected, ColourRemoved, ColourSelectedRemoved, ColourFocus };
    enum { IdClose = 1000, IdSnap = 1001, IdRecord = 1002, IdProperty = 1003 };
    static constexpr int kButtonStrip = 24;

    CSFQTVideoWindow(int mode, ISFVideoWindowEvent* sink, int capacityRows, int capacityColumns);
    ~CSFQTVideoWindow() override;

    int Create(const wchar_t* name, const RECT& rect, void* parent, UINT id) override;
    int SetSkin(ImageVideoWindowStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override;
    VIDEOWINDOWMODE GetVideoWindowMode() override { return VIDEOWINDOWMODE(m_nMode); }
    int SetRows(int n) override;
    int SetColumns(int n) override;
    void SetSubWinProportion(int w, int h) override;
    int SetLayout(const char* text) override;
    int GetLayout(char* buffer, int size) override;
    int SetDefaultLayout(DEFAULT_LAYOUT value) override;
    HWND GetSubWinHandle(int index) override;
    int GetCurrentSubWinIndex() override;
    int GetSubWinID(int index) override;
    int GetSubWinIndexFromID(int id) override;
    int GetCurrentSubWinCount() override { return static_cast<int>(m_layout.Cells().size()); }
    void SetSubWinVideo(int index, int on) override;
    void SetSubWinVideoByID(int id, int on) override;
    void SetDragMode(int on) override;
    void SetFrameZoomMode(int on) override;
    int IsEnableFrameZoom() override { return m_shared.frameZoom ? 1 : 0; }
    void SetDrawOSDHandle(int, void*) override {}
    void GetFrameOSDRect(RECT& rect) override { rect = m_zoomRect; }
    void SetDragSubWinCursor(UINT, UINT) override {}
    void SetSubWinCtrlsVisible(int on) override { m_bCtrlsVisible = on != 0; }
    void SetSubWinRecordState(int id, int state) override;
    void EableSubWinExchange(int on) override { m_bExchange = on != 0; }
    void ResetSubWinSizeToMin(int index) override;
    void ResetSubWinSizeToMinByID(int id) override;
    int SetFocusSubWin(int id) override;
    void SetActiveCheckMode(int on) override;
    void SetUpdatesEnabled(int index, bool enabled) override;
    void SetFocus(int index) override;
    int RenderSubWin(int id, BYTE* data, RENDER_DATA_TYPE type, int width, int height) override;

    // Takes another layout when the window has cell widgets for all its grid positions.
    int ApplyLayout(const CQTVideoWindowLayout& layout);

    // Readers for the page and for tests.
    const CQTVideoWindowLayout& Layout() const { return m_layout; }
    int FocusIndex() const { return m_nFocusIndex; }
    CSFQTVideoWindowSubWnd* Cell(int index) const;
    QColor Colour(int slot) const { return m_colours[slot]; }
    CSFQTButton* CloseButton() const { return m_pClose; }
    CSFQTButton* SnapButton() const { return m_pSnap; }
    CSFQTButton* PropertyButton() const { return m_pProperty; }
    CSFQTRadioBox* RecordToggle() const { return m_pRecord; }

    void RADIO_OnClicked(int checked, int id, POINT point) override;

signals:
    void LayoutChanged();

private slots:
    void OnBnClickedVideoClose();
    void OnBnClickedVideoSnap();
    void OnBnClickedVideoProperty();
    void CastLayoutChangedEvent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent*) override {}
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool IsVideoMode() const { return m_nMode == VIDEOWINDOW_MODE_VIDEO; }
    int Capacity() const { return m_nCapacityRows * m_nCapacityColumns; }
    void PlaceCells(int oldCount);
    void RaiseLayoutChanged();
    // First visible cell (ascending index) whose cell rectangle holds the point, -1 none.
    int VisibleCellAt(const QPoint& pos) const;
    int FirstIndexOfId(int id, bool byCapacity) const;
    QRegion FocusRing(int index) const;
    void ButtonClicked(CSFQTButton* button, void (ISFVideoWindowEvent::*raise)(int, int));
    void HoverCell(int index);
    void RestoreHoveredSurface();
    void FinishRelease(const QPoint& pos);
    void PaintDivider(QPainter& painter, int key, const LayoutDivider& divider);

    int m_nMode;
    std::map<int, CSFQTVideoWindowSubWnd*> m_cells;
    CQTVideoWindowLayout m_layout{1, 1, 400, 300};
    int m_nCapacityRows;
    int m_nCapacityColumns;
    int m_nPressedIndex = -1;
    int m_nFocusIndex = 0;
    int m_nLineWidth = 2;
    int m_nRemovedWidth = 4;
    VideoSurfaceShared m_shared;
    int m_nId = -1;
    QColor m_colours[6] = {QColor(54, 62, 77),  QColor(53, 59, 72), QColor(250, 0, 0),
                           QColor(88, 111, 27), QColor(0, 250, 0),  QColor(70, 152, 237)};
    CSFQTButton* m_pClose = nullptr;
    CSFQTButton* m_pSnap = nullptr;
    CSFQTButton* m_pProperty = nullptr;
    CSFQTRadioBox* m_pRecord = nullptr;
    ImageButtonStyle m_closeSkin, m_snapSkin, m_propertySkin;
    ImageRadioBox m_recordSkin;
    bool m_bPressing = false;
    bool m_bExchange = true;
    bool m_bMaximised = false;
    bool m_bActiveCheck = false;
    bool m_bCtrlsVisible = true;
    QRegion m_selectionRegion;
    QSize m_iconSize{-1, -1};
    QPoint m_pressPoint;
    QPoint m_zoomOrigin;
    RECT m_zoomRect = {0, 0, -1, -1};
    std::map<int, int> m_recordStates;
    CSFQTVideoWindowSubWnd* m_pHovered = nullptr;
};
