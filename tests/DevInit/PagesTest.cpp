// The wizard's pages on their own: the list's sorting and ticks, the password page's checks and
// modes, the cloud page's options.
#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include <cstring>

#include "IpTestSupport.h"
#include "ShellTestSupport.h"

#include "DevInit/CDevInitUILogic.h"
#include "DevInit/CInitDevCloudEventImp.h"
#include "DevInit/CInitDevEventImp.h"
#include "DevInit/CSearchDevUninitEventImp.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/DeviceListPeers.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFStatic.h"

namespace {

std::shared_ptr<DEVICE_INFO> NewDevice(const char* ip, const char* mac, const char* type = "IPC")
{
    auto d = std::make_shared<DEVICE_INFO>();
    std::memset(d.get(), 0, sizeof(DEVICE_INFO));
    d->stNetInfo.nIpVersion = 4;
    std::strcpy(d->stNetInfo.szIpAddr, ip);
    std::strcpy(d->stNetInfo.szMacAddr, mac);
    std::strcpy(d->stNetInfo.szTypeName, type);
    std::strcpy(d->stNetInfo.szDetailName, "IPC-T1");
    d->stNetInfo.byInitState = 1;
    d->bBroadcast = 1;
    return d;
}

std::wstring Cell(CSFListCtrl* list, int row, int col)
{
    wchar_t buf[64] = {};
    list->GetItemText(row, col, buf, 63);
    return buf;
}

void Type(CSFEditCtrl* edit, const char* text)
{
    edit->SetWindowTextW(L"");
    QTest::keyClicks(dynamic_cast<QWidget*>(edit), QString::fromUtf8(text));
}

struct Pages {
    std::shared_ptr<CMainFrameEventImp> frame = shelltest::MakeMainWindow();
    std::shared_ptr<CDeviceListUILogic> list = frame->GetDeviceListUILogic();
    std::shared_ptr<CDevInitUILogic> wizard;
    Pages()
    {
        frame->GetSearchDevPage()->GetPeers()->DevInit_Reset();
        wizard = list->GetDevInitUILogic();
    }
};

} // namespace

TEST(UninitialisedList, HeaderClicksSortByAddressAndKeepTheUsersTicks)
{
    Pages p;
    auto page = p.wizard->GetUninitPage();
    CSFListCtrl* rows = page->GetListCtrl();
    const char* ips[] = {"127.63.1.3", "127.63.1.20", "127.63.1.100", "127.63.1.9"};
    for (int i = 0; i < 4; ++i) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "AA:00:00:00:00:%02d", i);
        p.list->GetDeviceList().push_back(NewDevice(ips[i], mac));
        p.wizard->AddUninitDevice(&p.list->GetDeviceList().back()->stNetInfo);
    }
    // An IPv6 device and one without a type are not listed.
    auto v6 = NewDevice("127.63.1.50", "AA:00:00:00:00:50");
    v6->stNetInfo.nIpVersion = 6;
    p.wizard->AddUninitDevice(&v6->stNetInfo);
    auto untyped = NewDevice("127.63.1.51", "AA:00:00:00:00:51", "");
    std::strcpy(untyped->stNetInfo.szDetailName, "");
    p.wizard->AddUninitDevice(&untyped->stNetInfo);
    ASSERT_EQ(rows->GetItemCount(), 4);
    wchar_t count[16] = {};
    page->GetCountLabel()->GetStaticText(count, 16);
    EXPECT_STREQ(count, L"4");

    rows->SetCheck(1, 0); // the user leaves .20 out
    int column = 4;
    page->OnHeaderClicked(&column, 0);
    std::vector<std::wstring> order;
    for (int r = 0; r < 4; ++r)
        order.push_back(Cell(rows, r, 4));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"127.63.1.100", L"127.63.1.20", L"127.63.1.9", L"127.63.1.3"}));
    EXPECT_EQ(Cell(rows, 0, 1), L"1");
    EXPECT_EQ(rows->IsCheck(1), 0) << ".20 stays unticked";
    EXPECT_EQ(rows->IsCheck(0) + rows->IsCheck(2) + rows->IsCheck(3), 3);
    page->OnHeaderClicked(&column, 0);
    EXPECT_EQ(Cell(rows, 0, 4), L"127.63.1.3");
    EXPECT_EQ(Cell(rows, 2, 4), L"127.63.1.20");
    EXPECT_EQ(rows->IsCheck(2), 0);

    // "Initialize" passes the ticked devices; with none it refuses.
    page->OnBtnInitialize();
    EXPECT_EQ(page->GetSelection().size(), 3u);
    for (int r = 0; r < 4; ++r)
        rows->SetCheck(r, 0);
    iptest::ModalReader reader;
    page->OnBtnInitialize();
    EXPECT_EQ(reader.Texts(), std::vector<std::wstring>{L"Please select one device at least."});
    EXPECT_TRUE(page->GetSelection().empty());
}

