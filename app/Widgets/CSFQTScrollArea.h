// Frameless scroll area with one content page behind CSFScrollArea.
#pragma once

#include <QScrollArea>
#include <QWidget>

#include "Widgets/SFScrollArea.h"

class CSFQTScrollArea : public QScrollArea, public CSFScrollArea {
    Q_OBJECT
public:
    explicit CSFQTScrollArea(ISFScrollAreaEvent* sink);
    ~CSFQTScrollArea() override;

    int Create(DWORD style, const RECT& rect, UINT width, UINT height, void* parent, UINT id) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void SetTooltipEnable(int) override {}
    void SetToolTipText(const wchar_t* text) override;
    int IsWindowVisible() override { return isVisible() ? 1 : 0; }
    int IsWindow() override { return 1; }
    void SetEnabled(int enable) override { setEnabled(enable != 0); }
    void* GetUIWnd() override { return m_content; }
    void SetSkin(ScrollAreaStyle* style) override;
    void SetEnableScrollBar(int enable) override;
    void ResizeScrollArea(UINT width, UINT height) override;

    QWidget* Content() const { return m_content; }

private:
    UINT m_nId = 0;
    QWidget* m_content;
    QString m_bgPath;
};
