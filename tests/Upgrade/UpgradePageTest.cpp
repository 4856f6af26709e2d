// The upgrade page without devices on the network: its filter panel, the header sort and the
// batch dialog, driven through their controls.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QMouseEvent>
#include <QHelpEvent>
#include <QTableWidget>
#include <QToolTip>

#include <map>
#include <set>

#include <cstdlib>
#include <cstring>

#include "Main/CDeviceListUILogic.h"
#include "UpgradeSupport.h"
#include "Upgrade/CUpgradeEventImp.h"
#include "Upgrade/CUpgradeFileDlg.h"
#include "Upgrade/CUpgradeFilterEventImp.h"
#include "Upgrade/CUpgradeUILogic.h"
#include "Main/DeviceListSkins.h"
#include "devsim/Fleet.h"

namespace {

enum { BOX_ALL = 1018, BOX_IPC = 1012, BOX_SD = 1015, BOX_DVR = 1013, BOX_NVR = 1141, BOX_OTHERS = 1017 };

DEVICE_INFO Record(int version, const char* ip, const char* type, const char* model, const char* soft, int n)
{
    DEVICE_INFO d;
    std::memset(&d, 0, sizeof d);
    d.stNetInfo.nIpVersion = version;
    std::strcpy(d.stNetInfo.szIpAddr, ip);
    std::strcpy(d.stNetInfo.szTypeName, type);
    std::strcpy(d.stNetInfo.szModelName, model);
    std::strcpy(d.stNetInfo.szSoftVersion, soft);
    std::snprintf(d.stNetInfo.szMacAddr, sizeof d.stNetInfo.szMacAddr, "3C:EF:65:FF:00:%02X", n);
    std::strcpy(d.szUser, "admin");
    std::strcpy(d.szPassword, "admin123");
    return d;
}

class UpgradePage : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = shelltest::MakeMainWindow();
        // The program finds its pictures beside it; the test's own program folder borrows the built
        // ones (a test running beside this one may have linked them first).
        const QString skin = QString::fromStdWString(shelltest::AppDir()) + "/Skin";
        if (!QFileInfo::exists(skin)) {
            QFile::link(QCoreApplication::applicationDirPath() + "/Skin", skin);
        }
        ASSERT_TRUE(QFileInfo::exists(skin));
        page = main->GetUpgradePage();
        ASSERT_TRUE(page && page->GetListCtrl() && page->GetFilterPanel());
        ASSERT_TRUE(shelltest::WaitForStartupSearch(main));
        page->ClearDeviceList();
        devices = {
            Record(4, "10.0.0.10", "IPC", "IPC-VX2431", "2.800.0000000.1.R", 1),
            Record(4, "10.0.0.9", "NVR", "NVR-VX216", "4.001.0000000.0.R", 2),
            Record(4, "10.0.0.30", "DVR", "DVR-VX108", "3.200.0000000.0.R", 3),
            Record(6, "fe80::30", "IPC", "IPC-VX2431", "2.800.0000000.1.R", 4),
            Record(4, "10.0.0.5", "ipc-cam", "IPC-VB4631", "1.000.0000000.0.R", 5),
            Record(4, "10.0.0.6", "EVS", "EVS-VX016", "5.000.0000000.0.R", 6),
        };
        for (const DEVICE_INFO& d : devices) {
            page->AddDevice(&d);
            if (page->MatchFilter(&d.stNetInfo))
                page->AddDeviceRow(&d.stNetInfo, false, 0);
        }
    }

    std::vector<std::string> RowIps()
    {
        std::vector<std::string> ips;
        CSFListCtrl* list = page->GetListCtrl();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            wchar_t ip[64] = {};
            list->GetItemText(row, CUpgradeEventImp::COL_IP, ip, 63);
            ips.push_back(QString::fromWCharArray(ip).toStdString());
        }
        return ips;
    }
    // Lets the device list's re-filter task rebuild the rows.
    void Settle() { shelltest::DrainSdkLoop(1); }
    // A class box as the user presses it, and its state.
    struct BoxRef {
        CSFRadioBox* box;
        void click()
        {
            auto* w = dynamic_cast<QWidget*>(box);
            const QPointF at(w->width() / 2.0, w->height() / 2.0);
            QMouseEvent press(QEvent::MouseButtonPress, at, w->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(w, &press);
            QCoreApplication::sendEvent(w, &release);
        }
        bool isChecked() const { return box->GetCheck() != 0; }
    };
    BoxRef* Box(int id)
    {
        boxes[id] = BoxRef{page->GetFilterPanel()->GetBox(id)};
        return &boxes[id];
    }
    std::map<int, BoxRef> boxes;

    std::shared_ptr<CMainFrameEventImp> main;
    std::shared_ptr<CUpgradeEventImp> page;
    std::vector<DEVICE_INFO> devices;
};

