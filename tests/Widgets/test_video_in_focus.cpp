// Focus-assistant graph: what it records while sampling, the window of values it shows around
// the peak, and what it paints (curve, band, red line), including a run of zeros.
#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <vector>

#include "WidgetTestSupport.h"
#include "Widgets/CSFQTVideoInFocus.h"
#include "Widgets/SFFactory.h"

namespace {

std::unique_ptr<CSFQTVideoInFocus> MakeGraph(int width = 400, int height = 250)
{
    std::unique_ptr<CSFQTVideoInFocus> graph(static_cast<CSFQTVideoInFocus*>(CreateSFVideoInFocus()));
    graph->Create(L"VideoInFocus", WS_VISIBLE, RECT{0, 0, width - 1, height - 1}, nullptr, 1111);
    return graph;
}

bool RowHas(const QImage& image, int y, const QColor& colour)
{
    for (int x = 0; x < image.width(); ++x) {
        if (SameColour(image.pixelColor(x, y), colour, 0))
            return true;
    }
    return false;
}

int GreenPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += SameColour(image.pixelColor(x, y), Qt::green, 0);
    }
    return n;
}

}  // namespace

TEST(VideoInFocus, SamplingKeepsChangesPeakAndAtMostOneThousandAndOneValues)
{
    auto graph = MakeGraph();
    EXPECT_EQ(graph->size(), QSize(400, 250));
    EXPECT_FALSE(graph->isHidden());
    graph->SetMode(CSFQTVideoInFocus::ModeSampling);
    struct Step {
        int value, result;
        std::vector<int32_t> values;
        int peak, peakIndex;
    } const steps[] = {
        {3, 1, {3}, 3, 0},        {9, 1, {3, 9}, 9, 1},       {9, 1, {3, 9}, 9, 1},  // repeat: not stored
        {4, 1, {3, 9, 4}, 9, 1},  {9, 1, {3, 9, 4, 9}, 9, 1},  // a later equal peak does not move it
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.value);
        EXPECT_EQ(graph->AddPointY(s.value), s.result);
        EXPECT_EQ(graph->Values(), s.values);
        EXPECT_EQ(graph->Peak(), s.peak);
        EXPECT_EQ(graph->PeakIndex(), s.peakIndex);
    }
    for (int i = 0; graph->Values().size() < 1001; ++i)
        ASSERT_EQ(graph->AddPointY(100 + i % 2), 1);
    EXPECT_EQ(graph->AddPointY(7), 0);
    EXPECT_EQ(graph->Values().size(), 1001u);

    // Outside sampling values only move the current value; Stop forgets peak and values.
    graph->SetMode(CSFQTVideoInFocus::ModeAdjusting);
    EXPECT_EQ(graph->AddPointY(55), 1);
    EXPECT_EQ(graph->Current(), 55);
    EXPECT_EQ(graph->Values().size(), 1001u);
    graph->SetMode(CSFQTVideoInFocus::ModeMessage);
    graph->ClearPointY();
    EXPECT_EQ(graph->Peak(), 0);
    EXPECT_TRUE(graph->Values().empty());

    graph->SetString(L"The Best Area", 0);
    graph->SetString(L"Failed to open focus assistant.", 1);
    EXPECT_EQ(graph->BandText(), QStringLiteral("The Best Area"));
    EXPECT_EQ(graph->MessageText(), QStringLiteral("Failed to open focus assistant."));
}

TEST(VideoInFocus, AdjustingShowsAWindowAroundThePeak)
{
    struct Case {
        int peakIndex, start;
    } const cases[] = {{20, 0}, {280, 200}, {150, 100}, {49, 0}, {250, 200}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.peakIndex);
        auto graph = MakeGraph();
        graph->SetMode(CSFQTVideoInFocus::ModeSampling);
        for (int i = 0; i < 300; ++i)
            graph->AddPointY(i == c.peakIndex ? 1000 : 10 + i % 2);
        ASSERT_EQ(graph->PeakIndex(), c.peakIndex);
        EXPECT_EQ(graph->WindowStart(), c.start);
    }
}

