// Popup menu behind CSFMenu: entries carry integer ids reported on a left release.
#pragma once

#include <QMenu>

#include "Widgets/SFMenu.h"

class CSFQTMenu : public QMenu, public CSFMenu {
    Q_OBJECT
public:
    explicit CSFQTMenu(ISFMenuEvent* sink);

    int Create(DWORD style, const RECT& rect, void* parent, UINT id) override;
    int SetSkin(const wchar_t* image) override;
    void* AddMenu(const wchar_t* title) override;
    void Popup(int x, int y) override;
    void* AddAction(const wchar_t* text, int id) override;
    void AddSeparator() override { addSeparator(); }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
