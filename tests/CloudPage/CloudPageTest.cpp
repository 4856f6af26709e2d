// The cloud upgrade page offscreen: its empty state and layout, rows in every stored state, the
// row states the scheduler sets, and the rebuild on a header click.
#include "CloudPageSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTableView>

#include <algorithm>
#include <cstring>

#include "CloudUpgrade/CCloudAcountDlg.h"
#include "CloudUpgrade/CCloudUpgradeUILogic.h"
#include "Widgets/SFView.h"

using namespace cloudpage;
using Page = CCloudUpgradeEventImp;

namespace {

QRect Geometry(void* control)
{
    auto* w = dynamic_cast<QWidget*>(static_cast<CSFButton*>(control));
    return w ? w->geometry() : QRect();
}

// The framework places a control on the rectangle's corner pixels (left, top, right, bottom).
QRect Rc(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r, b)); }

} // namespace

TEST_F(CloudPage, EmptyPageShowsTheHintUntilTheFirstRowAndLaysOutByTheFormula)
{
    auto* listWidget = dynamic_cast<QWidget*>(list);
    ASSERT_NE(listWidget, nullptr);
    EXPECT_TRUE(listWidget->isHidden());
    EXPECT_FALSE(dynamic_cast<QWidget*>(page->GetHintText(1))->isHidden());
    EXPECT_FALSE(dynamic_cast<QWidget*>(page->GetHintText(2))->isHidden());
    for (int id : {Page::ID_DOWNLOAD_ALL, Page::ID_UPGRADE_ALL, Page::ID_CHECK})
        EXPECT_FALSE(ButtonEnabled(id)) << id;
    EXPECT_TRUE(ButtonEnabled(Page::ID_GET));
    EXPECT_EQ(ButtonText(Page::ID_CHECK), L"CheckRefrush");

    page->GetView()->ShowWindow(1);
    page->GetView()->MoveWindow(0, 0, 1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(listWidget->geometry(), Rc(8, 60, 992, 540));
    const int widths[] = {39, 39, 127, 127, 137, 118, 127, 127, 127};
    auto* table = dynamic_cast<QTableView*>(listWidget);
    ASSERT_NE(table, nullptr);
    for (int c = 0; c < 9; ++c)
        EXPECT_EQ(table->columnWidth(c), widths[c]) << "column " << c;
    EXPECT_EQ(dynamic_cast<QWidget*>(page->GetHintText(1))->geometry(), QRect(30, 250, 400, 24));
    EXPECT_EQ(Geometry(page->GetButton(Page::ID_DOWNLOAD_ALL)), Rc(590, 560, 715, 590));
    EXPECT_EQ(Geometry(page->GetButton(Page::ID_UPGRADE_ALL)), Rc(725, 560, 850, 590));
    EXPECT_EQ(Geometry(page->GetButton(Page::ID_CHECK)), Rc(860, 560, 985, 590));
    EXPECT_EQ(Geometry(page->GetButton(Page::ID_GET)), Rc(20, 20, 98, 50));

    DEVICE_INFO odd = Record("127.93.1.2", "", 1);
    std::strcpy(odd.stNetInfo.szDetailName, "XYZ-100");
    AddFound({odd});
    EXPECT_FALSE(listWidget->isHidden());
    EXPECT_TRUE(dynamic_cast<QWidget*>(page->GetHintText(1))->isHidden());
    for (int id : {Page::ID_DOWNLOAD_ALL, Page::ID_UPGRADE_ALL, Page::ID_CHECK, Page::ID_SAVE})
        EXPECT_TRUE(ButtonEnabled(id)) << id;
    EXPECT_EQ(Cell(0, Page::COL_TYPE), L"unkown");
    EXPECT_EQ(Cell(0, Page::COL_NO), L"1");
    EXPECT_EQ(Cell(0, Page::COL_MAC), L"3C:EF:65:AA:00:01");
    for (int id : {Page::ID_DOWNLOAD, Page::ID_DOWNLOAD_BAR, Page::ID_UPGRADE, Page::ID_UPGRADE_BAR,
                   Page::ID_UPGRADE_RESULT}) {
        EXPECT_NE(Widget(0, id), nullptr) << id;
        EXPECT_FALSE(Shown(0, id)) << id;
    }
    // A stored record without a type gets no row at all.
    page->AddStoredDeviceRow(odd, false);
    EXPECT_EQ(list->GetItemCount(), 1);
}

TEST_F(CloudPage, StoredRecordsRebuildTheirCheckAndTransferState)
{
    struct Case {
        const char* name;
        BYTE checked;
        int error;
        BYTE hasNew;
        int state;
        int percent;
        std::wstring column6;
        std::wstring column7;
        bool download, upgrade, bar, failedButtons;
        std::wstring downloadText;
    };
    const Case cases[] = {
        {"failed", 0, 5, 0, 0, 0, L"check failed", L"", false, false, false, true, L"DownLoad"},
        {"new idle", 1, 0, 1, 0, 0, L"3.000.1", L"", true, false, false, false, L"DownLoad"},
        {"paused", 1, 0, 1, 2, 40, L"3.000.1", L"", true, false, true, false, L"Continue"},
        {"downloaded", 1, 0, 1, 3, 100, L"3.000.1", L"finish", false, true, false, false, L"DownLoad"},
        {"download failed", 1, 0, 1, 4, 0, L"3.000.1", L"", true, false, false, false, L"fail,again"},
        {"no new", 1, 0, 0, 0, 0, L"no new version", L"", false, false, false, false, L"DownLoad"},
    };
    AddFound({Record("127.93.2.1", "IPC", 100)}); // makes the list live
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DEVICE_INFO d = Record("127.93.2." + std::to_string(10 + n), "NVR", 10 + n);
        ++n;
        d.bCheckResult = c.checked;
        d.nCheckError = c.error;
        d.bHasNewVersion = c.hasNew;
        std::strcpy(d.szNewVersion, "3.000.1");
        d.nDownloadState = c.state;
        d.nDownloadPercent = c.percent;
        page->AddStoredDeviceRow(d, false);
        const int row = list->GetItemCount() - 1;
        EXPECT_EQ(Cell(row, Page::COL_CHECKSTATE), c.column6);
        EXPECT_EQ(Cell(row, Page::COL_DOWNLOAD), c.column7);
        EXPECT_EQ(Shown(row, Page::ID_DOWNLOAD), c.download);
        EXPECT_EQ(Shown(row, Page::ID_UPGRADE), c.upgrade);
        EXPECT_EQ(Shown(row, Page::ID_DOWNLOAD_BAR), c.bar);
        EXPECT_EQ(Shown(row, Page::ID_CHECK_RESULT), c.failedButtons);
        EXPECT_EQ(Shown(row, Page::ID_REFRESH), c.failedButtons);
        EXPECT_EQ(WidgetText(row, Page::ID_DOWNLOAD), c.downloadText);
        if (c.bar) {
            EXPECT_EQ(BarValue(row, Page::ID_DOWNLOAD_BAR), c.percent);
        }
        if (c.failedButtons) {
            EXPECT_EQ(static_cast<int>(list->GetItemData(row, Page::COL_CHECKSTATE)), c.error);
        }
    }
}

