// Split-screen video window, offscreen: the facade as the device page drives it, fitting of
// cells and surfaces, frames drawn into a grabbed image, zoom, and the mouse (focus, exchange,
// hover buttons, layout editing) reaching a recording sink.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "VideoWindowTestSupport.h"
#include "WidgetTestSupport.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/CSFQTVideoWindow.h"
#include "Widgets/SFFactory.h"

namespace {

using Events = std::vector<std::string>;

const uint32_t kQuadrants[4] = {0xffff0000u, 0xff00ff00u, 0xff0000ffu, 0xffffffffu};

// The device page's skin record, with images painted into a folder of the test's own.
class VideoSkin {
public:
    VideoSkin()
    {
        const QString dir = m_dir.path() + "/";
        for (const char* name : {"btn_videoclose.png", "btn_videoclosedown.png", "btn_videosnap.png",
                                 "btn_videosnapdown.png", "btn_propertynor.png", "btn_propertydown.png",
                                 "btn_videorecordcheck.png", "btn_videorecord.png"}) {
            QImage icon(16, 16, QImage::Format_ARGB32);
            icon.fill(QColor(200, 200, 200));
            icon.save(dir + name);
        }
        QImage noVideo(60, 40, QImage::Format_ARGB32);
        noVideo.fill(QColor(10, 20, 30));
        noVideo.save(dir + "NoVideo.png");
        SFSetSkinDir(dir.toStdWString());

        style.strNoVideoImage = L"NoVideo.png";
        style.strCloseNormal = style.strCloseHover = L"btn_videoclose.png";
        style.strClosePressed = L"btn_videoclosedown.png";
        style.strSnapNormal = style.strSnapHover = L"btn_videosnap.png";
        style.strSnapPressed = L"btn_videosnapdown.png";
        style.strPropNormal = style.strPropHover = L"btn_propertynor.png";
        style.strPropPressed = L"btn_propertydown.png";
        style.strRecordChecked = L"btn_videorecordcheck.png";
        style.strRecordImage = L"btn_videorecord.png";
        style.strIconSize = L"16,16";
        style.strColor1 = L"5c6576";
        style.strColor2 = L"353b48";
        style.strColor3 = L"fa0000";
        style.strColor4 = L"586f1b";
        style.strColor5 = L"00fa00";
        style.strColor6 = L"38b6ff";
        style.strNumber1 = L"2";
        style.strNumber2 = L"2";
        style.nValue1 = 4000;
        style.nValue2 = 3000;
    }
    ImageVideoWindowStyle style;

private:
    QTemporaryDir m_dir;
};

// A window of capacity rows x columns over a 401 x 301 area, shown, with the given layout.
std::unique_ptr<CSFQTVideoWindow> MakeWindow(RecordingVideoSink& sink, int mode, int capacity, DEFAULT_LAYOUT layout,
                                             VideoSkin* skin = nullptr)
{
    auto window = std::make_unique<CSFQTVideoWindow>(mode, &sink, capacity, capacity);
    if (skin)
        window->SetSkin(&skin->style);
    window->Create(L"VideoWindow", RECT{0, 0, 400, 300}, nullptr, 1039);
    window->SetDefaultLayout(layout);
    window->show();
    sink.events.clear();
    return window;
}

std::string LayoutText(CSFVideoWindow& window)
{
    std::vector<char> buffer(1 << 16);
    EXPECT_EQ(window.GetLayout(buffer.data(), static_cast<int>(buffer.size())), 1);
    return buffer.data();
}

QPoint Centre(const CSFQTVideoWindow& window, int index)
{
    return RectToQ(window.Cell(index)->GetRect()).center();
}

QColor PixelOfSurface(CSFQTVideoWindow& window, int index, double fx, double fy)
{
    CSFQTVideoWindowPlayWnd* surface = window.Cell(index)->GetPlayWnd();
    const QPoint at = surface->mapTo(&window, QPoint(int(surface->width() * fx), int(surface->height() * fy)));
    return Grab(&window).pixelColor(at);
}

}  // namespace

