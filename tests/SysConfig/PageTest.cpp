// The system configuration page offscreen: the device tree's groups, order and filter, the tab
// page's sections, field rules and messages, and each operation started with the values of
// the page, read back from emulated devices.
#include "PageTestSupport.h"
#include "SysConfigTestSupport.h"

#include <QWidget>

#include "SysConfig/CConfigUILogic.h"
#include "SysConfig/CModifyPasswordDlg.h"
#include "SysConfig/CSysTabEventImp.h"
#include "SysConfig/CSysTreeEventImp.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFTreeCtrl.h"
#include "devsdk/DevSdk.h"

#include <cstring>

namespace {

devsim::DeviceState Device(const std::string& type, const std::string& ip, int ipVersion = 4)
{
    devsim::DeviceState s;
    s.type = type;
    s.ip = ip;
    s.serial = "SN-" + ip;
    s.mac = "00:11:22:33:44:" + std::to_string(10 + ip.back() - '0');
    s.initState = ipVersion;
    return s;
}

// Shown by the page (the page itself need not be on screen).
template <class T> bool Visible(T* control) { return !dynamic_cast<QWidget*>(control)->isHidden(); }

std::wstring Text(CSFEditCtrl* e) { return sysui::EditText(e, 300); }

// Types text into a field as a user would: the text changes, then the page's rule runs.
void Type(CSysTabEventImp& tab, UINT id, const std::wstring& text)
{
    tab.Edit(id)->SetWindowTextW(text.c_str());
    std::wstring copy = text;
    tab.EDIT_OnTextChange(id, &copy[0]);
}

// A click on a section tab: the box toggles, then the page hears of it.
void ClickTab(CSysTabEventImp& tab, int section)
{
    static const int ids[] = {1065, 1066, 1067, 1148, 1167};
    CSFRadioBox* box = tab.Tab(section);
    box->SetCheck(box->GetCheck() ? 0 : 1);
    tab.RADIO_OnClicked(box->GetCheck(), ids[section], POINT{0, 0});
}

} // namespace

TEST(SysConfigPage, TreeGroupsByClassInFixedOrderAndFilters)
{
    pagetest::PageRig rig;
    std::vector<devsim::DeviceState> states = {Device("NVR", "10.0.0.1"), Device("IPC", "10.0.0.2"),
                                               Device("DVR", "10.0.0.3"), Device("HCVR", "10.0.1.4"),
                                               Device("IPC", "10.0.1.5"), Device("Gadget", "10.0.0.6")};
    rig.SetDevices(states);
    auto v6 = pagetest::DeviceInfoOf(Device("IPC", "fe80::1"));
    v6->stNetInfo.nIpVersion = 6;
    rig.devices.push_back(v6);
    rig.File();
    EXPECT_EQ(rig.Groups(), (std::vector<std::wstring>{L"IPC", L"DVR", L"NVR", L"Others"}));
    EXPECT_EQ(rig.Rows(L"IPC"), (std::vector<std::wstring>{L"10.0.0.2", L"10.0.1.5"}));
    EXPECT_EQ(rig.Rows(L"DVR"), (std::vector<std::wstring>{L"10.0.0.3", L"10.0.1.4"}));

    struct {
        const char* filter;
        std::vector<std::wstring> groups;
        size_t rows;
    } cases[] = {
        {"dvr", {L"DVR"}, 2},
        {"10.0.1", {L"IPC", L"DVR"}, 2},
        {"", {L"IPC", L"DVR", L"NVR", L"Others"}, 6},
        {"nomatch", {}, 0},
    };
    auto tree = rig.page->GetTreePage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filter);
        tree->GetFilterEdit()->SetWindowTextW(QString(c.filter).toStdWString().c_str());
        tree->OnFilter();
        ASSERT_TRUE(systest::PumpUntil([&] { return rig.Groups() == c.groups; }, 5000));
        size_t rows = 0;
        for (const auto& g : rig.Groups())
            rows += rig.Rows(g).size();
        EXPECT_EQ(rows, c.rows);
    }

    // The filter is refused while a run is busy; the tree and the stored filter stay.
    rig.page->m_bConfiguring = 1;
    {
        pagetest::ModalDriver driver;
        tree->GetFilterEdit()->SetWindowTextW(L"ipc");
        tree->OnFilter();
        EXPECT_EQ(driver.Texts(), std::vector<std::wstring>{L"Setting,please wait..."});
    }
    rig.page->m_bConfiguring = 0;
    EXPECT_EQ(rig.page->GetFilterText(), "NOMATCH");
}