TEST_F(UpgradePage, FilterBoxesAndTextDecideWhichDevicesHaveRows)
{
    upgradetest::DialogAnswerer answers;
    std::shared_ptr<CUpgradeFilterEventImp> panel = page->GetFilterPanel();
    auto text = [&](const wchar_t* t) {
        panel->GetTextBox()->SetWindowTextW(t);
        panel->OnBtnFilter();
    };
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> rows;
        int all;
    } steps[] = {
        {"start: every class, IPv4 only", [] {}, {"10.0.0.10", "10.0.0.9", "10.0.0.30", "10.0.0.5", "10.0.0.6"}, 1},
        {"All off clears every class", [&] { Box(BOX_ALL)->click(); }, {}, 0},
        {"NVR alone", [&] { Box(BOX_NVR)->click(); }, {"10.0.0.9"}, 0},
        {"All on again", [&] { Box(BOX_ALL)->click(); }, {"10.0.0.10", "10.0.0.9", "10.0.0.30", "10.0.0.5", "10.0.0.6"}, 1},
        {"DVR off unchecks All", [&] { Box(BOX_DVR)->click(); }, {"10.0.0.10", "10.0.0.9", "10.0.0.5", "10.0.0.6"}, 0},
        {"DVR on checks All", [&] { Box(BOX_DVR)->click(); }, {"10.0.0.10", "10.0.0.9", "10.0.0.30", "10.0.0.5", "10.0.0.6"}, 1},
        {"lower-case text finds the upper-case type only", [&] { text(L"ipc"); }, {"10.0.0.10"}, 1},
        {"part of an address", [&] { text(L"0.0.3"); }, {"10.0.0.30"}, 1},
        {"part of a version", [&] { text(L"4.001"); }, {"10.0.0.9"}, 1},
        {"others class", [&] { text(L""); Box(BOX_IPC)->click(); Box(BOX_NVR)->click(); Box(BOX_DVR)->click(); },
         {"10.0.0.6"}, 0},
    };
    for (Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.act();
        Settle();
        EXPECT_EQ(RowIps(), s.rows);
        EXPECT_EQ(Box(BOX_ALL)->isChecked() ? 1 : 0, s.all);
    }
    EXPECT_TRUE(answers.Texts().empty());

    // While the device list searches, a box change is refused and the box goes back.
    ASSERT_TRUE(main->GetDeviceListUILogic()->StartSearch(SF_SEARCH_BROADCAST, 0, ""));
    ASSERT_TRUE(shelltest::WaitUntil([&] { return main->GetDeviceListUILogic()->IsSearching(); }));
    Box(BOX_OTHERS)->click();
    EXPECT_TRUE(Box(BOX_OTHERS)->isChecked());
    EXPECT_TRUE(answers.Saw(L"Searching,please wait..."));
    ASSERT_TRUE(shelltest::WaitUntil([&] { return !main->GetDeviceListUILogic()->IsSearching(); }));
}

TEST_F(UpgradePage, HeaderClickSortsByAddressAndKeepsHiddenDevices)
{
    std::shared_ptr<CUpgradeFilterEventImp> panel = page->GetFilterPanel();
    panel->GetTextBox()->SetWindowTextW(L"10.0.0.");
    panel->OnBtnFilter();
    Settle();
    page->GetListCtrl()->SetCheck(0, 1);
    page->UpdateSelectedCount();
    EXPECT_EQ(page->GetCountText(), L"1");
    int column = CUpgradeEventImp::COL_IP;
    page->OnListHeaderClick(&column, 0);
    EXPECT_EQ(RowIps(), (std::vector<std::string>{"10.0.0.30", "10.0.0.10", "10.0.0.9", "10.0.0.6", "10.0.0.5"}));
    EXPECT_EQ(page->GetCountText(), L"0");
    EXPECT_EQ(page->GetListCtrl()->IsCheck(0), 0);
    page->OnListHeaderClick(&column, 0);
    EXPECT_EQ(RowIps(), (std::vector<std::string>{"10.0.0.5", "10.0.0.6", "10.0.0.9", "10.0.0.10", "10.0.0.30"}));
    // The IPv6 device had no row; it is still known, and no device was lost.
    EXPECT_EQ(page->GetDevices().size(), devices.size());
}