TEST(VideoWindow, FactoryWindowAsTheDevicePageDrivesIt)
{
    RecordingVideoSink sink;
    std::unique_ptr<CSFVideoWindow> facade(CreateSFVideoWindow(0, &sink, 4, 4));
    ASSERT_NE(facade, nullptr);
    EXPECT_EQ(facade->Create(L"VideoWindow", RECT{0, 0, 400, 400}, nullptr, 1039), 1);
    auto* window = dynamic_cast<CSFQTVideoWindow*>(facade.get());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->size(), QSize(401, 401));
    EXPECT_EQ(facade->SetDefaultLayout(DEFAULT_LAYOUT_1), 1);
    facade->SetSubWinCtrlsVisible(0);
    facade->SetFrameZoomMode(0);
    facade->SetDragMode(1);

    EXPECT_NE(facade->GetSubWinHandle(0), nullptr);
    EXPECT_EQ(facade->GetSubWinHandle(1), nullptr);
    EXPECT_EQ(facade->GetSubWinHandle(-1), nullptr);
    EXPECT_EQ(facade->GetCurrentSubWinIndex(), 0);
    EXPECT_EQ(facade->GetSubWinID(0), 0);
    EXPECT_EQ(facade->GetSubWinIndexFromID(0), 0);
    EXPECT_EQ(facade->GetSubWinID(1), -1);
    EXPECT_EQ(facade->GetSubWinIndexFromID(7), -1);
    EXPECT_EQ(facade->RenderSubWin(7, nullptr, RENDER_DATA_RGB32, 4, 4), 0);

    // Focus on the focus cell again changes nothing.
    sink.events.clear();
    EXPECT_EQ(facade->SetFocusSubWin(0), 0);
    EXPECT_TRUE(sink.events.empty());

    // The factory's window has one cell widget: four layout cells, one shown.
    EXPECT_EQ(facade->SetDefaultLayout(DEFAULT_LAYOUT_4), 1);
    EXPECT_EQ(facade->GetCurrentSubWinCount(), 4);
    EXPECT_FALSE(window->Cell(0)->isHidden());
    EXPECT_EQ(window->Cell(1), nullptr);
    EXPECT_EQ(facade->SetDefaultLayout(static_cast<DEFAULT_LAYOUT>(10)), 0);

    // ApplyLayout needs a cell widget per grid position.
    const std::string before = LayoutText(*facade);
    EXPECT_EQ(window->ApplyLayout(CQTVideoWindowLayout(2, 2, 400, 300)), 0);
    EXPECT_EQ(LayoutText(*facade), before);
    EXPECT_EQ(window->ApplyLayout(CQTVideoWindowLayout(1, 1, 400, 300)), 1);
    EXPECT_EQ(facade->GetCurrentSubWinCount(), 1);
}