TEST_F(CloudPage, RemoteRowsCarryTheirRecorderAndShareStatesBySerialNumber)
{
    DEVICE_INFO nvr = Record("127.93.3.1", "NVR", 1);
    AddFound({nvr});
    strudevice a;
    std::strcpy(a.szDeviceID, "cam-1");
    std::strcpy(a.szSerialNo, "RSN1");
    std::strcpy(a.szType, "IPC");
    a.byCheckResult = 1;
    a.byHasNewVersion = 1;
    std::strcpy(a.szNewVersion, "2.0");
    strudevice b = a;
    page->GetRemoteMap()[CloudMacKey(nvr.stNetInfo.szMacAddr)] = {a, b};
    page->AddRemoteDeviceRow(a, 1);
    EXPECT_EQ(list->GetItemData(1, Page::COL_MAC), 1u);
    EXPECT_EQ(Cell(1, Page::COL_IP), L"cam-1");
    EXPECT_EQ(Cell(1, Page::COL_CHECKSTATE), L"2.0");
    EXPECT_TRUE(Shown(1, Page::ID_DOWNLOAD));

    page->MarkRowDownloading(1);
    std::vector<strudevice>& remotes = page->GetRemoteMap()[CloudMacKey(nvr.stNetInfo.szMacAddr)];
    EXPECT_EQ(remotes[0].nDownloadState, 1);
    EXPECT_EQ(remotes[1].nDownloadState, 1);
    page->ResetRowTransfer(1, true);
    EXPECT_EQ(remotes[0].nDownloadState, 0);
    EXPECT_EQ(remotes[1].nDownloadState, 1);
    page->SetDownloadResult(1, true);
    EXPECT_EQ(remotes[0].nDownloadState, 3);
    EXPECT_EQ(Cell(1, Page::COL_DOWNLOAD), L"finish");
    EXPECT_TRUE(Shown(1, Page::ID_UPGRADE));
}

