// Manual Add as a user does it: the Manual Add button, typing into the dialog's controls, OK,
// and the device list afterwards, against emulated devices.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstring>

#include "ShellTestSupport.h"
#include "TestFleet.h"
#include "p2pserver/P2PServerSim.h"
#include "Proxy/ProxyClientConfig.h"
#include "ProxyServer/ProxyServerImpl.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "Common/AppSettings.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CLoginDevEventImp.h"
#include "Main/CLoginDevLogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/DeviceListText.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/SFListCtrl.h"

using namespace shelltest;

namespace {

enum { kPlain, kTwoCards, kUnreadable, kSilent, kIntercom, kDevices };

devsim::DeviceState MakeDevice(int kind, const std::string& ip)
{
    devsim::DeviceState s;
    s.ip = ip;
    s.type = "IPC-HFW2431";
    s.model = s.detail = "IPC-HFW2431S-S2";
    s.serial = "7K0AB1200" + std::to_string(kind);
    s.mac = "a0:bd:1d:00:10:0" + std::to_string(kind);
    s.version = "2.820.0000000.3.R";
    s.channels = 1;
    s.alarmIn = 2;
    s.alarmOut = 1;
    if (kind == kTwoCards) {
        s.type = "NVR4216-4KS2";
        s.serviceNic = "eth1";
        s.serviceNicIndex = 1;
        devsim::NetInterface other;
        other.name = "eth0";
        other.ip = "10.99.0.7";
        other.mask = "255.255.0.0";
        s.otherNics.push_back(other);
    }
    if (kind == kUnreadable)
        s.failOps[devsdk::wire::kOpGetNewConfig] = 0x80000017;
    if (kind == kSilent)
        s.hangOps.insert(devsdk::wire::kOpLogin);
    if (kind == kIntercom)
        s.type = "VTO-2202F";
    return s;
}

// What a test does with the dialog while it is open; message boxes on top of it are read and
// answered; the dialog is closed when the script has not closed it.
class ManualAdd : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureEnvironment();
        CAppSettings::SearchBoadcast = false;
        CAppSettings::SearchByIp = false;
        for (int attempt = 0; attempt < 8 && !fleet; ++attempt) {
            prefix = devtest::ProcessPrefix(attempt);
            fleet = std::make_unique<devsim::Fleet>();
            for (int i = 0; i < kDevices; ++i)
                fleet->Add(MakeDevice(i, Ip(i)));
            if (!fleet->Start())
                fleet.reset();
        }
        ASSERT_TRUE(fleet) << "no free loopback block";
        devsdk::SimOptions o;
        o.embedded = false;
        o.fleets = {Ip(0) + "+" + std::to_string(kDevices)};
        o.localIp = prefix + "1";
        devsdk::SetSimOptions(o);
        frame = MakeMainWindow();
        model = frame->GetDeviceListUILogic();
        page = frame->GetSearchDevPage();
        ASSERT_TRUE(ClearListAfterStartupSearch(frame));
        dlg = frame->GetLoginDevDlg();
        ASSERT_TRUE(dlg && dlg->GetDialog());
        WatchBoxes();
    }
    void TearDown() override
    {
        if (fleet)
            fleet->Stop();
    }

    std::string Ip(int i) const { return prefix + std::to_string(2 + i); }

    // Clicks the Manual Add button of the device page (or of the tool bar) and runs `script`
    // once the dialog is up; a dialog the script left open is closed.
    void Run(const std::function<void()>& script, bool toolBar = false)
    {
        QWidget* dialog = static_cast<QWidget*>(dlg->GetUIWnd());
        bool ran = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (ran || QApplication::activeModalWidget() != dialog)
                return;
            ran = true;
            script();
            if (dialog->isVisible())
                static_cast<QDialog*>(dialog)->reject();
        });
        poll.start(20);
        // The tool bar's button is created hidden: its command is run as its click would.
        if (toolBar)
            frame->GetToolBar()->OnManualAdd();
        else
            ClickButton(static_cast<QWidget*>(page->GetUIWnd()), CToolBarEventImp::ID_MANUAL_ADD);
        EXPECT_TRUE(ran);
    }

    // Reads and answers every message box (any modal dialog but Manual Add's).
    void WatchBoxes()
    {
        QObject::connect(&boxPoll, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            auto* box = qobject_cast<QDialog*>(modal);
            if (!box || modal == static_cast<QWidget*>(dlg->GetUIWnd()))
                return;
            std::wstring text;
            for (QWidget* child : box->findChildren<QWidget*>())
                if (auto* label = dynamic_cast<CSFStatic*>(child)) {
                    wchar_t buf[1024] = {};
                    label->GetStaticText(buf, 1023);
                    if (buf[0] && text.empty())
                        text = buf;
                }
            boxes.push_back(text);
            box->done(1);
        });
        boxPoll.start(10);
    }

    static void ClickButton(QWidget* parent, UINT id)
    {
        for (CSFQTButton* b : parent->findChildren<CSFQTButton*>())
            if (b->Id() == id && !b->isHidden()) {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no button " << id;
    }

    QLineEdit* Edit(CSFEditCtrl* e) { return dynamic_cast<QLineEdit*>(e); }

    static void Type(QLineEdit* e, const QString& text)
    {
        e->clear();
        e->setFocus();
        for (QChar c : text)
            e->insert(QString(c));
    }

    void TypeAddress(const std::string& ip)
    {
        auto* ctrl = dynamic_cast<QWidget*>(dlg->GetIpCtrl());
        ASSERT_NE(ctrl, nullptr);
        QList<QLineEdit*> fields = ctrl->findChildren<QLineEdit*>();
        ASSERT_EQ(fields.size(), 4);
        const QStringList parts = QString::fromStdString(ip).split('.');
        for (int i = 0; i < 4; ++i) {
            fields[i]->clear();
            if (i < parts.size())
                QTest::keyClicks(fields[i], parts[i]);
        }
    }

    void Fill(const std::string& ip, const char* user, const char* password, const char* port)
    {
        dynamic_cast<QComboBox*>(dlg->GetAddTypeCombo())->setCurrentIndex(0);
        TypeAddress(ip);
        Type(Edit(dlg->GetUserEdit()), QString::fromUtf8(user));
        Type(Edit(dlg->GetPasswordEdit()), QString::fromUtf8(password));
        Type(Edit(dlg->GetPortEdit()), QString::fromUtf8(port));
    }

    void PressOK() { QTest::mouseClick(dynamic_cast<QPushButton*>(dlg->GetOkButton()), Qt::LeftButton); }

    DevicePtr Listed(const std::string& ip)
    {
        for (const DevicePtr& d : model->GetDeviceList())
            if (FIELD_TEXT(d->stNetInfo.szIpAddr) == ip)
                return d;
        return nullptr;
    }

    std::wstring RowIp(int row)
    {
        wchar_t buf[64] = {};
        page->GetListCtrl()->GetItemText(row, 5, buf, 63);
        return buf;
    }

    std::string prefix;
    std::unique_ptr<devsim::Fleet> fleet;
    std::shared_ptr<CMainFrameEventImp> frame;
    std::shared_ptr<CDeviceListUILogic> model;
    std::shared_ptr<CSearchDevEventImp> page;
    std::shared_ptr<CLoginDevEventImp> dlg;
    QTimer boxPoll;
    std::vector<std::wstring> boxes;
};

} // namespace