TEST(VideoWindow, LayoutTextThroughTheFacade)
{
    RecordingVideoSink sink;
    auto window = MakeWindow(sink, 0, 2, DEFAULT_LAYOUT_1);
    const std::string text = LayoutText(*window);
    EXPECT_EQ(text, "1/1/1/401:301//0:0:400:300");

    std::vector<char> buffer(text.size() + 1, 'x');
    EXPECT_EQ(window->GetLayout(buffer.data(), static_cast<int>(text.size())), 0);  // no room for the NUL
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(window->GetLayout(buffer.data(), static_cast<int>(buffer.size())), 1);
    EXPECT_EQ(std::string(buffer.data()), text);

    // A malformed text keeps the layout but still reports a change, as a good one does.
    for (const char* bad : {"2/2/4/400:300", "0/0/0/0:0//", "300/2/4/400:300//", "2/2/4/400:300/1:1:a:0:0:0/"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(window->SetLayout(bad), 1);
        EXPECT_EQ(LayoutText(*window), text);
        EXPECT_EQ(sink.Take(true), Events{"layout"});
    }
    EXPECT_EQ(window->SetLayout(nullptr), 1);
    EXPECT_EQ(LayoutText(*window), text);

    // Rows change the dividers at once but move cell widgets only on the next layout or resize.
    const QRect cellBefore = window->Cell(0)->geometry();
    EXPECT_EQ(window->SetRows(2), 1);
    EXPECT_EQ(window->GetCurrentSubWinCount(), 2);
    EXPECT_EQ(window->Cell(0)->geometry(), cellBefore);
    EXPECT_TRUE(window->Cell(1)->isHidden());
    window->resize(500, 400);
    EXPECT_EQ(window->Cell(0)->GetRect().bottom, 199);
    EXPECT_FALSE(window->Cell(1)->isHidden());
    EXPECT_EQ(window->SetRows(2), 0);
}

TEST(VideoWindow, CellAndSurfaceFitTheirRectangles)
{
    struct Case {
        RECT in;
        int pw, ph;
        RECT multiplyFirst, divideFirst;
    } const cases[] = {
        {{0, 0, 399, 199}, 4, 3, {67, 0, 333, 199}, {68, 0, 332, 199}},
        {{0, 0, 399, 299}, 4, 3, {0, 0, 399, 300}, {0, 0, 399, 300}},
        {{10, 10, 109, 409}, 16, 9, {10, 182, 109, 238}, {10, 183, 109, 237}},
        {{0, 0, 99, 99}, 0, 0, {0, 0, 99, 99}, {0, 0, 99, 99}},
        {{0, 0, 99, 99}, 0, 3, {0, 0, 99, 99}, {0, 0, 99, 99}},  // half a proportion is none
    };
    auto same = [](const RECT& a, const RECT& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pw * 100 + c.in.bottom);
        EXPECT_TRUE(same(CSFQTVideoWindowPlayWnd::FitMultiplyFirst(c.in, c.pw, c.ph), c.multiplyFirst));
        EXPECT_TRUE(same(CSFQTVideoWindowPlayWnd::FitDivideFirst(c.in, c.pw, c.ph), c.divideFirst));
    }

    VideoSurfaceShared shared;
    QWidget parent;
    CSFQTVideoWindowSubWnd cell;
    cell.Create(L"", RECT{0, 0, 400, 300}, &parent, 0, 4, 3, &shared);
    EXPECT_EQ(cell.geometry(), QRect(QPoint(2, 2), QPoint(398, 298)));
    EXPECT_TRUE(same(cell.GetPlayWnd()->GetRect(), RECT{0, 0, 396, 296}));
    EXPECT_EQ(cell.GetPlayWnd()->windowTitle(), QStringLiteral("hVideoWindow_PlayWnd"));
}

