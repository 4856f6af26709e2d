// Apply runs against emulated devices, started and followed through the progress dialog.
#include <gtest/gtest.h>

#include <QWidget>

#include "ApplyTestSupport.h"
#include "Template/CTemplateConfigLogic.h"
#include "TemplateFiles.h"
#include "devsdk/Wire.h"

using namespace applytest;

namespace {

class ApplyRun : public ApplyFleetTest {
protected:
    // Runs the dialog, presses OK, waits for the run to end; returns the dialog's result.
    void RunAll(Panel& panel, const std::string& path)
    {
        const int before = panel.finished;
        panel.RunDialog(path, [&panel] { Click(panel.applyDlg->GetOkButton()); });
        EXPECT_EQ(panel.control->IsConfiguring(), 0);
        EXPECT_EQ(panel.finished, before + 1);
    }
    static bool Ok(const TEMPLATE_RESULT_SET& r)
    {
        if (!r.Test(TEMPLATE_RESULT_OK) || r.Test(TEMPLATE_RESULT_NOT_STARTED))
            return false;
        for (int f = 2; f < 128; ++f)
            if (r.Test(f))
                return false;
        return true;
    }
    static std::vector<int> Flags(const TEMPLATE_RESULT_SET& r)
    {
        std::vector<int> out;
        for (int f = 0; f < 128; ++f)
            if (r.Test(f))
                out.push_back(f);
        return out;
    }
    tplfiles::Folder folder_;
};

} // namespace

// Three devices start at once; every section reaches the configurable channels of each, into
// the configuration set FileManage 4 selects; the dialog closes with the bar at 3.
TEST_F(ApplyRun, ThreeDevicesAreConfiguredSectionBySection)
{
    std::vector<devsim::DeviceState> devs = {Device("IPC", 1), Device("NVR", 4), Device("IPC", 1)};
    devs[1].cameraStates = {2, 0, 2, 2};
    StartFleet(devs);
    const std::string path = folder_.Write("Normal.xml", tplfiles::Template("NVR", "\n", 4));
    auto panel = Panel::Make();
    for (size_t i = 0; i < 3; ++i)
        AddDevice(*panel->control, i);
    RunAll(*panel, path);

    ASSERT_EQ(panel->icons.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(panel->icons[i].first, int(100 + i));
        EXPECT_TRUE(Ok(panel->icons[i].second));
        EXPECT_TRUE(Ok(panel->control->GetDeviceResult(int(100 + i))));
    }
    EXPECT_EQ(panel->applyDlg->GetProgress()->GetPos(), 3);
    EXPECT_FALSE(static_cast<QWidget*>(panel->applyDlg->GetUIWnd())->isVisible());

    for (int ch : {0, 2, 3}) {
        SCOPED_TRACE(ch);
        auto color = RecordAs<NET_VIDEOIN_COLOR_INFO>(Record(1, NET_EM_CFG_VIDEOIN_COLOR, ch, 2));
        EXPECT_EQ(color.nBrightness, 60);
        EXPECT_EQ(color.nContrast, 55);
        EXPECT_EQ(color.nSaturation, 70);
        EXPECT_EQ(color.nGamma, 40);
        auto blc = RecordAs<NET_VIDEOIN_BACKLIGHT_INFO>(Record(1, NET_EM_CFG_VIDEOIN_BACKLIGHT, ch, 2));
        EXPECT_EQ(blc.emBlackMode, 3);
        EXPECT_EQ(blc.nWideDynamicRange, 80);
        EXPECT_EQ(blc.nGlareInhibition, 50) << "left as read";
        auto dn = RecordAs<NET_VIDEOIN_DAYNIGHT_INFO>(Record(1, NET_EM_CFG_VIDEOIN_DAYNIGHT, ch, 2));
        EXPECT_EQ(dn.emDayNight, 1);
        auto sw = RecordAs<NET_VIDEOIN_SWITCH_MODE_INFO>(Record(1, NET_EM_CFG_VIDEOIN_SWITCHMODE, ch, 0));
        EXPECT_EQ(sw.emSwitchMode, 4);
    }
    // The channel without a camera is never touched, nor another set.
    EXPECT_TRUE(Record(1, NET_EM_CFG_VIDEOIN_COLOR, 1, 2).empty());
    EXPECT_TRUE(Record(1, NET_EM_CFG_VIDEOIN_SWITCHMODE, 1, 0).empty());
    EXPECT_TRUE(Record(1, NET_EM_CFG_VIDEOIN_COLOR, 0, 0).empty());

    Json::Value encode;
    fleet_->With(1, [&](devsim::DeviceModel& m) { encode = m.Table("Encode"); });
    EXPECT_EQ(encode[0]["MainFormat"][0]["Video"]["BitRate"].asInt(), 4096);
    EXPECT_EQ(encode[0]["MainFormat"][0]["Video"]["Profile"].asString(), "High");
    EXPECT_EQ(encode[2]["ExtraFormat"][0]["Video"]["Compression"].asString(), "MJPG");
    EXPECT_NE(encode[1]["ExtraFormat"][0]["Video"]["Compression"].asString(), "MJPG");
}