TEST_F(UpgradePage, BatchDialogTakesOnlyCheckedFiles)
{
    upgradetest::DialogAnswerer answers;
    fwmake::ImageOptions opt;
    opt.family = "IPC-VX";
    opt.version = "3.0";
    opt.payloadSize = 1000;
    const std::string good = upgradetest::MakeFirmware("dialog-good.bin", opt);
    opt.magic = "XX";
    const std::string bad = upgradetest::MakeFirmware("dialog-bad.bin", opt);

    page->OnBtnBatchUpgrade();
    EXPECT_TRUE(answers.Saw(L"Please select a upgrade device."));
    std::shared_ptr<CUpgradeFileDlg> dlg = page->GetFileDlg();
    auto* window = static_cast<QWidget*>(dlg->GetUIWnd());
    EXPECT_FALSE(window->isVisible());

    for (int row : {0, 2, 3})
        page->GetListCtrl()->SetCheck(row, 1);
    page->OnBtnBatchUpgrade();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(dlg->IsOkEnabled());
    answers.QueueFile(good);
    dlg->OnBtnBrowse();
    EXPECT_EQ(dlg->GetPathText(), QString::fromStdString(good).toStdWString());
    EXPECT_TRUE(dlg->IsOkEnabled());
    // A file too short for a header is refused but leaves OK as it was.
    opt.magic.clear();
    opt.truncateTo = 7;
    const std::string tiny = upgradetest::MakeFirmware("dialog-tiny.bin", opt);
    answers.QueueFile(tiny);
    dlg->OnBtnBrowse();
    EXPECT_TRUE(answers.Saw(L"Not BIOS upgrade file."));
    EXPECT_EQ(dlg->GetPathText(), QString::fromStdString(good).toStdWString());
    EXPECT_TRUE(dlg->IsOkEnabled());
    const size_t refusals = answers.Texts().size();
    answers.QueueFile(bad);
    dlg->OnBtnBrowse();
    EXPECT_EQ(answers.Texts().size(), refusals + 1);
    EXPECT_EQ(dlg->GetPathText(), QString::fromStdString(good).toStdWString()) << "the accepted path stays";
    EXPECT_FALSE(dlg->IsOkEnabled());
    dlg->OnDlgKeyDown(0, 13);
    EXPECT_TRUE(window->isVisible()) << "Enter does nothing while OK is disabled";

    // A path typed over the chosen one is checked again before anything is queued.
    answers.QueueFile(good);
    dlg->OnBtnBrowse();
    ASSERT_TRUE(dlg->IsOkEnabled());
    auto* edit = window->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setText(QString::fromStdString(bad));
    dlg->OnBtnOK();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(page->IsUpgrading(), 0);
    EXPECT_TRUE(page->GetUpgradeUILogic()->GetTaskVec().empty());

    // Opened again: the count is new, the path box empty, OK disabled.
    dlg->OnDlgKeyDown(0, 27);
    EXPECT_FALSE(window->isVisible());
    page->GetListCtrl()->SetCheck(3, 0);
    page->OnBtnBatchUpgrade();
    EXPECT_EQ(dlg->GetPathText(), L"");
    EXPECT_FALSE(dlg->IsOkEnabled());
    dlg->OnBtnClose();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(UpgradePage, ResultMarkSitsAfterTheAddressNotOnIt)
{
    DEVICE_INFO d = Record(4, "192.168.100.200", "IPC", "IPC-VX2431", "2.800.0000000.1.R", 9);
    page->AddDevice(&d);
    page->AddDeviceRow(&d.stNetInfo, false, 0);
    auto* list = dynamic_cast<QTableWidget*>(page->GetListCtrl());
    const int row = list->rowCount() - 1;
    page->OnSize(0, 1400, 700);
    auto tipAt = [&](int column) {
        const QPoint at = list->visualRect(list->model()->index(row, column)).topLeft() + QPoint(20, 10);
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &help);
        const QString tip = QToolTip::text();
        QToolTip::hideText();
        shelltest::WaitUntil([] { return QToolTip::text().isEmpty(); }); // the label goes after a delay
        return tip;
    };
    EXPECT_EQ(tipAt(CUpgradeEventImp::COL_IP), QString()) << "the whole address fits its column";
    // With the mark the address is cut before it, and shown whole as a tooltip.
    ImageButtonStyle style = MakeButtonSkin(L"error.png", L"erro_hover.png", L"erro_press.png", L"error.png");
    page->GetListCtrl()->AddOneOperateBtn(row, CUpgradeEventImp::COL_IP, CUpgradeEventImp::ID_RESULT, L"Result",
                                          style, 16, 16, 100);
    EXPECT_EQ(tipAt(CUpgradeEventImp::COL_IP), QStringLiteral("192.168.100.200"));
    if (const char* dir = std::getenv("VX_UPGRADE_SCREENSHOTS")) {
        list->resize(1384, 300);
        shelltest::Pump(100);
        list->grab().save(QString::fromUtf8(dir) + "/result-mark.png");
    }
    page->ResetUpgradeResult(row);
    EXPECT_EQ(tipAt(CUpgradeEventImp::COL_IP), QString());
}

