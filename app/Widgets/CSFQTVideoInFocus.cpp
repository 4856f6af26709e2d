#include "Widgets/CSFQTVideoInFocus.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <new>

#include "Common/SFStreamConvert.h"
#include "Widgets/SFSkin.h"

namespace {

QString WideThroughUtf8(const wchar_t* text)
{
    if (!text)
        return QString();
    SF_SOFT_BASE::CSFStreamConvert convert(text, 65001);
    return SFFromUtf8(convert.GetMultiByte());
}

}  // namespace

CSFQTVideoInFocus::CSFQTVideoInFocus() = default;

CSFVideoInFocus* CreateSFVideoInFocus()
{
    return new (std::nothrow) CSFQTVideoInFocus();
}

int CSFQTVideoInFocus::Create(const wchar_t* title, DWORD style, const RECT& rect, void* parent, UINT)
{
    setParent(static_cast<QWidget*>(parent));
    setWindowTitle(WideThroughUtf8(title));
    setGeometry(QRect(QPoint(rect.left, rect.top), QPoint(rect.right, rect.bottom)));
    setVisible((style & WS_VISIBLE) != 0);
    return 1;
}

int CSFQTVideoInFocus::AddPointY(int value)
{
    if (m_nMode != ModeSampling) {
        m_nCurrent = value;
        update();
        return 1;
    }
    if (m_values.size() > kMaxValues)
        return 0;
    if (!m_values.empty() && m_values.back() == value)
        return 1;
    if (value > m_nPeak) {
        m_nPeak = value;
        m_nPeakIndex = static_cast<int>(m_values.size());
    }
    m_values.push_back(value);
    update();
    return 1;
}

void CSFQTVideoInFocus::SetMode(int mode)
{
    if (mode == ModeMessage)
        m_nPeak = 0;
    m_nMode = mode;
    update();
}

void CSFQTVideoInFocus::ClearPointY()
{
    m_nPeak = 0;
    m_values.clear();
}

void CSFQTVideoInFocus::SetString(const wchar_t* text, int which)
{
    (which == 0 ? m_bandText : m_messageText) = WideThroughUtf8(text);
    update();
}

int CSFQTVideoInFocus::WindowStart() const
{
    const int n = static_cast<int>(m_values.size());
    if (n < kShownValues)
        return 0;
    const int half = kShownValues / 2;
    if (m_nPeakIndex - half < 0)
        return 0;
    if (m_nPeakIndex + half > n - 1)
        return n - kShownValues;
    return m_nPeakIndex - half;
}

void CSFQTVideoInFocus::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int w = width();
    const int h = height();
    const int right = w - 1;
    const int bottom = h - 1;
    painter.fillRect(rect(), Qt::black);
    painter.setPen(Qt::green);

    if (m_nMode == ModeMessage) {
        QLabel probe(m_messageText);
        const QFontMetrics metrics = probe.fontMetrics();
        painter.setFont(probe.font());
        painter.drawText((w - metrics.horizontalAdvance(m_messageText)) / 2, (h - metrics.height()) / 2,
                         m_messageText);
        return;
    }
    if (m_nMode != ModeSampling && m_nMode != ModeAdjusting)
        return;

    if (m_nMode == ModeAdjusting) {
        painter.fillRect(QRect(0, 0, w, kBandHeight + 1), Qt::darkGray);
        painter.drawText(right - 100, 30, m_bandText);
    }
    // Without a positive peak there is no scale: no curve, and the red line lies on the bottom row.
    const bool scaled = m_nPeak > 0;
    const double scale = scaled ? double(h - kBandHeight) / m_nPeak : 0.0;
    auto y = [&](int v) {
        if (!scaled)
            return bottom;
        return static_cast<int>(std::clamp(bottom - v * scale, -32768.0, 32767.0));
    };
    const int step = w / kShownValues;
    const int n = static_cast<int>(m_values.size());
    if (scaled && n >= 2) {
        int first = 0;
        int column = 0;
        int limit = n - 1;
        if (n >= kShownValues) {
            first = m_nMode == ModeSampling ? n - kShownValues : WindowStart();
            column = 1;
            limit = std::min(n - 1, first + kShownValues);
        }
        for (int k = first; k < limit; ++k, ++column) {
            const int x = column * step;
            painter.drawLine(x, y(m_values[k]), x + step, y(m_values[k + 1]));
        }
    }
    if (m_nMode == ModeAdjusting) {
        painter.setPen(Qt::red);
        painter.drawLine(0, y(m_nCurrent), right, y(m_nCurrent));
    }
}