TEST_F(ManualAdd, DeviceAddedByAddressShowsWhatTheDeviceReported)
{
    Run([&] {
        Fill(Ip(kPlain), "admin", "admin123", "37777");
        PressOK();
    });
    ASSERT_TRUE(WaitUntil([&] { return Listed(Ip(kPlain)) != nullptr && !dlg->IsAdding(); }));
    EXPECT_TRUE(boxes.empty()) << (boxes.empty() ? "" : WideToUtf8(boxes[0]));
    DevicePtr d = Listed(Ip(kPlain));
    const DEVICE_NET_INFO_EX& n = d->stNetInfo;
    EXPECT_EQ(d->bManual, 1);
    EXPECT_EQ(d->bP2P, 0);
    EXPECT_STREQ(d->szUser, "admin");
    EXPECT_STREQ(d->szPassword, "admin123");
    EXPECT_EQ(n.nIpVersion, 4);
    EXPECT_EQ(n.nPort, 37777);
    EXPECT_EQ(n.wWebPort, 443);
    EXPECT_STREQ(n.szTypeName, "IPC");
    EXPECT_STREQ(n.szDetailName, "IPC-HFW2431");
    EXPECT_STREQ(n.szModelName, "IPC-HFW2431S-S2");
    EXPECT_STREQ(n.szMacAddr, "a0:bd:1d:00:10:00");
    EXPECT_STREQ(n.szSoftVersion, "2.820.0000000.3.R");
    EXPECT_STREQ(n.szSerialNumber, "7K0AB12000");
    EXPECT_STREQ(n.szNetMask, "255.0.0.0");
    EXPECT_EQ(n.wVideoInCount, 1);
    EXPECT_EQ(n.wAlarmInCount, 2);
    EXPECT_EQ(n.wAlarmOutCount, 1);
    ASSERT_EQ(page->GetListCtrl()->GetItemCount(), 1);
    EXPECT_EQ(RowIp(0), Utf8ToWide(Ip(kPlain).c_str()));

    // The same address again, from the tool bar: refused, the dialog stays open.
    Run(
        [&] {
            Fill(Ip(kPlain), "admin", "admin123", "37777");
            PressOK();
        },
        true);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"IP address has existed.");
    EXPECT_FALSE(dlg->IsAdding());
    EXPECT_EQ(model->GetDeviceList().size(), 1u);
}