// Every class of the default fleet has a type icon, and a type text cut by a narrow column shows
// whole as a tooltip.
TEST_F(UpgradePage, EveryFleetClassHasAnIconAndCutTypesATooltip)
{
    page->ClearDeviceList();
    int n = 20;
    for (const devsim::DeviceState& s : devsim::MakeDefaultFleet("127.0.0.2")) {
        DEVICE_INFO d = Record(4, s.ip.c_str(), s.type.c_str(), s.model.c_str(), s.version.c_str(), n++);
        page->AddDevice(&d);
    }
    page->RefreshDeviceList();
    auto* list = dynamic_cast<QTableWidget*>(page->GetListCtrl());
    ASSERT_EQ(list->rowCount(), 16);
    list->selectRow(1);
    std::set<QString> types;
    for (int row = 0; row < list->rowCount(); ++row) {
        const QTableWidgetItem* cell = list->item(row, CUpgradeEventImp::COL_TYPE);
        ASSERT_TRUE(cell);
        types.insert(cell->text());
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected, QIcon::Disabled})
            EXPECT_FALSE(cell->icon().pixmap(16, mode).isNull()) << cell->text().toStdString() << " mode " << mode;
    }
    EXPECT_TRUE(types.count("EVS") && types.count("IP CAMERA") && types.count("NVS"));

    auto tipAt = [&](int row) {
        const QPoint at = list->visualRect(list->model()->index(row, CUpgradeEventImp::COL_TYPE)).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(list->viewport(), &help);
        const QString tip = QToolTip::text();
        QToolTip::hideText();
        shelltest::WaitUntil([] { return QToolTip::text().isEmpty(); });
        return tip;
    };
    auto rowOf = [&](const QString& type) {
        for (int row = 0; row < list->rowCount(); ++row)
            if (list->item(row, CUpgradeEventImp::COL_TYPE)->text() == type)
                return row;
        return -1;
    };
    page->OnSize(0, 1400, 700);
    EXPECT_EQ(tipAt(rowOf("IP CAMERA")), QString()) << "the whole type fits a wide page's column";
    page->OnSize(0, 800, 600);
    for (int row = 0; row < list->rowCount(); ++row) {
        const QString text = list->item(row, CUpgradeEventImp::COL_TYPE)->text();
        const QString tip = tipAt(row);
        EXPECT_TRUE(tip.isEmpty() || tip == text) << text.toStdString();
    }
    EXPECT_EQ(tipAt(rowOf("IP CAMERA")), QStringLiteral("IP CAMERA"));
    EXPECT_EQ(tipAt(rowOf("SD")), QString());
    if (const char* dir = std::getenv("VX_UPGRADE_SCREENSHOTS")) {
        list->resize(784, 560);
        shelltest::Pump(100);
        list->grab().save(QString::fromUtf8(dir) + "/type-icons.png");
    }
}

} // namespace
