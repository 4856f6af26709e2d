// Progress bar whose frame and chunk images come from a style sheet, behind CSFProgressCtrl.
#pragma once

#include <QProgressBar>

#include "Widgets/SFSliderCtrl.h"

class CSFQTProgressCtrl : public QProgressBar, public CSFProgressCtrl {
    Q_OBJECT
public:
    explicit CSFQTProgressCtrl(ISFProgressCtrlEvent* sink);

    int Create(DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin(ImageProgressCtrlStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    int ModifyStyleEx(DWORD, DWORD, UINT) override { return 1; }
    int GetPos() override { return value(); }
    void GetRange(int& min, int& max) override;
    void SetPos(int pos) override { setValue(pos); }
    void SetRange(int min, int max) override { setRange(min, max); }
    int SetStep(int) override { return 0; }
    int StepIt() override { return 0; }
    void SetTextVisible(int visible) override { setTextVisible(visible != 0); }
    void EnableWindow(int enable) { setEnabled(enable != 0); }

    UINT Id() const { return m_nId; }

private:
    UINT m_nId = 0;
};