// The device answers on its second card: the record takes that card's address, mask and MAC.
// An empty port field logs in on the usual port.
TEST_F(ManualAdd, DeviceOnItsSecondCardIsBuiltFromThatCard)
{
    Run([&] {
        Fill(Ip(kTwoCards), "admin", "admin123", "");
        PressOK();
    });
    ASSERT_TRUE(WaitUntil([&] { return Listed(Ip(kTwoCards)) != nullptr; }));
    const DEVICE_NET_INFO_EX& n = Listed(Ip(kTwoCards))->stNetInfo;
    EXPECT_STREQ(n.szMacAddr, "a0:bd:1d:00:10:01");
    EXPECT_STREQ(n.szNetMask, "255.0.0.0");
    EXPECT_STREQ(n.szDeviceName, "eth1");
    EXPECT_STREQ(n.szTypeName, "NVR");
    EXPECT_EQ(n.nPort, 37777);
}

// While one add waits for its device, a second OK is refused: the two would share the answers.
TEST_F(ManualAdd, SecondAddWaitsForTheFirst)
{
    Run([&] {
        Fill(Ip(kSilent), "admin", "admin123", "37777");
        PressOK();
    });
    ASSERT_TRUE(dlg->IsAdding());
    Run([&] {
        Fill(Ip(kPlain), "admin", "admin123", "37777");
        PressOK();
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Manual add,please wait...");
    ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 2; }, 30000));
    EXPECT_EQ(boxes[1].rfind(L"Login Failed\n" + Utf8ToWide(Ip(kSilent).c_str()) + L"\n", 0), 0u) << WideToUtf8(boxes[1]);
    EXPECT_FALSE(dlg->IsAdding());
    EXPECT_TRUE(model->GetDeviceList().empty());
}

