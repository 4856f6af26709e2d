// The device configuration page against the embedded fleet through the real configuration
// logic, SDK, emulated devices and player: login, live video, encode and picture changes read
// back. Screenshots go to VX_SCREENSHOT_DIR when it is set.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QTreeWidget>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstring>
#include <functional>

#include "../DevConfig/BoxRecorder.h"
#include "../DevConfig/PageFleetFixture.h"
#include "../DevConfig/TreeDevice.h"
#include "Common/StrHelpers.h"
#include "DevConfig/CDevTreeEventImp.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFTreeCtrl.h"
#include "devsim/DeviceEncode.h"

namespace {

bool WaitUntil(const std::function<bool()>& pred, int ms = 20000)
{
    return vxtest::PumpUntil(pred, ms);
}

// Leftmost and rightmost columns of a widget's own drawing that differ from its corner pixel.
std::pair<int, int> InkColumns(QWidget* w)
{
    const QImage image = w->grab().toImage();
    const QColor ground = image.pixelColor(image.width() - 1, 0);
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != ground) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    return {left, right};
}

class PageFleet : public devconfigtest::PageFleetFixture {
protected:
    void SetUp() override
    {
        OpenPage("127.57.1.2", "127.57.1.1");
        if (auto* w = static_cast<QWidget*>(page->GetUIWnd()))
            w->resize(929, 616);
    }

    QImage Shot(const char* name)
    {
        auto* widget = static_cast<QWidget*>(win->GetUIWnd());
        QImage image = widget->grab().toImage();
        if (const char* dir = std::getenv("VX_SCREENSHOT_DIR"))
            image.save(QString::fromUtf8(dir) + "/" + name + ".png");
        return image;
    }

    int IndexOf(int comboId, const std::wstring& text)
    {
        CSFComboBox* combo = win->Combo(comboId);
        for (int i = 0; i < combo->GetCount(); ++i) {
            wchar_t item[128] = {};
            combo->GetLBText(i, item, 128);
            if (text == item)
                return i;
        }
        return -1;
    }

    std::wstring Selected(int id)
    {
        CSFComboBox* combo = win->Combo(id);
        wchar_t text[128] = {};
        combo->GetLBText(combo->GetCurSel(), text, 128);
        return text;
    }

    void Pick(int comboId, const std::wstring& text)
    {
        const int index = IndexOf(comboId, text);
        ASSERT_GE(index, 0) << QString::fromStdWString(text).toStdString();
        win->Combo(comboId)->SetCurSel(index);
        win->SelectChanged(comboId, index);
        ASSERT_TRUE(WaitUntil([&] { return page->m_nPendingQuery == 0; }));
    }

    bool Settled() { return win->AllFlagsSet() && page->m_nPendingQuery == 0; }
};