TEST(PasswordPage, NextChecksInOrderAndFillsTheAccount)
{
    Pages p;
    auto page = p.wizard->GetPasswordPage();
    struct Case {
        const char *password, *confirm;
        bool phone, contactOn;
        const wchar_t* contact;
        std::wstring message; // empty: accepted
    } cases[] = {
        {"Abc1234", "Abc1234", true, false, L"", L"New Password length can't be less than 8 bytes."},
        {"abcdefgh", "abcdefgh", true, false, L"", L"Password input error."},
        {"12345678", "12345678", true, false, L"", L"Password input error."},
        {"Abcd1234", "abcd1234", true, false, L"", L"New passwords do not match."},
        {"Abcd1234", "Abcd1234", true, true, L"1380013800", L"Phone number must be 11 numbers."},
        {"Abcd1234", "Abcd1234", true, true, L"13800138000", L""},
        {"Abcd1234", "Abcd1234", true, false, L"", L""},
        {"Abcd1234", "Abcd1234", false, true, L"", L"Email address can't be empty."},
        {"Abcd1234", "Abcd1234", false, true, L"ops@example", L"Email address format error."},
        {"Abcd1234", "Abcd1234", false, true, L"ops@example.com", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.password) + " " + QString::fromWCharArray(c.contact).toStdString());
        page->ResetInputs();
        page->SetResetMode(c.phone ? 1 : 0, 2);
        Type(page->GetPasswordEdit(), c.password);
        Type(page->GetConfirmEdit(), c.confirm);
        page->GetContactCheck()->SetCheck(c.contactOn ? 1 : 0);
        page->GetContactEdit()->SetWindowTextW(c.contact);
        iptest::ModalReader reader;
        page->OnBtnNext();
        if (!c.message.empty()) {
            EXPECT_EQ(reader.Texts(), std::vector<std::wstring>{c.message});
            continue;
        }
        EXPECT_TRUE(reader.Texts().empty());
        const NET_IN_INIT_DEVICE_ACCOUNT& a = page->GetAccountRecord();
        EXPECT_STREQ(a.szUserName, "admin");
        EXPECT_STREQ(a.szPwd, c.password);
        const std::string contact = c.contactOn ? QString::fromWCharArray(c.contact).toStdString() : "";
        EXPECT_EQ(std::string(a.szCellPhone), c.phone ? contact : "");
        EXPECT_EQ(std::string(a.szMail), c.phone ? "" : contact);
    }
}

TEST(PasswordPage, ModesStrengthAndVideoStandard)
{
    Pages p;
    auto page = p.wizard->GetPasswordPage();
    auto text = [](CSFStatic* s) {
        wchar_t buf[64] = {};
        s->GetStaticText(buf, 64);
        return std::wstring(buf);
    };
    int offered = -1, standard = -1;
    // Phone mode never offers P/N, whatever the device says.
    page->SetResetMode(1, 2);
    EXPECT_EQ(text(page->GetContactLabel()), L"Cell Phone No.");
    page->GetVideoStandard(offered, standard);
    EXPECT_EQ(offered, 0);
    // E-mail mode offers it when the device does; the second item is N.
    page->SetResetMode(0, 2);
    EXPECT_EQ(text(page->GetContactLabel()), L"Email Address");
    page->GetStandardCombo()->SetCurSel(1);
    page->GetVideoStandard(offered, standard);
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(standard, 2);
    page->SetResetMode(0, 0);
    page->GetVideoStandard(offered, standard);
    EXPECT_EQ(offered, 0);
    // Exactly one strength label while the field holds text; none when it is emptied.
    struct { const char* typed; int level; } strengths[] = {{"abc", 1}, {"Abcdef12", 2}, {"Abcdef12!#", 3}};
    for (const auto& s : strengths) {
        Type(page->GetPasswordEdit(), s.typed);
        EXPECT_EQ(page->GetShownStrength(), s.level) << s.typed;
    }
    QTest::keyClick(dynamic_cast<QWidget*>(page->GetPasswordEdit()), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(dynamic_cast<QWidget*>(page->GetPasswordEdit()), Qt::Key_Delete);
    EXPECT_EQ(page->GetShownStrength(), 0);
    // A new run starts with both markers hidden and both fields empty.
    Type(page->GetConfirmEdit(), "ab ");
    auto* marker = dynamic_cast<QWidget*>(page->GetConfirmMarker());
    EXPECT_TRUE(marker->isVisibleTo(marker->parentWidget()));
    page->ResetInputs();
    EXPECT_FALSE(marker->isVisibleTo(marker->parentWidget()));
}

TEST(CloudPage, OptionsAreOnAtEveryRunAndIndependent)
{
    Pages p;
    auto page = p.wizard->GetCloudPage();
    page->GetCloudToggle()->SetCheck(0);
    page->GetAutoCheckToggle()->SetCheck(0);
    int cloud = -1, autoCheck = -1;
    page->GetOptions(cloud, autoCheck);
    EXPECT_EQ(cloud + autoCheck, 0);
    page->CheckAllOptions();
    page->GetOptions(cloud, autoCheck);
    EXPECT_EQ(cloud, 1);
    EXPECT_EQ(autoCheck, 1);
    QTest::mouseClick(dynamic_cast<QWidget*>(page->GetCloudToggle()), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    page->GetOptions(cloud, autoCheck);
    EXPECT_EQ(cloud, 0);
    EXPECT_EQ(autoCheck, 1);
}
