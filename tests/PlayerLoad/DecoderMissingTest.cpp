// Live view on the device page when the video decoder library cannot be loaded: the player
// refuses to open, and the video area says why in words. Its own program, because the loader
// decides once per process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <cstring>
#include <functional>

#include "../DevConfig/PageFleetFixture.h"
#include "../DevConfig/TreeDevice.h"
#include "Common/StrHelpers.h"
#include "Widgets/SFStatic.h"
#include "player/AvLib.h"
#include "player/Player.h"

namespace {

bool WaitUntil(const std::function<bool()>& pred, int ms = 20000)
{
    return vxtest::PumpUntil(pred, ms);
}

using DecoderMissing = devconfigtest::PageFleetFixture;

TEST_F(DecoderMissing, PlayerRefusesToOpenAndThePageSaysSoWhereTheVideoWouldBe)
{
    player::SetAvLibNames("libvx-no-such-codec.so.0", "libvx-no-such-util.so.0");

    // The player's calls fail cleanly and give the loader's reason.
    char reason[256] = {};
    EXPECT_FALSE(PlayerDecoderLoaded(reason, sizeof reason));
    EXPECT_NE(std::strstr(reason, "libvx-no-such-util.so.0"), nullptr) << reason;
    char tiny[4] = {'x', 'x', 'x', 'x'};
    EXPECT_FALSE(PlayerDecoderLoaded(tiny, sizeof tiny));
    EXPECT_EQ(std::strlen(tiny), 3u);
    LONG port = 0;
    ASSERT_TRUE(PlayerGetFreePort(&port));
    EXPECT_FALSE(PlayerOpenStream(port, nullptr, 0, 1 << 20));
    EXPECT_FALSE(PlayerPlay(port, nullptr));
    EXPECT_TRUE(PlayerReleasePort(port));

    // The device page: log in, open the image tab, and read the video area.
    ASSERT_NO_FATAL_FAILURE(OpenPage("127.58.4.2", "127.58.4.1"));
    auto* widget = static_cast<QWidget*>(page->GetUIWnd());
    widget->resize(929, 616);

    const devsim::DeviceState s = fleet->StateOf(DeviceOf("IPC"));
    auto device = devconfigtest::TreeDevice(s.ip, s.mac, s.type);
    page->AddDeviceToTree(device, false, 0);
    page->SelectDevice(0);
    page->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return !page->IsLoggingIn() && win->AllFlagsSet() && page->m_nPendingQuery == 0; }));

    CSFStatic* label = win->DecoderMissingLabel();
    ASSERT_NE(label, nullptr);
    auto* labelWidget = dynamic_cast<QWidget*>(label);
    ASSERT_NE(labelWidget, nullptr);
    EXPECT_FALSE(labelWidget->isVisible());
    win->RADIO_OnClicked(1, 1019, POINT{});
    ASSERT_TRUE(WaitUntil([&] { return labelWidget->isVisible(); }));
    wchar_t text[256] = {};
    label->GetStaticText(text, 256);
    EXPECT_EQ(std::wstring(text), L"The video decoder library could not be loaded.");
    // Over the video window, not hidden behind it.
    auto* video = dynamic_cast<QWidget*>(win->GetVideoWindow());
    ASSERT_NE(video, nullptr);
    const QRect area(labelWidget->mapTo(widget, QPoint(0, 0)), labelWidget->size());
    EXPECT_TRUE(QRect(video->mapTo(widget, QPoint(0, 0)), video->size()).contains(area));
    EXPECT_EQ(widget->childAt(area.center()), labelWidget);
    if (const char* dir = std::getenv("VX_SCREENSHOT_DIR"))
        widget->grab().save(QString::fromUtf8(dir) + "/devconfig-decoder-missing.png");

    // Away from the image tab the text goes with the video window, and comes back with it.
    win->RADIO_OnClicked(1, 1158, POINT{});
    EXPECT_FALSE(labelWidget->isVisible());
    win->RADIO_OnClicked(1, 1019, POINT{});
    EXPECT_TRUE(WaitUntil([&] { return labelWidget->isVisible(); }));
}

} // namespace