TEST_F(PageFleet, LoginLiveVideoEncodeAndPictureChangesReadBack)
{
    devconfigtest::BoxRecorder boxes;
    const size_t dev = DeviceOf("IPC");
    const devsim::DeviceState s = fleet->StateOf(dev);
    auto device = devconfigtest::TreeDevice(s.ip, s.mac, s.type);
    page->AddDeviceToTree(device, false, 0);
    Shot("devconfig-0-start");
    page->SelectDevice(0);
    page->LoginSelectedDevice();
    Shot("devconfig-0b-loading");
    ASSERT_TRUE(WaitUntil([&] { return !page->IsLoggingIn() && Settled(); }));
    EXPECT_EQ(win->CurrentTab(), CCodeVideoCfgEventImp::kTabEncode);

    // Main stream: 720P at 2048 Kb/s, saved and read back.
    Pick(1028, L"720P");
    Pick(1027, L"2048");
    // Audio: AAC, whose only talk format runs at 16000 Hz, with the main-stream audio on.
    EXPECT_EQ(Selected(1123), L"G.711A");
    EXPECT_EQ(Selected(1200), L"8000");
    Pick(1123, L"AAC");
    EXPECT_EQ(Selected(1200), L"16000");
    win->CheckBox(1125)->SetCheck(1);
    win->Check_OnCheckStateChanged(1, 1125);
    Shot("devconfig-1-encode");
    if (const char* dir = std::getenv("VX_SCREENSHOT_DIR"))
        static_cast<QWidget*>(page->GetUIWnd())->grab().save(QString::fromUtf8(dir) + "/devconfig-1-page.png");
    win->BTN_OnClicked(1037);
    ASSERT_TRUE(WaitUntil([&] { return boxes.Has(L"Save successfully."); }));
    devsim::LiveEncode live;
    fleet->With(dev, [&](devsim::DeviceModel& m) { live = devsim::LiveEncodeOf(m.Table("Encode"), 0); });
    EXPECT_EQ(live.width, 1280);
    EXPECT_EQ(live.height, 720);
    EXPECT_EQ(live.kbps, 2048);
    Json::Value mainFormat;
    fleet->With(dev, [&](devsim::DeviceModel& m) { mainFormat = m.Table("Encode")[0]["MainFormat"][0]; });
    EXPECT_EQ(mainFormat["Audio"]["Compression"], "AAC");
    EXPECT_EQ(mainFormat["Audio"]["Frequency"], 16000);
    EXPECT_EQ(mainFormat["AudioEnable"], true);
    win->ApplyMainAbility(0, false);
    ASSERT_TRUE(WaitUntil([&] { return Settled(); }));
    EXPECT_EQ(Selected(1028), L"720P");
    EXPECT_EQ(Selected(1027), L"2048");
    EXPECT_EQ(Selected(1123), L"AAC");
    EXPECT_EQ(Selected(1200), L"16000");
    EXPECT_TRUE(win->CheckBox(1125)->IsChecked());

    // IMAGE: live video moves in the window frame.
    win->RADIO_OnClicked(1, 1019, POINT{});
    ASSERT_TRUE(WaitUntil([&] { return win->IsVideoEffectLoaded() != 0; }));
    const QRect video(12, 42, 396, 296);
    QImage first, second;
    ASSERT_TRUE(WaitUntil([&] {
        first = Shot("devconfig-2-image").copy(video);
        WaitUntil([] { return false; }, 400);
        second = Shot("devconfig-3-image").copy(video);
        return (first != second && first.pixelColor(200, 150) != second.pixelColor(200, 150)) ||
               first != second;
    }));

    // Brightness and day/night written at once and read back.
    win->SF_OnSliderPos(1053, 77);
    ASSERT_TRUE(WaitUntil([&] { return !win->IsSaving(); }));
    win->RADIO_OnClicked(1, 1042, POINT{});
    ASSERT_TRUE(WaitUntil([&] { return !win->IsSaving(); }));
    // Back light WDR at level 70 and a new channel name, written and read back.
    Pick(1058, L"WDR");
    ASSERT_TRUE(WaitUntil([&] { return !win->IsSaving(); }));
    EXPECT_TRUE(static_cast<QWidget*>(dynamic_cast<QWidget*>(win->Slider(1045)))->isVisible());
    win->SF_OnSliderPos(1045, 70);
    ASSERT_TRUE(WaitUntil([&] { return !win->IsSaving(); }));
    win->Edit(1116)->SetWindowTextW(L"Gate 7");
    wchar_t name[] = L"Gate 7";
    win->EDIT_OnEnterPressed(1116, name);
    ASSERT_TRUE(WaitUntil([&] { return !win->IsSaving() && dynamic_cast<QWidget*>(win->Edit(1116))->isEnabled(); }));
    Shot("devconfig-3b-image-saved");
    {
        // Every mode text ends inside its own box, short of the next radio's image.
        for (int id : {1056, 1055, 1054, 1044, 1043, 1042}) {
            auto* radio = dynamic_cast<QWidget*>(win->Radio(id));
            const auto ink = InkColumns(radio);
            EXPECT_LT(ink.second, radio->width() - 3) << id;
        }
        // The two wider label boxes draw their texts in line with the column's other labels.
        auto inkLeft = [](CSFStatic* label) {
            auto* w = dynamic_cast<QWidget*>(label);
            return w->x() + InkColumns(w).first;
        };
        const int column = inkLeft(win->ImageLabel(L"Brightness"));
        EXPECT_NEAR(inkLeft(win->ImageLabel(L"BLC Mode")), column, 2);
        EXPECT_LE(std::abs(inkLeft(win->ChannelNameLabel()) - column), 14);
        EXPECT_LT(inkLeft(win->ChannelNameLabel()), dynamic_cast<QWidget*>(win->Edit(1116))->x());
    }
    win->Edit(1116)->SetWindowTextW(L"");
    win->RequestVideoChannelParams(0, -1);
    ASSERT_TRUE(WaitUntil([&] { return win->IsVideoEffectLoaded() != 0; }));
    EXPECT_EQ(win->SliderValueText(1053), L"77");
    EXPECT_EQ(win->Radio(1042)->GetCheck(), 1);
    EXPECT_EQ(Selected(1058), L"WDR");
    EXPECT_EQ(win->SliderValueText(1045), L"70");
    wchar_t shown[64] = {};
    win->Edit(1116)->GetWindowTextW(shown, 64);
    EXPECT_EQ(std::wstring(shown), L"Gate 7");
    std::string deviceName;
    fleet->With(dev, [&](devsim::DeviceModel& m) { deviceName = m.Table("ChannelTitle")[0]["Name"].asString(); });
    EXPECT_EQ(deviceName, "Gate 7");

    // FileManage: the device's rule is loaded, saved from the controls and read back.
    auto openFileTab = [&] {
        win->RADIO_OnClicked(1, 1018, POINT{});
        ASSERT_TRUE(WaitUntil([&] { return Settled(); }));
        win->RADIO_OnClicked(1, 1158, POINT{});
        ASSERT_TRUE(WaitUntil([&] { return dynamic_cast<QWidget*>(win->Radio(1018))->isEnabled(); }));
    };
    auto deviceRule = [&] {
        tagNET_VIDEOIN_SWITCH_MODE_INFO r{};
        const std::string bytes = fleet->StateOf(dev).records["1300:0:0"];
        if (bytes.size() == sizeof r)
            std::memcpy(&r, bytes.data(), sizeof r);
        return std::array<int, 7>{r.emSwitchMode, r.nDayStartHour, r.nDayStartMinute, r.nDayStartSecond,
                                  r.nDayEndHour, r.nDayEndMinute, r.nDayEndSecond};
    };
    auto setTime = [&](int id, WORD h, WORD m, WORD sec) {
        _SF_SYSTEMTIME t{};
        t.wHour = h;
        t.wMinute = m;
        t.wSecond = sec;
        win->TimeEditor(id)->SetTime(&t);
    };
    auto time = [&](int id) {
        _SF_SYSTEMTIME t{};
        win->TimeEditor(id)->GetTime(&t);
        return std::array<int, 3>{t.wHour, t.wMinute, t.wSecond};
    };
    auto save = [&](const wchar_t* expected) {
        boxes.texts.clear();
        win->BTN_OnClicked(1165);
        return WaitUntil([&] { return boxes.Has(expected); });
    };
    openFileTab();
    Shot("devconfig-6-filemanage");
    EXPECT_EQ(win->Radio(1161)->GetCheck(), 1);  // the device starts by time, 06:00:00 to 18:00:00
    EXPECT_EQ(time(1163), (std::array<int, 3>{6, 0, 0}));
    setTime(1163, 6, 30, 0);
    setTime(1164, 18, 0, 0);
    ASSERT_TRUE(save(L"Save config file succeed."));
    EXPECT_EQ(deviceRule(), (std::array<int, 7>{2, 6, 30, 0, 18, 0, 0}));
    setTime(1163, 0, 0, 0);
    setTime(1164, 0, 0, 0);
    openFileTab();
    EXPECT_EQ(win->Radio(1161)->GetCheck(), 1);
    EXPECT_EQ(time(1163), (std::array<int, 3>{6, 30, 0}));
    EXPECT_EQ(time(1164), (std::array<int, 3>{18, 0, 0}));
    Shot("devconfig-7-filemanage-bytime");

    // An end before the start is refused and nothing reaches the device.
    setTime(1164, 6, 0, 0);
    ASSERT_TRUE(save(L"The time is invalid."));
    EXPECT_EQ(deviceRule(), (std::array<int, 7>{2, 6, 30, 0, 18, 0, 0}));
    EXPECT_TRUE(dynamic_cast<QWidget*>(win->Radio(1018))->isEnabled());

    // All day on the night profile.
    win->RADIO_OnClicked(1, 1160, POINT{});
    win->Combo(1166)->SetCurSel(1);
    win->SelectChanged(1166, 1);
    Shot("devconfig-8-filemanage-allday");
    {
        // The opened list has its frame on every side.
        auto* combo = dynamic_cast<QComboBox*>(win->Combo(1166));
        combo->showPopup();
        QWidget* popup = combo->view()->window();
        ASSERT_TRUE(WaitUntil([&] { return popup->isVisible(); }, 2000));
        const QImage list = popup->grab().toImage();
        if (const char* dir = std::getenv("VX_SCREENSHOT_DIR"))
            list.save(QString::fromUtf8(dir) + "/devconfig-9-filemanage-list.png");
        if (const char* dir = std::getenv("VX_SCREENSHOT_DIR"))
            combo->grab().save(QString::fromUtf8(dir) + "/devconfig-9b-filemanage-open.png");
        const QColor inside = list.pixelColor(list.width() / 2, list.height() / 2);
        for (int y = 4; y < list.height() - 4; ++y) {
            EXPECT_NE(list.pixelColor(0, y), inside) << "left, row " << y;
            EXPECT_NE(list.pixelColor(list.width() - 1, y), inside) << "right, row " << y;
        }
        combo->hidePopup();
    }
    ASSERT_TRUE(save(L"Save config file succeed."));
    EXPECT_EQ(deviceRule(), (std::array<int, 7>{3, 0, 0, 0, 0, 0, 0}));
    win->RADIO_OnClicked(1, 1159, POINT{});
    openFileTab();
    EXPECT_EQ(win->Radio(1160)->GetCheck(), 1);
    EXPECT_EQ(Selected(1166), L"Night");
    EXPECT_FALSE(boxes.Has(L"Failed to save."));
    EXPECT_FALSE(boxes.Has(L"Failed to get config file information."));
}