TEST(VideoInFocus, PaintsCurveBandAndRedLine)
{
    auto graph = MakeGraph(400, 250);
    graph->SetMode(CSFQTVideoInFocus::ModeSampling);
    for (int v : {10, 50, 100, 50, 20})
        graph->AddPointY(v);
    QImage image = Grab(graph.get());
    // Peak 100 on a 250-pixel graph: scale 2, drawn at row 249 - 200 = 49.
    EXPECT_TRUE(RowHas(image, 49, Qt::green));
    EXPECT_FALSE(RowHas(image, 48, Qt::green));
    EXPECT_TRUE(SameColour(image.pixelColor(399, 10), Qt::black, 0));
    EXPECT_FALSE(RowHas(image, 100, Qt::red));

    graph->SetMode(CSFQTVideoInFocus::ModeAdjusting);
    graph->AddPointY(75);  // y = 249 - 150 = 99
    image = Grab(graph.get());
    EXPECT_TRUE(SameColour(image.pixelColor(200, 10), Qt::darkGray, 0));
    EXPECT_TRUE(SameColour(image.pixelColor(200, 50), Qt::darkGray, 0));
    EXPECT_TRUE(SameColour(image.pixelColor(0, 99), Qt::red, 0));
    EXPECT_TRUE(SameColour(image.pixelColor(399, 99), Qt::red, 0));
    EXPECT_GT(GreenPixels(image), 0);

    // Any other mode paints black only.
    graph->SetMode(7);
    EXPECT_EQ(GreenPixels(Grab(graph.get())), 0);
}

TEST(VideoInFocus, AllZeroValuesDrawNoCurveAndTheLineOnTheBottomRow)
{
    auto graph = MakeGraph(400, 250);
    graph->SetMode(CSFQTVideoInFocus::ModeSampling);
    for (int v : {0, 0, 0})
        graph->AddPointY(v);
    EXPECT_EQ(graph->Peak(), 0);
    EXPECT_EQ(GreenPixels(Grab(graph.get())), 0);
    graph->SetMode(CSFQTVideoInFocus::ModeAdjusting);
    for (int v : {0, 1000000, -5}) {
        SCOPED_TRACE(v);
        graph->AddPointY(v);
        const QImage image = Grab(graph.get());
        EXPECT_TRUE(RowHas(image, 249, Qt::red));
        EXPECT_FALSE(RowHas(image, 150, Qt::red));
    }
    // Right after Stop, and with extreme values against a small peak, painting stays in bounds.
    graph->SetMode(CSFQTVideoInFocus::ModeMessage);
    graph->ClearPointY();
    graph->SetMode(CSFQTVideoInFocus::ModeSampling);
    graph->AddPointY(1);
    graph->SetMode(CSFQTVideoInFocus::ModeAdjusting);
    graph->AddPointY(INT32_MAX);
    EXPECT_FALSE(RowHas(Grab(graph.get()), 249, Qt::red));
}

TEST(VideoInFocus, NarrowGraphDrawsEverySegmentAtTheLeftEdge)
{
    auto graph = MakeGraph(60, 150);
    graph->SetMode(CSFQTVideoInFocus::ModeSampling);
    for (int v : {10, 100, 40})
        graph->AddPointY(v);
    const QImage image = Grab(graph.get());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 1; x < image.width(); ++x)
            ASSERT_FALSE(SameColour(image.pixelColor(x, y), Qt::green, 0)) << x << "," << y;
    }
    EXPECT_TRUE(SameColour(image.pixelColor(0, 100), Qt::green, 0));
}

TEST(VideoInFocus, MessageModeCentresTheText)
{
    auto graph = MakeGraph(400, 250);
    graph->SetString(L"Failed to open focus assistant.", 1);
    const QImage image = Grab(graph.get());
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!SameColour(image.pixelColor(x, y), Qt::black, 60))
                left = std::min(left, x), right = std::max(right, x);
        }
    }
    ASSERT_GE(right, 0);
    EXPECT_NEAR((left + right) / 2.0, 200, 6);
}