TEST_F(CloudPage, SchedulerRowStatesChangeTheRecordAndTheRow)
{
    DEVICE_INFO d = Record("127.93.4.1", "IPC", 1);
    AddFound({d});
    std::vector<DEVICE_INFO>& records = page->GetDeviceVector();
    page->MarkRowDownloading(0);
    EXPECT_EQ(records[0].nDownloadState, 1);
    page->SetRowProgress(0, 30, Page::ID_DOWNLOAD_BAR);
    EXPECT_EQ(BarValue(0, Page::ID_DOWNLOAD_BAR), 30);
    page->SetDownloadResult(0, false);
    EXPECT_EQ(records[0].nDownloadState, 0);
    // The failed text comes half a second later, without holding the GUI meanwhile.
    EXPECT_NE(WidgetText(0, Page::ID_DOWNLOAD), L"fail,again");
    EXPECT_TRUE(shelltest::WaitUntil([&] { return WidgetText(0, Page::ID_DOWNLOAD) == L"fail,again"; }, 5000));
    page->SetDownloadResult(0, true);
    EXPECT_EQ(records[0].nDownloadState, 3);
    EXPECT_EQ(Cell(0, Page::COL_DOWNLOAD), L"finish");
    EXPECT_FALSE(Shown(0, Page::ID_DOWNLOAD));
    EXPECT_TRUE(Shown(0, Page::ID_UPGRADE));

    page->MarkRowUpgrading(0);
    EXPECT_EQ(records[0].nUpgradeState, 1);
    page->ResetRowTransfer(0, false);
    EXPECT_EQ(records[0].nUpgradeState, 0);
    EXPECT_EQ(WidgetText(0, Page::ID_UPGRADE), L"Upgrade");
    EXPECT_FALSE(Shown(0, Page::ID_UPGRADE_BAR));
    page->ShowUpgradeResult(0, 4);
    EXPECT_TRUE(Shown(0, Page::ID_UPGRADE_RESULT));
    EXPECT_EQ(list->GetItemData(0, Page::COL_CHECK), 4u);
    page->ResetUpgradeResult(0);
    EXPECT_FALSE(Shown(0, Page::ID_UPGRADE_RESULT));

    page->GetButton(Page::ID_UPGRADE_ALL)->SetWindowTextW(L"Stop upgrading");
    page->ResetUpgradeButton(false);
    EXPECT_FALSE(ButtonEnabled(Page::ID_UPGRADE_ALL));
    page->ResetUpgradeButton(true);
    EXPECT_TRUE(ButtonEnabled(Page::ID_UPGRADE_ALL));
    EXPECT_EQ(ButtonText(Page::ID_UPGRADE_ALL), L"KeyUpgrade");

    page->MarkDeviceUpgraded("127.93.4.1", "3c:ef:65:aa:00:01");
    EXPECT_EQ(records[0].bUpgraded, 1);
}

TEST_F(CloudPage, HeaderClickOnIpSortsAlternatelyAndRestoresEachRowsState)
{
    DEVICE_INFO a = Record("127.93.5.10", "IPC", 1);
    DEVICE_INFO b = Record("127.93.5.9", "NVR", 2);
    DEVICE_INFO c = Record("127.93.5.30", "DVR", 3);
    AddFound({a, b, c});
    // Check answers as the records hold them.
    std::vector<DEVICE_INFO>& records = page->GetDeviceVector();
    records[0].bCheckResult = 1;
    records[0].bHasNewVersion = 1;
    std::strcpy(records[0].szNewVersion, "9.1");
    records[0].nDownloadState = 3;
    records[1].nCheckError = 3; // failed
    TickAll();
    auto ips = [&] {
        std::vector<std::wstring> out;
        for (int r = 0; r < list->GetItemCount(); ++r)
            out.push_back(Cell(r, Page::COL_IP));
        return out;
    };
    list->EmitHeadClickFun(Page::COL_IP);
    const std::vector<std::wstring> first = ips();
    list->EmitHeadClickFun(Page::COL_IP);
    const std::vector<std::wstring> second = ips();
    const std::vector<std::wstring> ascending = {L"127.93.5.9", L"127.93.5.10", L"127.93.5.30"};
    std::vector<std::wstring> descending(ascending.rbegin(), ascending.rend());
    EXPECT_TRUE((first == ascending && second == descending) || (first == descending && second == ascending));
    ASSERT_EQ(page->GetDeviceVector().size(), 3u);
    for (int r = 0; r < 3; ++r) {
        EXPECT_FALSE(list->IsCheck(r));
        EXPECT_EQ(Cell(r, Page::COL_NO), std::to_wstring(r + 1));
        const std::wstring ip = Cell(r, Page::COL_IP);
        if (ip == L"127.93.5.10") {
            EXPECT_EQ(Cell(r, Page::COL_CHECKSTATE), L"9.1");
            EXPECT_EQ(Cell(r, Page::COL_DOWNLOAD), L"finish");
            EXPECT_TRUE(Shown(r, Page::ID_UPGRADE));
        } else if (ip == L"127.93.5.9") {
            EXPECT_EQ(Cell(r, Page::COL_CHECKSTATE), L"check failed");
            EXPECT_TRUE(Shown(r, Page::ID_REFRESH));
            EXPECT_EQ(list->GetItemData(r, Page::COL_CHECKSTATE), 3u);
        } else {
            EXPECT_EQ(Cell(r, Page::COL_CHECKSTATE), L"");
            EXPECT_FALSE(Shown(r, Page::ID_REFRESH));
        }
    }
    // A click on another column turns the direction too, so the next IP click repeats the last
    // order; while sorting is off a click changes nothing.
    list->EmitHeadClickFun(Page::COL_SN);
    EXPECT_EQ(list->GetItemCount(), 3);
    list->EmitHeadClickFun(Page::COL_IP);
    EXPECT_EQ(ips(), second);
    list->EmitHeadClickFun(Page::COL_SN);
    page->SetSortEnable(false);
    list->EmitHeadClickFun(Page::COL_IP);
    EXPECT_NE(ips(), first);
    EXPECT_NE(ips(), second);
}