TEST_F(PageFleet, TreeRowsAreReadableAndADoubleClickLogsIn)
{
    devconfigtest::BoxRecorder boxes;
    const size_t dev = DeviceOf("IPC");
    const devsim::DeviceState s = fleet->StateOf(dev);
    auto device = devconfigtest::TreeDevice(s.ip, s.mac, s.type);
    page->AddDeviceToTree(device, false, 0);
    auto* tree = dynamic_cast<QTreeWidget*>(page->GetDevTree()->GetTreeCtrl());
    ASSERT_NE(tree, nullptr);
    static_cast<QWidget*>(page->GetUIWnd())->show();
    ASSERT_TRUE(WaitUntil([&] { return tree->isVisible(); }));
    QTreeWidgetItem* group = tree->topLevelItem(0);
    ASSERT_NE(group, nullptr);
    QTreeWidgetItem* row = group->child(0);
    ASSERT_NE(row, nullptr);
    const QColor ground = tree->viewport()->palette().color(tree->viewport()->backgroundRole());
    auto readable = [&](QTreeWidgetItem* item) {
        const QColor text = item->foreground(0).color();
        return std::abs(text.lightness() - ground.lightness()) > 60;
    };
    EXPECT_TRUE(readable(group));
    EXPECT_TRUE(readable(row));
    // A double click near the start of the address: the row is highlighted and the login runs.
    const QRect cell = tree->visualItemRect(row);
    const QPoint at(cell.left() + 4, cell.center().y());
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(tree->viewport(), &event);
    }
    EXPECT_TRUE(readable(row));
    EXPECT_EQ(page->GetDevTree()->GetSelectedDevice(), device);
    ASSERT_TRUE(WaitUntil([&] { return page->IsLoggingIn() != 0; }, 2000));
    ASSERT_TRUE(WaitUntil([&] { return !page->IsLoggingIn() && Settled(); }));
    EXPECT_EQ(win->CurrentTab(), CCodeVideoCfgEventImp::kTabEncode);
}

TEST_F(PageFleet, ADeviceThatDoesNotAnswerLeavesThePageResponsiveAndSaysSo)
{
    devconfigtest::BoxRecorder boxes;
    auto device = std::make_shared<DEVICE_INFO>();
    std::memset(device.get(), 0, sizeof *device);
    std::strcpy(device->stNetInfo.szIpAddr, "127.57.9.9");  // nothing listens there
    device->stNetInfo.nIpVersion = 4;
    std::strcpy(device->szUser, "admin");
    std::strcpy(device->szPassword, "admin123");
    page->AddDeviceToTree(device, false, 0);
    page->SelectDevice(0);
    // The GUI loop keeps turning while the login waits on the worker loop.
    QElapsedTimer gap;
    qint64 longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.restart());
    });
    gap.start();
    tick.start(5);
    page->LoginSelectedDevice();
    ASSERT_TRUE(WaitUntil([&] { return !page->IsLoggingIn(); }, 30000));
    tick.stop();
    EXPECT_LT(longest, 50);
    wchar_t text[256] = {};
    win->FailureLabel()->GetStaticText(text, 256);
    EXPECT_FALSE(std::wstring(text).empty());
    Shot("devconfig-5-failed");
}

} // namespace