TEST(SysConfigPage, CheckedRowsCountRecordersBlockResetAndEmptySelectionIsRefused)
{
    pagetest::PageRig rig;
    rig.SetDevices({Device("IPC", "10.0.0.2"), Device("DVR", "10.0.0.3"), Device("IPC", "10.0.0.4")});
    rig.File();
    auto tab = rig.page->GetTabPage();
    auto tree = rig.page->GetTreePage();
    pagetest::ModalDriver driver;
    rig.page->StartSysConfig(SYSCONFIG_SYNC_PC, false);
    rig.Check("10.0.0.2");
    rig.Check("10.0.0.3");
    tree->OnItemCheckStateChanged(rig.Row("10.0.0.3"), 1);
    wchar_t band[128] = {};
    tab->Band()->GetStaticText(band, 127);
    EXPECT_EQ(std::wstring(band), L"You have choose 2 devices");

    tab->OnPasswordReset();
    EXPECT_EQ(driver.Texts(), (std::vector<std::wstring>{L"Please select one device.",
                                                         L"NVR or DVR can't be reset password."}));
    EXPECT_FALSE(rig.page->IsConfiguring());
    // Recorder groups stay enabled and checked after the refusal.
    EXPECT_TRUE(tree->IsRecorderChecked());
    tree->EnableRecorderGroups(false);
    EXPECT_TRUE(tree->IsRecorderChecked());
    tree->EnableRecorderGroups(true);

    rig.page->ClearDevices();
    tab->Band()->GetStaticText(band, 127);
    EXPECT_EQ(std::wstring(band), L"You have choose 0 devices");
}

TEST(SysConfigPage, TabSectionsSwitchAndDayListsFollowTheMonth)
{
    pagetest::PageRig rig;
    auto tab = rig.page->GetTabPage();
    EXPECT_TRUE(Visible(tab->Edit(1155)));
    ClickTab(*tab, CSysTabEventImp::kReboot);
    EXPECT_EQ(tab->GetCurrentSection(), CSysTabEventImp::kReboot);
    EXPECT_FALSE(Visible(tab->Edit(1155)));
    EXPECT_TRUE(Visible(tab->RebootDay()));
    EXPECT_FALSE(rig.page->IsPcTimeRefreshOn());
    // Clicking the current tab keeps it.
    ClickTab(*tab, CSysTabEventImp::kReboot);
    EXPECT_EQ(tab->Tab(CSysTabEventImp::kReboot)->GetCheck(), 1);

    // Password fields come back empty with grey bars and no error label.
    ClickTab(*tab, CSysTabEventImp::kPasswordModify);
    Type(*tab, 1151, L"abc def");
    EXPECT_TRUE(Visible(tab->ErrorLabel(1151)));
    ClickTab(*tab, CSysTabEventImp::kTiming);
    ClickTab(*tab, CSysTabEventImp::kPasswordModify);
    EXPECT_EQ(Text(tab->Edit(1151)), L"");
    EXPECT_FALSE(Visible(tab->ErrorLabel(1151)));

    ClickTab(*tab, CSysTabEventImp::kTiming);
    EXPECT_TRUE(rig.page->IsPcTimeRefreshOn());
    struct {
        bool end;
        int month;
        int days;
    } months[] = {{false, 1, 29}, {false, 3, 30}, {true, 0, 31}};
    for (const auto& m : months) {
        tab->MonthList(m.end)->SetCurSel(m.month);
        tab->SelectChanged(m.end ? 1139 : 1138, m.month);
        EXPECT_EQ(tab->DayList(m.end)->GetCount(), m.days) << m.month;
    }
    EXPECT_EQ(tab->DayList(false)->GetCount(), 30) << "the end month refills only its row";
    tab->Check(1136)->SetCheck(1);
    tab->RADIO_OnClicked(1, 1136, POINT{0, 0});
    EXPECT_EQ(tab->Check(1135)->GetCheck(), 0);
    EXPECT_EQ(tab->DayList(false)->GetCount(), 7);
    EXPECT_TRUE(Visible(tab->WeekList(true)));
    tab->SelectChanged(1138, 5);
    EXPECT_EQ(tab->DayList(false)->GetCount(), 7);

    tab->WeekList(false)->SetCurSel(4);
    tab->DayList(false)->SetCurSel(0);
    DST_PARAM p{};
    tab->GetDSTParam(p);
    EXPECT_EQ(p.dwSize, 96u);
    EXPECT_EQ(p.stDSTStart.dwSize, 28u);
    EXPECT_EQ(p.stDSTStart.nWeek, -1);
    EXPECT_EQ(p.stDSTStart.nDay, 0);
}