TEST(VideoWindow, FramesAreDrawnScaledIntoTheCell)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, 0, 1, DEFAULT_LAYOUT_1, &skin);
    const int id = window->GetSubWinID(0);

    // Idle: the cell colour with the no-video picture in the middle.
    EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, 0.05, 0.05), QColor(0x5c, 0x65, 0x76), 0));
    EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, 0.5, 0.5), QColor(10, 20, 30), 0));

    window->SetUpdatesEnabled(0, true);
    window->SetSubWinVideo(0, 1);
    std::vector<uint32_t> frame = QuadrantFrame(160, 120, kQuadrants);
    EXPECT_EQ(window->RenderSubWin(id, reinterpret_cast<BYTE*>(frame.data()), RENDER_DATA_RGB32, 160, 120), 1);
    const struct {
        double x, y;
        QColor colour;
    } quadrants[] = {{0.25, 0.25, Qt::red}, {0.75, 0.25, Qt::green}, {0.25, 0.75, Qt::blue}, {0.75, 0.75, Qt::white}};
    for (const auto& q : quadrants) {
        SCOPED_TRACE(q.colour.name().toStdString());
        EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, q.x, q.y), q.colour, 0));
    }

    // The wheel on the surface zooms into the frame; a right click shows the whole frame again.
    CSFQTVideoWindowPlayWnd* surface = window->Cell(0)->GetPlayWnd();
    MouseDriver mouse(window.get());
    const QPoint centre = surface->mapTo(window.get(), surface->rect().center());
    mouse.Wheel(centre, 120);
    mouse.Wheel(centre, 120);
    EXPECT_LT(surface->SourceRect().right - surface->SourceRect().left + 1, 160);
    EXPECT_GT(surface->SourceRect().left, 0);
    mouse.Click(centre, Qt::RightButton);
    EXPECT_EQ(surface->SourceRect().left, 0);
    EXPECT_EQ(surface->SourceRect().right, 159);
    // A click holds repainting back for a player's drawing, but not over frames the surface draws.
    EXPECT_EQ(surface->UpdatesOn(), 0);
    EXPECT_TRUE(surface->updatesEnabled());
    EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, 0.25, 0.25), Qt::red, 0));
    const uint32_t green[4] = {0xff00ff00u, 0xff00ff00u, 0xff00ff00u, 0xff00ff00u};
    std::vector<uint32_t> greenFrame = QuadrantFrame(64, 48, green);
    window->RenderSubWin(id, reinterpret_cast<BYTE*>(greenFrame.data()), RENDER_DATA_RGB32, 64, 48);
    EXPECT_EQ(surface->SourceRect().right, 63);  // a new frame size shows the whole frame
    EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, 0.2, 0.2), Qt::green, 0));

    // Frames of type 2 are kept but not drawn; null frames are refused.
    window->RenderSubWin(id, reinterpret_cast<BYTE*>(frame.data()), RENDER_DATA_YUV420, 160, 120);
    EXPECT_EQ(surface->Frame().pixel(0, 0), kQuadrants[0]);
    EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, 0.25, 0.25), Qt::black, 0));
    EXPECT_EQ(surface->RenderFrame(nullptr, 1, 4, 4), 0);
    EXPECT_EQ(surface->RenderFrame(reinterpret_cast<BYTE*>(frame.data()), 1, 0, 4), 0);

    // A frame larger than the surface is kept at the surface's size and still drawn whole; zoomed
    // into, the picture under the cursor stays where it was.
    std::vector<uint32_t> large = QuadrantFrame(1600, 1200, kQuadrants);
    window->RenderSubWin(id, reinterpret_cast<BYTE*>(large.data()), RENDER_DATA_RGB32, 1600, 1200);
    EXPECT_EQ(surface->Frame().size(), surface->size());
    EXPECT_EQ(surface->SourceRect().right, 1599);
    for (int zoom = 0; zoom < 3; ++zoom) {
        for (const auto& q : quadrants) {
            SCOPED_TRACE(q.colour.name().toStdString());
            EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, q.x, q.y), q.colour, 0));
        }
        mouse.Wheel(centre, 120);
    }
    EXPECT_LT(surface->SourceRect().right, 1599);

    // Logout: the idle look again.
    window->SetSubWinVideo(0, 0);
    EXPECT_TRUE(SameColour(PixelOfSurface(*window, 0, 0.05, 0.05), QColor(0x5c, 0x65, 0x76), 0));
}

TEST(VideoWindow, WheelAndFrameZoomEnlargeTheFocusedSurfaceWithinLimits)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, 0, 2, DEFAULT_LAYOUT_4, &skin);
    window->SetSubWinCtrlsVisible(0);
    window->SetSubWinVideo(0, 1);
    CSFQTVideoWindowPlayWnd* surface = window->Cell(0)->GetPlayWnd();
    const QRect display = RectToQ(surface->GetDisplayRect());
    MouseDriver mouse(window.get());

    // Not the focus cell, or no video: the surface stays.
    mouse.Wheel(Centre(*window, 1), 120);
    EXPECT_EQ(window->Cell(1)->GetPlayWnd()->geometry(), RectToQ(window->Cell(1)->GetPlayWnd()->GetDisplayRect()));

    // One step grows the smaller side by 20 pixels and the other in proportion (4 : 3).
    mouse.Wheel(Centre(*window, 0), 120);
    EXPECT_NEAR(surface->height() - display.height(), 20, 1);
    EXPECT_NEAR(surface->width() - display.width(), 26, 1);
    mouse.Wheel(Centre(*window, 0), 120);
    EXPECT_TRUE(surface->IsZoomed());
    EXPECT_GT(surface->width(), display.width());
    EXPECT_TRUE(surface->geometry().contains(QRect(display.topLeft(), display.size() - QSize(1, 1))));
    // Backwards until it is back at its display size.
    for (int i = 0; i < 10 && surface->IsZoomed(); ++i)
        mouse.Wheel(Centre(*window, 0), -120);
    EXPECT_FALSE(surface->IsZoomed());
    EXPECT_EQ(surface->geometry(), display);

    // At the largest size the skin allows, a step further changes nothing.
    skin.style.nValue1 = display.width() + 5;
    skin.style.nValue2 = display.height() + 5;
    window->SetSkin(&skin.style);
    mouse.Wheel(Centre(*window, 0), 120);
    const QRect atMax = surface->geometry();
    mouse.Wheel(Centre(*window, 0), 120);
    EXPECT_EQ(surface->geometry(), atMax);
    window->ResetSubWinSizeToMin(0);
    EXPECT_EQ(surface->geometry(), display);

    // Frame zoom: a drag under 10 pixels does nothing, a larger one zooms, a right click resets.
    skin.style.nValue1 = 4000;
    skin.style.nValue2 = 3000;
    window->SetSkin(&skin.style);
    window->SetFrameZoomMode(1);
    EXPECT_EQ(window->IsEnableFrameZoom(), 1);
    mouse.Drag(QPoint(50, 50), QPoint(56, 90));
    EXPECT_EQ(surface->geometry(), display);
    mouse.Drag(QPoint(40, 40), QPoint(100, 90));
    EXPECT_TRUE(surface->IsZoomed());
    EXPECT_GT(surface->width(), 2 * display.width());
    EXPECT_TRUE(sink.Take().size() >= 4);  // press and release of both drags
    mouse.Click(Centre(*window, 0), Qt::RightButton);
    EXPECT_EQ(surface->geometry(), display);
    // No exchange while frame zoom is on.
    mouse.Drag(Centre(*window, 0), Centre(*window, 3));
    EXPECT_EQ(window->GetSubWinID(0), 0);
}