// Seven devices: five start at once and one more per finished device; with nine and a stop after
// the second finished, the devices never started keep flag 0 and the bar ends at 9.
TEST_F(ApplyRun, FiveAtATimeAndStopLeavesTheRestUnstarted)
{
    StartFleet(std::vector<devsim::DeviceState>(9, Device("IPC", 1)));
    const std::string path = folder_.Write("t.xml", tplfiles::Template("IPC", "\n", 0));
    auto panel = Panel::Make();
    for (size_t i = 0; i < 7; ++i)
        AddDevice(*panel->control, i);
    RunAll(*panel, path);
    ASSERT_EQ(panel->icons.size(), 7u);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(panel->icons[i].first, int(100 + i));

    panel->control->ClearDevices();
    panel->icons.clear();
    for (size_t i = 0; i < 9; ++i)
        AddDevice(*panel->control, i);
    // Stopped while the second device reports: five, then one more after the first, were started.
    panel->onIcon = [&](int n) {
        if (n == 2)
            Click(panel->applyDlg->GetCancelButton());
    };
    RunAll(*panel, path);
    EXPECT_EQ(panel->icons.size(), 6u);
    EXPECT_EQ(panel->applyDlg->GetProgress()->GetPos(), 9);
    for (size_t i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        TEMPLATE_RESULT_SET r = panel->control->GetDeviceResult(int(100 + i));
        if (i < 6)
            EXPECT_TRUE(Ok(r));
        else
            EXPECT_EQ(Flags(r), std::vector<int>{TEMPLATE_RESULT_NOT_STARTED});
    }
}