TEST(SysConfigPage, FieldRulesWhileTyping)
{
    pagetest::PageRig rig;
    auto tab = rig.page->GetTabPage();
    struct {
        UINT id;
        std::wstring typed, shown;
        bool error;
    } cases[] = {
        {1154, L"070", L"70", false},
        {1154, L"123456", L"65535", false},
        {1153, L"70000", L"65535", false},
        {1154, L"12a", L"0", false},
        {1153, L"", L"", false},
        {1155, std::wstring(65, L'a'), std::wstring(64, L'a'), false},
        {1151, L"abc def1", L"abcdef1", true},
        {1151, L"a;b;c123", L"ab;c123", true},
        {1151, L"abcdefg1", L"abcdefg1", false},
        {1152, L"x:y", L"xy", true},
        {1151, std::wstring(40, L'k'), std::wstring(32, L'k'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromStdWString(c.typed).toStdString());
        Type(*tab, c.id, c.typed);
        EXPECT_EQ(Text(tab->Edit(c.id)), c.shown);
        if (c.id == 1151 || c.id == 1152) {
            EXPECT_EQ(Visible(tab->ErrorLabel(c.id)), c.error);
        }
    }
    NTP_PARAM ntp{};
    Type(*tab, 1153, L"");
    tab->GetNTPParam(ntp);
    EXPECT_EQ(ntp.nUpdatePeriod, 0);
    EXPECT_EQ(ntp.nTimeZone, 13);
}

TEST(SysConfigPage, InputChecksShowTheirMessages)
{
    pagetest::PageRig rig;
    auto tab = rig.page->GetTabPage();
    struct {
        const wchar_t *old, *pwd, *confirm, *message;
    } cases[] = {
        {L"", L"Abc1234", L"Abc1234", L"New Password length can't be less than 8 bytes."},
        {L"", L"abcdefgh", L"abcdefgh", L"Password input error."},
        {L"", L"abcd1234", L"abcd1235", L"New passwords do not match."},
        {L"abcd1234", L"abcd1234", L"abcd1234", L"The new password is not allowed to be the same as the old password."},
    };
    for (const auto& c : cases) {
        pagetest::ModalDriver driver;
        tab->Edit(1150)->SetWindowTextW(c.old);
        tab->Edit(1151)->SetWindowTextW(c.pwd);
        tab->Edit(1152)->SetWindowTextW(c.confirm);
        tab->OnPasswordModifyOk();
        EXPECT_EQ(driver.Texts(), std::vector<std::wstring>{c.message});
    }
    for (const wchar_t* server : {L"", L"bad host", L"a:b"}) {
        pagetest::ModalDriver driver;
        tab->Edit(1155)->SetWindowTextW(server);
        tab->OnNtpSave();
        EXPECT_EQ(driver.Texts(),
                  std::vector<std::wstring>{L"NTP server name can only consist of numbers,letters,dots,underline,crossed."});
    }
    // A confirmation answered with Cancel starts nothing.
    pagetest::ModalDriver driver;
    driver.Answer(2);
    tab->OnReboot();
    tab->OnFactoryDefault();
    EXPECT_EQ(driver.Texts(), (std::vector<std::wstring>{L"Are you sure to reboot?", L"Are you sure to factory default?"}));
    EXPECT_EQ(rig.page->GetLastKind(), 0);
}

TEST(SysConfigPage, EachOperationReachesTheCheckedDevicesWithThePageValues)
{
    systest::ExternalFleet fleet;
    pagetest::EnsurePageEnvironment();
    ASSERT_TRUE(fleet.Start(3, [](size_t, devsim::DeviceState& s) { s.type = "IPC"; }));
    std::vector<devsim::DeviceState> states;
    for (size_t i = 0; i < fleet.Size(); ++i) {
        states.push_back(fleet.Device(i));
    }
    pagetest::PageRig rig;
    rig.SetDevices(states);
    for (auto& d : rig.devices)
        std::strcpy(d->szPassword, "admin123");
    rig.File();
    rig.Check(fleet.Device(0).ip);
    rig.Check(fleet.Device(1).ip);
    auto tab = rig.page->GetTabPage();
    auto run = [&](const std::function<void()>& press, int kind) {
        press();
        EXPECT_EQ(rig.page->GetLastKind(), kind);
        ASSERT_TRUE(systest::PumpUntil([&] { return !rig.page->IsConfiguring(); }));
        for (size_t i = 0; i < 2; ++i)
            EXPECT_EQ(rig.page->GetConfigUILogic()->GetConfigInfo()[i]->result, SYSCONFIG_ERR_SUCCESS) << kind;
        EXPECT_EQ(rig.page->GetConfigUILogic()->GetConfigInfo().size(), 2u);
    };

    // DST in Week mode: March, last week, Sunday, 02:30 to October, 1st week, Saturday.
    tab->Check(1012)->SetCheck(1);
    tab->Check(1136)->SetCheck(1);
    tab->RADIO_OnClicked(1, 1136, POINT{0, 0});
    tab->MonthList(false)->SetCurSel(2);
    tab->WeekList(false)->SetCurSel(4);
    tab->MonthList(true)->SetCurSel(9);
    tab->DayList(true)->SetCurSel(6);
    _SF_SYSTEMTIME t{2000, 1, 0, 1, 2, 30, 0, 0};
    tab->TimeCtrl(1)->SetTime(&t);
    run([&] { tab->OnDstSave(); }, SYSCONFIG_DST);
    DST_PARAM loc{};
    ASSERT_TRUE(systest::ReadLocales(fleet.Device(1).ip, loc));
    EXPECT_EQ(loc.bDSTEnable, 1);
    EXPECT_EQ(loc.stDSTStart.nMonth, 3);
    EXPECT_EQ(loc.stDSTStart.nWeek, -1);
    EXPECT_EQ(loc.stDSTStart.nDay, 0);
    EXPECT_EQ(loc.stDSTStart.nHour, 2);
    EXPECT_EQ(loc.stDSTStart.nMinute, 30);
    EXPECT_EQ(loc.stDSTEnd.nMonth, 10);
    EXPECT_EQ(loc.stDSTEnd.nWeek, 1);
    EXPECT_EQ(loc.stDSTEnd.nDay, 6);

    // NTP with a port typed as 070.
    tab->Check(1147)->SetCheck(1);
    Type(*tab, 1155, L"time.example.test");
    Type(*tab, 1154, L"070");
    Type(*tab, 1153, L"45");
    tab->TimeZone()->SetCurSel(20);
    run([&] { tab->OnNtpSave(); }, SYSCONFIG_NTP);
    NTP_PARAM ntp{};
    ASSERT_TRUE(systest::ReadNtp(fleet.Device(0).ip, ntp));
    EXPECT_EQ(ntp.bEnable, 1);
    EXPECT_STREQ(ntp.szServer, "time.example.test");
    EXPECT_EQ(ntp.nPort, 70);
    EXPECT_EQ(ntp.nUpdatePeriod, 45);
    EXPECT_EQ(ntp.nTimeZone, 20);

    // Automatic maintenance every day at 03:15.
    tab->RebootDay()->SetCurSel(7);
    _SF_SYSTEMTIME r{2000, 1, 0, 1, 3, 15, 0, 0};
    tab->TimeCtrl(1073)->SetTime(&r);
    run([&] { tab->OnAutoRebootOk(); }, SYSCONFIG_AUTO_REBOOT);
    AUTO_MAINTAIN_PARAM am{};
    ASSERT_TRUE(systest::ReadMaintain(fleet.Device(0).ip, am));
    EXPECT_EQ(am.nAutoRebootDay, 7);
    EXPECT_EQ(am.nAutoRebootHour, 3);
    EXPECT_EQ(am.nAutoRebootMinute, 15);

    // Manual time.
    _SF_SYSTEMTIME day{2031, 5, 0, 17, 0, 0, 0, 0}, clock{2000, 1, 0, 1, 8, 9, 10, 0};
    tab->TimeCtrl(1070)->SetDate(&day);
    tab->TimeCtrl(1071)->SetTime(&clock);
    run([&] { tab->OnManualSync(); }, SYSCONFIG_MANUAL_SYNC);
    SYNC_TIME_PARAM back{};
    ASSERT_TRUE(systest::ReadTime(fleet.Device(0).ip, back));
    EXPECT_EQ(back.nYear, 2031);
    EXPECT_EQ(back.nMonth, 5);
    EXPECT_EQ(back.nDay, 17);
    EXPECT_EQ(back.nHour, 8);

    // Password change of the two checked devices; the third keeps its password.
    tab->Edit(1150)->SetWindowTextW(L"admin123");
    tab->Edit(1151)->SetWindowTextW(L"Changed#789");
    tab->Edit(1152)->SetWindowTextW(L"Changed#789");
    run([&] { tab->OnPasswordModifyOk(); }, SYSCONFIG_MODIFY_PASSWORD);
    for (size_t i = 0; i < 3; ++i) {
        LONG h = systest::Login(fleet.Device(i).ip, i < 2 ? "Changed#789" : "admin123");
        EXPECT_NE(h, 0) << i;
        if (h)
            SdkLogout(h);
    }
}

TEST(SysConfigPage, PasswordDialogChecksInOrderAndHandsBothPasswordsOn)
{
    pagetest::EnsurePageEnvironment();
    auto dlg = CModifyPasswordDlg::Create({});
    dlg->ResetForSingleDevice();
    EXPECT_TRUE(dynamic_cast<QWidget*>(dlg->CountValue())->isHidden());
    struct {
        std::wstring old, pwd, confirm;
        const wchar_t* message;
    } cases[] = {
        {L"abcd1234", L"abcd1234", L"abcd1234",
         L"The new password is not allowed to be the same as the old password."},
        {L"abcd1234", L"abc1234", L"abc1234", L"New Password length can't be less than 8 bytes."},
        {L"", L"abcd1234", L"abcd1235", L"New passwords do not match."},
        {L"", L"New#pass1", L"New#pass1", nullptr},
        {std::wstring(64, L'o'), L"New#pass1", L"New#pass1", nullptr},
    };
    for (const auto& c : cases) {
        pagetest::ModalDriver driver;
        dlg->OldEdit()->SetWindowTextW(c.old.c_str());
        dlg->Passwords().newEdit->SetWindowTextW(c.pwd.c_str());
        dlg->Passwords().confirmEdit->SetWindowTextW(c.confirm.c_str());
        // Enter runs the same checks as OK.
        dlg->OnDlgKeyDown(0, 13);
        EXPECT_EQ(driver.Texts(), c.message ? std::vector<std::wstring>{c.message} : std::vector<std::wstring>{});
    }
    char pwd[33], old[64];
    dlg->GetPasswords(pwd, old);
    EXPECT_STREQ(pwd, "New#pass1");
    EXPECT_EQ(std::string(old), std::string(63, 'o'));
}