TEST(CloudPageSortKey, PadsEachPartToThreeDigits)
{
    EXPECT_EQ(Page::IpSortKey("192.168.1.20"), "192168001020");
    EXPECT_LT(Page::IpSortKey("10.0.0.9"), Page::IpSortKey("10.0.0.10"));
    EXPECT_EQ(Page::IpSortKey("1.2345.6"), "0012345006");
    EXPECT_EQ(Page::IpSortKey(""), "000");
}

// With VX_CLOUDPAGE_SHOT set to a PNG path, draws the page with rows in several states into it
// (run under a virtual X server to see the page as a user does).
TEST_F(CloudPage, ScreenshotOfRowsInSeveralStates)
{
    const QByteArray path = qgetenv("VX_CLOUDPAGE_SHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "VX_CLOUDPAGE_SHOT not set";
    std::vector<DEVICE_INFO> records;
    const char* types[] = {"IPC", "NVR", "DVR", "SD", "IPC", "IPC", "NVR", "IPC"};
    for (int i = 0; i < 8; ++i)
        records.push_back(Record("192.168.1." + std::to_string(101 + i), types[i], i + 1));
    records[2].bIPConflict = 1;
    AddFound(records);
    auto newVersion = [&](int row, const char* version) {
        page->SetSingleCheck(0);
        Result(records[static_cast<size_t>(row)], 1, 0, Answer(true, version, "http://h/fw/firmware.bin"));
    };
    newVersion(0, "2.840.0000000.3.R");
    newVersion(1, "4.001.0000002.1.R");
    page->MarkRowDownloading(1);
    list->SetItemShow(1, Page::COL_DOWNLOAD, Page::ID_DOWNLOAD_BAR, true);
    list->SetOpeBtnText(1, Page::ID_DOWNLOAD, L"Stop");
    page->SetRowProgress(1, 45, Page::ID_DOWNLOAD_BAR);
    newVersion(2, "3.210.0000001.0.R");
    page->SetDownloadResult(2, true);
    Result(records[3], 0, 1);
    Result(records[4], 1, 0);
    newVersion(5, "2.840.0000000.3.R");
    page->SetDownloadResult(5, true);
    list->SetItemShow(5, Page::COL_UPGRADE, Page::ID_UPGRADE_BAR, true);
    list->SetOpeBtnText(5, Page::ID_UPGRADE, L"Stop");
    page->SetRowProgress(5, 70, Page::ID_UPGRADE_BAR);
    newVersion(6, "4.001.0000002.1.R");
    page->SetDownloadResult(6, true);
    page->ShowUpgradeResult(6, 0);
    list->SetItemText(7, Page::COL_CHECKSTATE, L"checking...");
    list->SetCheck(0, 1);
    list->SetCheck(5, 1);

    QWidget* view = dynamic_cast<QWidget*>(page->GetView());
    ASSERT_NE(view, nullptr);
    page->GetView()->ShowWindow(1);
    page->GetView()->MoveWindow(0, 0, 1100, 620);
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    EXPECT_TRUE(view->grab().toImage().save(QString::fromLocal8Bit(path)));

    // The account dialog beside it.
    auto* dialog = dynamic_cast<QWidget*>(page->GetAccountDlg()->GetDialog());
    ASSERT_NE(dialog, nullptr);
    page->GetAccountDlg()->UserEdit()->SetWindowTextW(L"admin");
    dialog->show();
    for (int i = 0; i < 20; ++i)
        QApplication::processEvents();
    QString dialogPath = QString::fromLocal8Bit(path);
    dialogPath.replace(QStringLiteral(".png"), QStringLiteral("-account.png"));
    EXPECT_TRUE(dialog->grab().toImage().save(dialogPath));
    page->GetAccountDlg()->OnClose();
}