TEST_F(ManualAdd, RefusedOrFailedAddsSayWhy)
{
    // An address with an empty part: refused while the dialog is open, nothing posted.
    Run([&] {
        Fill(prefix + "2", "admin", "admin123", "37777");
        auto fields = dynamic_cast<QWidget*>(dlg->GetIpCtrl())->findChildren<QLineEdit*>();
        fields[3]->clear();
        PressOK();
    });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], L"Invalid IP address.");
    EXPECT_FALSE(dlg->IsAdding());

    // A wrong password: the dialog closes, the login fails and says so.
    Run([&] {
        Fill(Ip(kPlain), "admin", "wrong-password", "37777");
        PressOK();
    });
    ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 2; }));
    EXPECT_EQ(boxes[1], L"Login Failed\n" + Utf8ToWide(Ip(kPlain).c_str()) + L"\nIncorrect password.");

    // A door station logs in but is not taken into the list.
    Run([&] {
        Fill(Ip(kIntercom), "admin", "admin123", "37777");
        PressOK();
    });
    ASSERT_TRUE(WaitUntil([&] { return boxes.size() == 3; }));
    EXPECT_EQ(boxes[2], L"Failed to add device:" + Utf8ToWide(Ip(kIntercom).c_str()) +
                            L", please try to use other tool in Package Center.");
    EXPECT_TRUE(model->GetDeviceList().empty());
    EXPECT_FALSE(dlg->IsAdding());
}

// A device whose configuration cannot be read goes to the single-address search, which adds it.
TEST_F(ManualAdd, DeviceThatCannotBeReadGoesToTheAddressSearch)
{
    bool searched = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { searched = searched || model->IsManualAdding(); });
    watch.start(1);
    Run([&] {
        Fill(Ip(kUnreadable), "admin", "admin123", "37777");
        PressOK();
    });
    ASSERT_TRUE(WaitUntil([&] { return Listed(Ip(kUnreadable)) != nullptr && !model->IsManualAdding(); }, 30000));
    EXPECT_TRUE(searched);
    EXPECT_STREQ(Listed(Ip(kUnreadable))->stNetInfo.szMacAddr, "a0:bd:1d:00:10:02");
}

// Adding by serial number: the address and port rows give way to the serial row; a P2P server
// whose name does not resolve is named in the message.
TEST_F(ManualAdd, SerialNumberAddSaysWhenTheServerCannotBeResolved)
{
    setenv("VX_P2P_SERVER", "p2p.nohost.invalid:8800", 1);
    bool addressHidden = false, serialShown = false, accountShown = false;
    Run([&] {
        dynamic_cast<QComboBox*>(dlg->GetAddTypeCombo())->setCurrentIndex(1);
        addressHidden = !dynamic_cast<QWidget*>(dlg->GetIpCtrl())->isVisible() &&
                        !Edit(dlg->GetPortEdit())->isVisible();
        serialShown = Edit(dlg->GetSerialEdit())->isVisible();
        accountShown = Edit(dlg->GetUserEdit())->isVisible() && Edit(dlg->GetPasswordEdit())->isVisible();
        Type(Edit(dlg->GetSerialEdit()), QStringLiteral("7K0AB12000"));
        PressOK();
    });
    EXPECT_TRUE(addressHidden);
    EXPECT_TRUE(serialShown);
    EXPECT_TRUE(accountShown);
    ASSERT_TRUE(WaitUntil([&] { return !boxes.empty(); }, 30000));
    EXPECT_NE(boxes[0].find(L"p2p.nohost.invalid"), std::wstring::npos) << WideToUtf8(boxes[0]);
    EXPECT_TRUE(model->GetDeviceList().empty());
    EXPECT_FALSE(dlg->IsAdding());
    unsetenv("VX_P2P_SERVER");
}

// A serial number the P2P server does not know: the client gets online, the device never does.
TEST_F(ManualAdd, UnknownSerialNumberFailsToLogIn)
{
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    const std::string where = "127.0.0.1:" + std::to_string(server.Port());
    setenv("VX_P2P_SERVER", where.c_str(), 1);
    Run([&] {
        dynamic_cast<QComboBox*>(dlg->GetAddTypeCombo())->setCurrentIndex(1);
        Type(Edit(dlg->GetSerialEdit()), QStringLiteral("NOSUCHSERIAL1"));
        PressOK();
    });
    // The GUI keeps answering while the worker polls the server.
    bool responsive = false;
    QTimer::singleShot(50, [&] { responsive = true; });
    ASSERT_TRUE(WaitUntil([&] { return !boxes.empty(); }, 60000));
    EXPECT_TRUE(responsive);
    EXPECT_EQ(boxes[0].rfind(L"Login Failed\nNOSUCHSERIAL1\n", 0), 0u) << WideToUtf8(boxes[0]);
    EXPECT_TRUE(model->GetDeviceList().empty());
    EXPECT_FALSE(dlg->IsAdding());
    unsetenv("VX_P2P_SERVER");
}

