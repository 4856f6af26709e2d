// Integer spin box with skinnable arrow buttons, behind CSFNumSpiner.
#pragma once

#include <QSpinBox>

#include "Widgets/SFNumSpiner.h"

class CSFQTNumSpiner : public QSpinBox, public CSFNumSpiner {
    Q_OBJECT
public:
    explicit CSFQTNumSpiner(ISFNumSpinerEvent* sink);

    int Create(const wchar_t* text, const RECT& rect, void* parent, UINT id) override;
    void SetRange(int min, int max) override { setRange(min, max); }
    void GetRange(int& min, int& max) override;
    void SetStep(int step) override { setSingleStep(step); }
    int GetStep() override { return singleStep(); }
    void SetCurrentNum(int value) override { setValue(value); }
    int GetCurrentNum() override { return value(); }
    void StepUp() override { stepUp(); }
    void StepDown() override { stepDown(); }
    int SetSkin(ImageNumSpinerStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void SetCircleStep(int flag) override { setWrapping(flag != 0); }
    void SetOriginStyle(int flag) override { m_nOriginStyle = flag; }

    UINT Id() const { return m_nId; }

private slots:
    void OnValueChanged(int value);

private:
    UINT m_nId = static_cast<UINT>(-1);
    int m_nOriginStyle = 0;
};
