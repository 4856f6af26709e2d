// Focus-assistant graph behind CSFVideoInFocus: records focus values while sampling and draws
// them as a green curve on black; while adjusting, shows the recorded curve around its peak and
// the latest value as a red line under a grey band that marks the best area.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

#include "Widgets/SFVideoInFocus.h"

class CSFQTVideoInFocus : public QWidget, public CSFVideoInFocus {
    Q_OBJECT
public:
    enum { ModeMessage = 0, ModeSampling = 1, ModeAdjusting = 2 };
    // Values kept while sampling; one more than this many are stored before values are refused.
    static constexpr size_t kMaxValues = 1000;
    static constexpr int kBandHeight = 50;
    static constexpr int kShownValues = 100;

    CSFQTVideoInFocus();

    int Create(const wchar_t* title, DWORD style, const RECT& rect, void* parent, UINT id) override;
    int AddPointY(int value) override;
    void SetMode(int mode) override;
    void ClearPointY() override;
    void SetString(const wchar_t* text, int which) override;

    const std::vector<int32_t>& Values() const { return m_values; }
    int Mode() const { return m_nMode; }
    int Peak() const { return m_nPeak; }
    int PeakIndex() const { return m_nPeakIndex; }
    int Current() const { return m_nCurrent; }
    QString BandText() const { return m_bandText; }
    QString MessageText() const { return m_messageText; }
    // First value shown when adjusting: a window of the recorded values around the peak.
    int WindowStart() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<int32_t> m_values;
    int m_nMode = ModeMessage;
    int m_nPeak = 0;
    int m_nPeakIndex = -1;
    int m_nCurrent = 0;
    QString m_bandText;
    QString m_messageText;
};