namespace {

// The device's own service port on the device side of the proxy: 127.0.0.1:37777, carried to the
// emulated device.
class Forwarder {
public:
    Forwarder(const std::string& ip, int port) : ip_(ip), port_(port)
    {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(37777);
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ok_ = bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) == 0 && listen(fd_, 16) == 0;
        if (ok_)
            accept_ = std::thread([this] { Run(); });
    }
    ~Forwarder()
    {
        stop_ = true;
        if (accept_.joinable())
            accept_.join();
        for (auto& t : pipes_)
            t.join();
        close(fd_);
    }
    bool Ok() const { return ok_; }

private:
    void Run()
    {
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0)
                continue;
            const int in = accept(fd_, nullptr, nullptr);
            if (in < 0)
                continue;
            const int out = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in sa{};
            sa.sin_family = AF_INET;
            sa.sin_port = htons(uint16_t(port_));
            inet_pton(AF_INET, ip_.c_str(), &sa.sin_addr);
            if (connect(out, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
                close(in);
                close(out);
                continue;
            }
            pipes_.emplace_back([this, in, out] { Pipe(in, out); });
        }
    }
    void Pipe(int a, int b)
    {
        char buf[65536];
        while (!stop_) {
            pollfd p[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
            if (poll(p, 2, 20) <= 0)
                continue;
            bool closed = false;
            for (int k = 0; k < 2 && !closed; ++k) {
                if (!(p[k].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const ssize_t n = recv(p[k].fd, buf, sizeof buf, 0);
                if (n <= 0 || send(p[1 - k].fd, buf, size_t(n), MSG_NOSIGNAL) != n)
                    closed = true;
            }
            if (closed)
                break;
        }
        close(a);
        close(b);
    }
    std::string ip_;
    int port_;
    int fd_ = -1;
    bool ok_ = false;
    std::atomic<bool> stop_{false};
    std::thread accept_;
    std::vector<std::thread> pipes_;
};

} // namespace

// A device behind its proxy server, registered at the P2P server: added by its serial number, it
// is listed with the mapped local port.
TEST_F(ManualAdd, DeviceAddedBySerialNumberThroughTheProxy)
{
    Forwarder service(Ip(kPlain), 37777);
    if (!service.Ok())
        GTEST_SKIP() << "127.0.0.1:37777 is taken";
    p2psim::ServerOptions options;
    p2psim::P2PServerSim server(options);
    ASSERT_TRUE(server.Start()) << server.Error();
    Orvan::Memory::TSharedPtr<Orvan::Tou::CProxyServerConfig> config(new Orvan::Tou::CProxyServerConfig);
    config->setConfig(Orvan::Tou::proxyOptLocal, 0);
    Orvan::Tou::CProxyServerImpl device("127.0.0.1", server.Port(), "", "7K0AB12000", 0, 0, "", config);
    ASSERT_TRUE(WaitUntil([&] { return device.getState() == 3; }, 10000));
    const std::string where = "127.0.0.1:" + std::to_string(server.Port());
    setenv("VX_P2P_SERVER", where.c_str(), 1);
    Run([&] {
        dynamic_cast<QComboBox*>(dlg->GetAddTypeCombo())->setCurrentIndex(1);
        Type(Edit(dlg->GetSerialEdit()), QStringLiteral("7K0AB12000"));
        Type(Edit(dlg->GetUserEdit()), QStringLiteral("admin"));
        Type(Edit(dlg->GetPasswordEdit()), QStringLiteral("admin123"));
        PressOK();
    });
    ASSERT_TRUE(WaitUntil([&] { return Listed(Ip(kPlain)) != nullptr || !boxes.empty(); }, 60000));
    unsetenv("VX_P2P_SERVER");
    ASSERT_TRUE(boxes.empty()) << WideToUtf8(boxes[0]);
    DevicePtr d = Listed(Ip(kPlain));
    EXPECT_EQ(d->bP2P, 1);
    EXPECT_NE(d->stNetInfo.nPort, 0);
    EXPECT_STREQ(d->stNetInfo.szSerialNumber, "7K0AB12000");
    EXPECT_FALSE(dlg->IsAdding());
}

TEST_F(ManualAdd, FieldsKeepTheirLimitsWhileTyping)
{
    const std::string longPassword(70, 'p'), cutPassword(63, 'p');
    struct Case {
        int field;
        const char* typed;
        const char* shown;
    } cases[] = {
        {CLoginDevEventImp::ID_PORT, "37777", "37777"},
        {CLoginDevEventImp::ID_PORT, "123456", "65535"},
        {CLoginDevEventImp::ID_PORT, "70000", "65535"},
        {CLoginDevEventImp::ID_PORT, "12a", "0"},
        {CLoginDevEventImp::ID_PORT, "x", "0"},
        {CLoginDevEventImp::ID_PORT, "0080", "80"},
        {CLoginDevEventImp::ID_USER, "abcdefghijklmnopqrstuvwxyz0123456789ABCD", "abcdefghijklmnopqrstuvwxyz01234"},
        {CLoginDevEventImp::ID_USER, "用户用户用户用户用户用户用户", "用户用户用户用户用户"},
        {CLoginDevEventImp::ID_PASSWORD, longPassword.c_str(), cutPassword.c_str()},
    };
    std::vector<std::string> shown;
    Run([&] {
        for (const Case& c : cases) {
            QLineEdit* e = Edit(c.field == CLoginDevEventImp::ID_PORT   ? dlg->GetPortEdit()
                                : c.field == CLoginDevEventImp::ID_USER ? dlg->GetUserEdit()
                                                                        : dlg->GetPasswordEdit());
            Type(e, QString::fromUtf8(c.typed));
            shown.push_back(e->text().toStdString());
        }
        Edit(dlg->GetPortEdit())->clear();
        shown.push_back(Edit(dlg->GetPortEdit())->text().toStdString());
        dlg->GetDialog()->MFCCancel();
    });
    ASSERT_EQ(shown.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(shown[i], cases[i].shown) << "typed " << cases[i].typed;
    EXPECT_EQ(shown.back(), "") << "an emptied port field stays empty";
}

TEST(ManualAddRules, TypeTextFromTheReportedType)
{
    const std::pair<const char*, const char*> cases[] = {
        {"IPC-HFW2431", "IPC"}, {"ip camera", "IPC"},   {"SD49225", "SD"},  {"Ptz-dome", "SD"},
        {"HCVR5104", "HCVR"},   {"XDVR-08", "DVR"},     {"DH-NVR4216", "NVR"}, {"NVS0404", "NVS"},
        {"xvr-7108", "XVR"},    {"camera", "CAMERA"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CLoginDevEventImp::TypeTextOf(c.first), c.second) << c.first;
}

TEST(ManualAddRules, InterfaceCountBeyondTheTableIsBounded)
{
    auto net = std::make_unique<tagCFG_NETWORK_INFO>();
    std::memset(net.get(), 0, sizeof(tagCFG_NETWORK_INFO));
    net->nInterfaceNum = 1000;
    std::strcpy(net->stuInterfaces[1].szIP, "10.0.0.5");
    EXPECT_EQ(CLoginDevLogic::FindInterface(*net, "10.0.0.5"), 1);
    EXPECT_EQ(CLoginDevLogic::FindInterface(*net, "10.0.0.6"), -1);
    net->nInterfaceNum = 1;
    EXPECT_EQ(CLoginDevLogic::FindInterface(*net, "10.0.0.5"), -1);
}
