// GUI-thread time per frame for live video: 1920 x 1080 RGB32 frames handed to the video
// window's cell shown at 960 x 540 (RenderSubWin, then the paint it asks for), beside a bare
// QWidget that paints the same QImage with QPainter::drawImage. At 30 frames per second the
// budget is 33 ms a frame; the goal is to stay within 1.2 times the bare widget. The window
// copies each frame once, into a buffer it keeps from frame to frame, and paints from there.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <vector>

#include "Widgets/CSFQTVideoWindow.h"

namespace {

constexpr int kFrameWidth = 1920;
constexpr int kFrameHeight = 1080;
constexpr int kShownWidth = 960;
constexpr int kShownHeight = 540;

// Two moving-picture frames, so that consecutive frames differ as live video does.
std::vector<uint32_t> MakeFrame(int phase)
{
    std::vector<uint32_t> frame(static_cast<size_t>(kFrameWidth) * kFrameHeight);
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x)
            frame[static_cast<size_t>(y) * kFrameWidth + x] =
                0xff000000u | (((x + phase) & 0xff) << 16) | ((y & 0xff) << 8) | ((x ^ y) & 0xff);
    }
    return frame;
}

// Shows a top-level widget and waits until the platform has exposed it, so repaints paint.
void ShowExposed(QWidget& widget)
{
    widget.show();
    for (int i = 0; i < 50 && !(widget.windowHandle() && widget.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QCoreApplication::processEvents();
}

class BareVideo : public QWidget {
public:
    const QImage* image = nullptr;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override
    {
        ++paints;
        QPainter painter(this);
        if (image)
            painter.drawImage(QRectF(rect()), *image);
    }
};

void BM_BareWidgetDrawImage(benchmark::State& state)
{
    const std::vector<uint32_t> a = MakeFrame(0), b = MakeFrame(7);
    const QImage frames[2] = {
        QImage(reinterpret_cast<const uchar*>(a.data()), kFrameWidth, kFrameHeight, QImage::Format_RGB32),
        QImage(reinterpret_cast<const uchar*>(b.data()), kFrameWidth, kFrameHeight, QImage::Format_RGB32)};
    BareVideo widget;
    widget.resize(kShownWidth, kShownHeight);
    ShowExposed(widget);
    int n = 0;
    for (auto _ : state) {
        widget.image = &frames[n++ & 1];
        widget.repaint();
    }
    state.counters["fps_possible"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["paints_per_frame"] = double(widget.paints) / double(state.iterations());
}

void BM_VideoWindowRenderSubWin(benchmark::State& state)
{
    std::vector<uint32_t> frames[2] = {MakeFrame(0), MakeFrame(7)};
    CSFQTVideoWindow window(0, nullptr, 1, 1);
    // A cell of 964 x 544 leaves 960 x 540 inside its border.
    window.Create(L"VideoWindow", RECT{0, 0, kShownWidth + 3, kShownHeight + 3}, nullptr, 1039);
    window.SetDefaultLayout(DEFAULT_LAYOUT_1);
    window.SetSubWinProportion(16, 9);
    window.SetSubWinVideo(0, 1);
    window.SetUpdatesEnabled(0, true);
    ShowExposed(window);
    CSFQTVideoWindowPlayWnd* surface = window.Cell(0)->GetPlayWnd();
    const int id = window.GetSubWinID(0);
    int n = 0;
    for (auto _ : state) {
        window.RenderSubWin(id, reinterpret_cast<BYTE*>(frames[n++ & 1].data()), RENDER_DATA_RGB32, kFrameWidth,
                            kFrameHeight);
        surface->repaint();
    }
    state.counters["fps_possible"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["surface_w"] = surface->width();
    state.counters["surface_h"] = surface->height();
}

BENCHMARK(BM_BareWidgetDrawImage)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_VideoWindowRenderSubWin)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
