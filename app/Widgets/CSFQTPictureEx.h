// Label that plays an animated image from the skin folder, behind CSFPictureEx.
#pragma once

#include <QLabel>

#include "Widgets/SFPictureEx.h"

class QMovie;

class CSFQTPictureEx : public QLabel, public CSFPictureEx {
    Q_OBJECT
public:
    explicit CSFQTPictureEx(ISFPictureExEvent* sink);
    ~CSFQTPictureEx() override;

    int Create(const wchar_t* text, DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin() override { return 0; }
    void ShowWindow(int show) override;
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int, int, int, int) override {}
    int Draw() override { return 0; }
    int Load(const wchar_t* name, int flag) override;
    int SetAnimation(int run) override;

    QMovie* Movie() const { return m_pMovie; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void RunIfShown();

    QMovie* m_pMovie;
    bool m_bRun = false;
};