// Failures end as flags: a wrong password (login only), one refused channel of one section (the
// other channels and sections still written), an Encode exchange the device refuses, and a
// template file that cannot be read.
TEST_F(ApplyRun, FailuresAreRecordedPerSection)
{
    std::vector<devsim::DeviceState> devs = {Device("IPC", 1), Device("NVR", 3), Device("IPC", 1), Device("IPC", 1),
                                             Device("NVR", 2)};
    devs[1].failRecordWrites = {"1316:1"};
    devs[4].failRecordWrites = {"Encode:1"};
    devs[2].failOps[devsdk::wire::kOpTransmit] = SDK_ERROR;
    StartFleet(devs);
    const std::string path = folder_.Write("t.xml", tplfiles::Template("IPC", "\n", 3));
    auto panel = Panel::Make();
    panel->control->AddDevice(0, Ip(0).c_str(), "admin", "wrong", Mac(0).c_str(), 100, 0);
    for (size_t i = 1; i < 5; ++i)
        AddDevice(*panel->control, i);
    RunAll(*panel, path);

    EXPECT_EQ(Flags(panel->control->GetDeviceResult(100)), std::vector<int>{TEMPLATE_RESULT_LOGIN});
    EXPECT_EQ(Flags(panel->control->GetDeviceResult(101)), std::vector<int>{TEMPLATE_RESULT_DAYNIGHT});
    EXPECT_EQ(Flags(panel->control->GetDeviceResult(102)), std::vector<int>{TEMPLATE_RESULT_ENCODE});
    EXPECT_TRUE(Ok(panel->control->GetDeviceResult(103)));
    // A device that answers the Encode write with an error has not taken it.
    EXPECT_EQ(Flags(panel->control->GetDeviceResult(104)), std::vector<int>{TEMPLATE_RESULT_ENCODE});
    // FileManage 3 selects the night set; channel 2 still got its day/night mode.
    EXPECT_EQ(RecordAs<NET_VIDEOIN_DAYNIGHT_INFO>(Record(1, NET_EM_CFG_VIDEOIN_DAYNIGHT, 2, 1)).emDayNight, 1);
    EXPECT_TRUE(Record(1, NET_EM_CFG_VIDEOIN_DAYNIGHT, 1, 1).empty());
    EXPECT_EQ(RecordAs<NET_VIDEOIN_COLOR_INFO>(Record(1, NET_EM_CFG_VIDEOIN_COLOR, 1, 1)).nBrightness, 60);

    // A template that vanished after it was chosen fails every device instead of passing it.
    panel->control->ClearDevices();
    AddDevice(*panel->control, 3);
    RunAll(*panel, folder_.Path("gone.xml"));
    EXPECT_EQ(Flags(panel->control->GetDeviceResult(103)),
              (std::vector<int>{TEMPLATE_RESULT_VIDEOCOLOR, TEMPLATE_RESULT_BLCMODE, TEMPLATE_RESULT_DAYNIGHT,
                                TEMPLATE_RESULT_ENCODE}));
}

// A template whose sections are all switched off still logs in and out and passes the device,
// writing nothing.
TEST_F(ApplyRun, DisabledSectionsWriteNothing)
{
    StartFleet({Device("IPC", 1)});
    std::string text = tplfiles::Template("IPC", "\n", 4);
    for (const char* s : {"VideoColor", "BLCMode", "DayNightMode", "FileManageMode", "Encode"})
        text = tplfiles::Replace(text, std::string("<") + s + " enable=\"1\"", std::string("<") + s + " enable=\"0\"");
    const std::string path = folder_.Write("off.xml", text);
    auto panel = Panel::Make();
    AddDevice(*panel->control, 0);
    RunAll(*panel, path);
    EXPECT_TRUE(Ok(panel->control->GetDeviceResult(100)));
    EXPECT_TRUE(fleet_->StateOf(0).records.empty());
}

// The configuration set of each FileManage value; by time, the window includes both ends.
TEST(ApplyConfigSet, FileManageChoosesTheSet)
{
    tagTEMPLATE_FILEMANAGE fm{};
    fm.StartTimeHour = 8, fm.StartTimeMinute = 30, fm.EndTimeHour = 18, fm.EndTimeMinute = 45, fm.EndTimeSecond = 15;
    const int start = 8 * 3600 + 30 * 60, end = 18 * 3600 + 45 * 60 + 15;
    struct Case {
        int fileManage;
        int now;
        int set;
    } cases[] = {
        {0, 0, 0},           {1, 0, 0},     {3, 0, 1},     {4, 0, 2},        {7, 0, 0},
        {2, start, 0},       {2, end, 0},   {2, start - 1, 1}, {2, end + 1, 1}, {2, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fileManage) + " at " + std::to_string(c.now));
        fm.FileManage = c.fileManage;
        EXPECT_EQ(CTemplateConfigLogic::ConfigSetOf(fm, c.now), c.set);
    }
    // A window that starts after it ends holds no time.
    std::swap(fm.StartTimeHour, fm.EndTimeHour);
    fm.FileManage = 2;
    EXPECT_EQ(CTemplateConfigLogic::ConfigSetOf(fm, 12 * 3600), 1);
}

