// Date or time editor behind CSFDateTimeCtrl, reading and writing _SF_SYSTEMTIME.
#pragma once

#include <QDateTimeEdit>

#include "Widgets/SFDateTimeCtrl.h"

class CSFQTDateTimeCtrl : public QDateTimeEdit, public CSFDateTimeCtrl {
    Q_OBJECT
public:
    // type: 0 date, 1 time with seconds, 2 hours and minutes; others show nothing.
    CSFQTDateTimeCtrl(ISFDateTimeCtrlEvent* sink, int type);

    int Create(DWORD style, const RECT& rect, void* parent, UINT id) override;
    void SetCursor() override {}
    int SetSkin(ImageDateTimeStyle* style) override;
    void ShowWindow(int show) override { setVisible(show != 0); }
    void MoveWindow(RECT* rect) override;
    void MoveWindow(int x, int y, int w, int h) override { setGeometry(x, y, w, h); }
    void EnableWindow(int enable) override { setEnabled(enable != 0); }
    void GetWindowRect(RECT* rect) override;
    int GetTime(_SF_SYSTEMTIME* time) const override;
    int GetDate(_SF_SYSTEMTIME* time) const override;
    int SetTime(_SF_SYSTEMTIME* time) override;
    int SetDate(_SF_SYSTEMTIME* time) override;
    void SetOriginStyle(int flag) override { m_nOriginStyle = flag; }
    void SetDateRange(_SF_SYSTEMTIME* const& min, _SF_SYSTEMTIME* const& max) override;

    int Type() const { return m_nType; }
    UINT Id() const { return m_nId; }

protected slots:
    void OnDateTimeChanged(const QDateTime& value);
    void wheelEvent(QWheelEvent*) override {}

protected:
    // Draws the spin arrows when the skin gives no images for the buttons.
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_bDrawArrows = false;
    int m_nType;
    UINT m_nId = static_cast<UINT>(-1);
    int m_nOriginStyle = 0;
};