TEST(VideoWindow, DragModePansAnEnlargedSurfaceAndKeepsItCovering)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, 0, 1, DEFAULT_LAYOUT_1, &skin);
    window->SetDragMode(1);
    window->SetSubWinVideo(0, 1);
    CSFQTVideoWindowPlayWnd* surface = window->Cell(0)->GetPlayWnd();
    const QRect display = RectToQ(surface->GetDisplayRect());
    MouseDriver mouse(window.get());
    const QPoint centre = Centre(*window, 0);

    // A surface at its display size does not move.
    mouse.Drag(centre, centre + QPoint(30, 30));
    EXPECT_EQ(surface->geometry(), display);

    for (int i = 0; i < 5; ++i)
        mouse.Wheel(centre, 120);
    ASSERT_TRUE(surface->IsZoomed());
    const QRect zoomed = surface->geometry();
    auto covers = [&] {
        const QRect g = surface->geometry();
        return g.left() <= display.left() && g.top() <= display.top() && g.right() >= display.right() - 1 &&
               g.bottom() >= display.bottom() - 1;
    };
    EXPECT_TRUE(covers());
    mouse.Press(centre);
    mouse.Move(centre + QPoint(-10, -10));
    EXPECT_EQ(surface->geometry(), zoomed.translated(-10, -10));
    mouse.Move(centre + QPoint(1000, 1000));  // far: stops where it still covers the display
    mouse.Release(centre + QPoint(1000, 1000));
    EXPECT_TRUE(covers());
    EXPECT_EQ(surface->geometry().topLeft(), display.topLeft());
    EXPECT_EQ(surface->size(), zoomed.size());
    // Drag mode never exchanges.
    for (const std::string& e : sink.Take())
        EXPECT_EQ(e.find("exchange"), std::string::npos) << e;
}