// What the worker does when a device cannot say how it is built: camera states unreadable, every
// channel is configured; system attributes and clock unreadable, one channel, and the clock
// counts as midnight (outside an 8:30 to 18:45 window: the night set).
TEST_F(ApplyRun, UnreadableDeviceFactsFallBack)
{
    std::vector<devsim::DeviceState> devs = {Device("NVR", 3), Device("NVR", 4)};
    devs[0].cameraStates = {0, 0, 0};
    devs[0].failOps[devsdk::wire::kOpCaps] = SDK_ERROR;
    devs[1].failOps[devsdk::wire::kOpGetDevConfig] = SDK_ERROR;
    StartFleet(devs);
    const std::string path = folder_.Write("t.xml", tplfiles::Template("NVR", "\n", 2));
    auto panel = Panel::Make();
    AddDevice(*panel->control, 0);
    AddDevice(*panel->control, 1);
    RunAll(*panel, path);
    EXPECT_TRUE(Ok(panel->control->GetDeviceResult(100)));
    EXPECT_TRUE(Ok(panel->control->GetDeviceResult(101)));
    // Its own clock decides day or night.
    for (int ch = 0; ch < 3; ++ch)
        EXPECT_TRUE(!Record(0, NET_EM_CFG_VIDEOIN_DAYNIGHT, ch, 0).empty() ||
                    !Record(0, NET_EM_CFG_VIDEOIN_DAYNIGHT, ch, 1).empty())
            << ch;
    EXPECT_FALSE(Record(1, NET_EM_CFG_VIDEOIN_DAYNIGHT, 0, 1).empty());
    EXPECT_TRUE(Record(1, NET_EM_CFG_VIDEOIN_DAYNIGHT, 1, 1).empty());
    auto sw = RecordAs<NET_VIDEOIN_SWITCH_MODE_INFO>(Record(1, NET_EM_CFG_VIDEOIN_SWITCHMODE, 0, 0));
    EXPECT_EQ(sw.emSwitchMode, 2);
    EXPECT_EQ(sw.nDayStartHour, 8);
    EXPECT_EQ(sw.nDayEndSecond, 15);
}

// The control's bookkeeping without devices behind it: a pair already listed is not added twice,
// a MAC in another letter case is another device, an unknown row reads as not started, and a
// run without devices ends at once instead of staying busy.
TEST(ApplyControl, DeviceListAndEmptyRun)
{
    EnsureLoops();
    auto panel = Panel::Make();
    CTemplateConfigUILogic& c = *panel->control;
    c.AddDevice(0, "127.0.0.5", "admin", "x", "3c:ef:00:00:00:01", 1, 0);
    c.AddDevice(0, "127.0.0.5", "admin", "x", "3c:ef:00:00:00:01", 2, 0);
    c.AddDevice(0, "127.0.0.5", "admin", "x", "3C:EF:00:00:00:01", 3, 0);
    c.AddDevice(0, "127.0.0.5", "admin", "x", "3c:ef:00:00:00:02", 4, 0);
    EXPECT_EQ(c.GetDeviceCount(), 3u);
    EXPECT_EQ(c.FindDevice("127.0.0.5", "3C:EF:00:00:00:01"), 1);
    EXPECT_EQ(c.FindDevice("127.0.0.6", "3c:ef:00:00:00:01"), -1);
    TEMPLATE_RESULT_SET unknown = c.GetDeviceResult(99);
    EXPECT_TRUE(unknown.Test(TEMPLATE_RESULT_NOT_STARTED));
    for (int f = 1; f < 128; ++f)
        EXPECT_FALSE(unknown.Test(f)) << f;

    c.Stop();  // idle: only the flag, which the next start clears
    c.ClearDevices();
    EXPECT_EQ(c.GetDeviceCount(), 0u);
    c.StartConfig();
    EXPECT_EQ(c.IsConfiguring(), 0);
    EXPECT_EQ(panel->finished, 1);
}
