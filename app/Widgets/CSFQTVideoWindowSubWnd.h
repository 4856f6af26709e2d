// One cell of the split-screen video window: fills its layout cell but for a 2-pixel border
// (where dividers and the focus frame show) and holds one render surface.
#pragma once

#include <QColor>
#include <QWidget>

#include "Widgets/CSFQTVideoWindowPlayWnd.h"

class CSFQTVideoWindowSubWnd : public QWidget {
    Q_OBJECT
public:
    CSFQTVideoWindowSubWnd();
    ~CSFQTVideoWindowSubWnd() override;

    int Create(const wchar_t* name, const RECT& cell, QWidget* parent, int id, int proportionWidth,
               int proportionHeight, const VideoSurfaceShared* shared);
    void SetRect(const RECT& cell);
    RECT GetRect() const { return m_cell; }
    void SetProportion(int width, int height);
    std::pair<int, int> GetProportion() const;
    void SetBackColor(const QColor& colour);
    void SetVideo(int on);
    int GetVideo() const { return m_nVideo; }
    int GetMaximised() const { return m_nMaximised; }
    void SetMaximised(int value) { m_nMaximised = value; }
    CSFQTVideoWindowPlayWnd* GetPlayWnd() const { return m_pSurface; }
    void SetUpdatesEnabled(bool on);
    void SetFocus();
    int Id() const { return m_nId; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_nId = -1;
    CSFQTVideoWindowPlayWnd* m_pSurface = nullptr;
    RECT m_cell = {0, 0, -1, -1};
    QColor m_colour = QColor(92, 101, 118);
    int m_nVideo = 0;
    int m_nMaximised = 0;
};