TEST(VideoWindow, ClicksMoveTheFocusAndDragsExchangeCells)
{
    RecordingVideoSink sink;
    auto window = MakeWindow(sink, 0, 2, DEFAULT_LAYOUT_4);
    MouseDriver mouse(window.get());

    mouse.Click(Centre(*window, 1));
    EXPECT_EQ(sink.Take(), (Events{"down 1 1", "up 1 1", "focus 1 0"}));
    EXPECT_EQ(window->GetCurrentSubWinIndex(), 1);
    mouse.Click(Centre(*window, 1));
    EXPECT_EQ(sink.Take(), (Events{"down 1 1", "up 1 1"}));

    // Neither end is the focus cell: only the exchange.
    mouse.Drag(Centre(*window, 0), Centre(*window, 3));
    EXPECT_EQ(sink.Take(), (Events{"down 0 0", "up 3 3", "exchange 0 3"}));
    EXPECT_EQ(window->GetSubWinID(0), 3);
    EXPECT_EQ(window->GetSubWinID(3), 0);
    EXPECT_EQ(window->GetSubWinIndexFromID(3), 0);
    EXPECT_EQ(window->Cell(0)->geometry(), QRect(QPoint(2, 2), QPoint(197, 147)));

    // From the focus cell: the focus index gets the other cell's id.
    mouse.Drag(Centre(*window, 1), Centre(*window, 2));
    EXPECT_EQ(sink.Take(), (Events{"down 1 1", "up 2 2", "exchange 1 2", "focus 2 1"}));
    // Onto the focus cell.
    mouse.Drag(Centre(*window, 0), Centre(*window, 1));
    EXPECT_EQ(sink.Take(), (Events{"down 0 3", "up 1 2", "exchange 3 2", "focus 3 2"}));

    // Released outside every cell: forgotten.
    mouse.Drag(Centre(*window, 2), QPoint(600, 600));
    EXPECT_EQ(sink.Take(), (Events{"down 2 1", "up -1 -1"}));
    EXPECT_EQ(window->GetSubWinID(2), 1);

    // Focus by id through the facade.
    EXPECT_EQ(window->SetFocusSubWin(1), 1);
    EXPECT_EQ(sink.Take(), (Events{"focus 1 3"}));
    EXPECT_EQ(window->GetCurrentSubWinIndex(), 2);

    // Exchange switched off: the drag only moves nothing.
    window->EableSubWinExchange(0);
    mouse.Drag(Centre(*window, 0), Centre(*window, 3));
    EXPECT_EQ(sink.Take(), (Events{"down 0 2", "up 3 0"}));
}

TEST(VideoWindow, FocusFrameIsPaintedAroundTheFocusCell)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, 0, 2, DEFAULT_LAYOUT_4, &skin);
    const QColor focus(0x38, 0xb6, 0xff), divider(0x35, 0x3b, 0x48);
    QImage image = Grab(window.get());
    EXPECT_TRUE(SameColour(image.pixelColor(100, 1), focus, 0));      // ring of cell 0
    EXPECT_TRUE(SameColour(image.pixelColor(300, 1), QColor(0x5c, 0x65, 0x76), 0));
    EXPECT_TRUE(SameColour(image.pixelColor(300, 149), divider, 0));
    EXPECT_TRUE(SameColour(image.pixelColor(300, 150), divider, 0));
    MouseDriver(window.get()).Click(Centre(*window, 3));
    image = Grab(window.get());
    EXPECT_TRUE(SameColour(image.pixelColor(300, 299), focus, 0));
    EXPECT_FALSE(SameColour(image.pixelColor(100, 1), focus, 0));
}

TEST(VideoWindow, HoverButtonsFollowTheMouseAndReportTheirCell)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, 0, 2, DEFAULT_LAYOUT_4, &skin);
    window->SetSubWinVideo(3, 1);
    MouseDriver mouse(window.get());
    CSFQTButton* close = window->CloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->isHidden());

    mouse.Move(Centre(*window, 1));
    EXPECT_FALSE(close->isHidden());
    const RECT cell = window->Cell(1)->GetRect();
    EXPECT_EQ(close->geometry().right(), cell.right - 6);
    EXPECT_EQ(close->geometry().top(), cell.top + 3);
    EXPECT_EQ(window->SnapButton()->geometry().right(), close->geometry().left() - 4);
    EXPECT_TRUE(window->RecordToggle()->isHidden());
    EXPECT_TRUE(sink.Take().empty());  // no video: the surface keeps its area

    // Over a cell with video the surface leaves a strip for the buttons.
    mouse.Move(Centre(*window, 3));
    EXPECT_EQ(sink.Take(), (Events{"bound 3", "bound 1"}));
    EXPECT_GE(window->Cell(3)->GetPlayWnd()->geometry().top(), CSFQTVideoWindow::kButtonStrip);

    QTest::mouseClick(close, Qt::LeftButton);
    QTest::mouseClick(window->SnapButton(), Qt::LeftButton);
    QTest::mouseClick(window->PropertyButton(), Qt::LeftButton);
    window->RADIO_OnClicked(1, CSFQTVideoWindow::IdRecord, POINT{0, 0});
    EXPECT_EQ(sink.Take(), (Events{"close 3 3", "snap 3 3", "property 3 3", "record 3 3 1"}));

    // A double click on a button is swallowed: the release after it clicks nothing.
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(4, 4), close->mapToGlobal(QPointF(4, 4)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(close, &dbl);
    QTest::mouseRelease(close, Qt::LeftButton);
    for (const std::string& e : sink.Take())
        EXPECT_EQ(e.find("close"), std::string::npos) << e;

    // Leaving the window hides the buttons and gives the surface its whole area back.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_TRUE(close->isHidden());
    EXPECT_EQ(sink.Take(), (Events{"bound 3"}));
    EXPECT_LT(window->Cell(3)->GetPlayWnd()->geometry().top(), CSFQTVideoWindow::kButtonStrip);

    // With the cell controls off the buttons stay hidden.
    window->SetSubWinCtrlsVisible(0);
    mouse.Move(Centre(*window, 2));
    EXPECT_TRUE(close->isHidden());
}

