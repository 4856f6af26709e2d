// Live video of an emulated device through the device configuration engine and the player into
// the real split-screen video window: the decoded synthetic picture is what the cell shows.
#include "FleetFixture.h"

#include <QDir>
#include <QImage>
#include <QSet>

#include <memory>

#include "Widgets/CSFQTVideoWindow.h"

using namespace devconfigtest;

namespace {

class LiveVideoWindow : public FleetFixture {
protected:
    void SetUp() override
    {
        StartSdk(55);
        // The window as the device page makes it, before any live view.
        video = std::make_unique<CSFQTVideoWindow>(0, nullptr, 1, 1);
        video->Create(L"VideoWindow", RECT{0, 0, 400, 400}, nullptr, 1039);
        video->SetDefaultLayout(DEFAULT_LAYOUT_1);
        video->SetSubWinCtrlsVisible(0);
        video->SetFrameZoomMode(0);
        video->SetDragMode(1);
        video->resize(480, 400);
        video->show();
        ui->SetVideoWindow(video.get());
    }
    // The logout of the fixture still reaches the window; it goes afterwards.
    void TearDown() override
    {
        FleetFixture::TearDown();
        video.reset();
    }

    std::unique_ptr<CSFQTVideoWindow> video;
};

TEST_F(LiveVideoWindow, DecodedFramesOfAnEmulatedDeviceAppearInTheCell)
{
    LoginAndWait(DeviceOf("IPC"));
    video->SetUpdatesEnabled(0, true);
    video->SetSubWinVideo(0, 1);
    video->ResetSubWinSizeToMin(0);
    ui->StartRealPlay(0, video->GetSubWinHandle(0));
    CSFQTVideoWindowPlayWnd* surface = video->Cell(0)->GetPlayWnd();
    ASSERT_TRUE(WaitUntil([&] { return !surface->Frame().isNull(); }));

    // A decoded picture, not the idle colour: many colours across the surface.
    const QImage shot = video->grab().toImage();
    const QRect area(surface->mapTo(video.get(), QPoint(0, 0)), surface->size());
    QSet<QRgb> colours;
    for (int y = area.top(); y <= area.bottom(); y += 4) {
        for (int x = area.left(); x <= area.right(); x += 4)
            colours.insert(shot.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 50);
    EXPECT_TRUE(shot.save(QDir::temp().filePath(QStringLiteral("devconfig_live_video.png")), "PNG"));

    ui->StopRealPlay(1);
}

}  // namespace
