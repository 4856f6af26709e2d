// Horizontal strip of thumbnails with a scroll bar and a details column, behind CSFImagePanel.
#pragma once

#include <vector>

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>

#include "Widgets/SFImagePanel.h"

class QScrollBar;

class CSFQTImagePanel : public QWidget, public CSFImagePanel {
    Q_OBJECT
public:
    explicit CSFQTImagePanel(ISFImagePanelEvent* sink);

    int Create(const wchar_t* text, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin(UIImagePanelStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    int AddItem(const wchar_t* path, const wchar_t* name, const wchar_t* type, const wchar_t* start,
                const wchar_t* end) override;
    void ClearItems() override;
    void DelByItemName(const wchar_t* name) override;
    void SetScrollType(DISPLAY_TYPE) override {}
    const wchar_t* GetHotImagePath() override;

    // Rectangle of thumbnail k as painted and hit-tested (not grown).
    QRect ThumbRect(int k) const;
    // Index of the thumbnail at a point, or -1.
    int HitTest(const QPoint& point) const;
    int HotIndex() const { return m_nHot; }
    int SelectedIndex() const { return m_nSelected; }
    QScrollBar* ScrollBar() const { return m_pScroll; }
    QRect ThumbArea() const { return m_thumbArea; }

private slots:
    void OnScrollBarChanged(int) { update(); }
    void OnDoubleClick() {}

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    struct Item {
        QString path, name, type, start, end;
        QPixmap picture;
    };
    void Layout();
    void UpdateScrollRange();

    std::vector<Item> m_items;
    int m_nHot = -1;
    int m_nSelected = -1;
    QColor m_background = QColor(255, 255, 255);
    int m_nSpacing = 3;
    int m_nSideMargin = 3;
    int m_nTopMargin = 3;
    QRect m_itemRect = QRect(QPoint(0, 0), QPoint(-1, -1));
    QRect m_labelRects[4];
    QRect m_valueRects[4];
    QString m_details[4];
    int m_nDetailsWidth = 200;
    QScrollBar* m_pScroll;
    QRect m_thumbArea;
    QRect m_detailsArea;
    std::wstring m_hotPath;
};