TEST(VideoWindow, LayoutEditingHighlightsAndTogglesDividerRuns)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, VIDEOWINDOW_MODE_LAYOUT, 2, DEFAULT_LAYOUT_4, &skin);
    EXPECT_EQ(window->GetSubWinID(0), -1);
    EXPECT_EQ(window->GetSubWinHandle(0), nullptr);
    EXPECT_EQ(window->CloseButton(), nullptr);
    MouseDriver mouse(window.get());
    const QPoint upper(200, 60);
    const QColor selected(0xfa, 0, 0), selectedRemoved(0, 0xfa, 0), removed(0x58, 0x6f, 0x1b);

    mouse.Move(upper);
    EXPECT_EQ(window->Layout().Selected().size(), 1u);
    EXPECT_TRUE(SameColour(Grab(window.get()).pixelColor(200, 60), selected, 0));
    mouse.Click(upper);
    EXPECT_EQ(sink.Take(true), Events{"layout"});
    EXPECT_EQ(window->GetCurrentSubWinCount(), 3);
    // Removed dividers show as dashes: 6 pixels on, 4 off, from the band's start.
    QImage image = Grab(window.get());
    EXPECT_TRUE(SameColour(image.pixelColor(200, 2), selectedRemoved, 0));
    EXPECT_FALSE(SameColour(image.pixelColor(200, 8), selectedRemoved, 0));
    mouse.Move(QPoint(100, 100));
    EXPECT_TRUE(SameColour(Grab(window.get()).pixelColor(200, 2), removed, 0));
    mouse.Move(upper);
    mouse.Click(upper);
    EXPECT_EQ(sink.Take(true), Events{"layout"});
    EXPECT_EQ(window->GetCurrentSubWinCount(), 4);
    // A click away from every divider changes nothing.
    mouse.Move(QPoint(100, 100));
    mouse.Click(QPoint(100, 100));
    EXPECT_TRUE(sink.Take(true).empty());
}

TEST(VideoWindow, ScreenshotOfFourCellsWithVideoFocusAndButtons)
{
    RecordingVideoSink sink;
    VideoSkin skin;
    auto window = MakeWindow(sink, 0, 2, DEFAULT_LAYOUT_4, &skin);
    window->resize(641, 481);
    std::vector<uint32_t> frame = QuadrantFrame(320, 240, kQuadrants);
    for (int index : {0, 3}) {
        window->SetSubWinVideo(index, 1);
        window->RenderSubWin(window->GetSubWinID(index), reinterpret_cast<BYTE*>(frame.data()), RENDER_DATA_RGB32,
                             320, 240);
    }
    MouseDriver mouse(window.get());
    mouse.Click(Centre(*window, 3));
    mouse.Move(Centre(*window, 3));
    const QImage image = Grab(window.get());
    const QString file = QDir::temp().filePath(QStringLiteral("widgets_video_window.png"));
    ASSERT_TRUE(image.save(file, "PNG"));
    EXPECT_TRUE(SameColour(image.pixelColor(Centre(*window, 3) + QPoint(-60, 20)), Qt::blue, 0));
    EXPECT_FALSE(window->CloseButton()->isHidden());
}
