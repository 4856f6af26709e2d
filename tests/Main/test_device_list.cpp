// The device page's list: a click on a column header rebuilds the rows in step with the model.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QMouseEvent>
#include <QLineEdit>
#include <QTableWidget>

#include <set>

#include <cstring>

#include "ShellTestSupport.h"

#include "Common/SFMessageLoopManager.h"
#include "Common/StrHelpers.h"
#include "Main/CDeviceListUILogic.h"
#include "Main/CDetialsDlgEventImp.h"
#include "Main/CFilterMainEventImp.h"
#include "Main/CSearchDevEventImp.h"
#include "Widgets/CSFQTButton.h"
#include "Main/DeviceListText.h"
#include "Widgets/SFListCtrl.h"

using namespace shelltest;

namespace {

const int kColNo = 1, kColIp = 5;

DevicePtr Device(const char* ip, const char* mac)
{
    DevicePtr d = std::make_shared<DEVICE_INFO>();
    std::memset(d.get(), 0, sizeof(DEVICE_INFO));
    DEVICE_NET_INFO_EX& i = d->stNetInfo;
    i.nIpVersion = 4;
    COPY_TEXT(i.szIpAddr, ip);
    COPY_TEXT(i.szMacAddr, mac);
    COPY_TEXT(i.szTypeName, "IPC");
    COPY_TEXT(i.szDetailName, "IPC-VX1230");
    COPY_TEXT(i.szModelName, "IPC-VX1230");
    i.byInitState = 2;
    i.nPort = 37777;
    return d;
}

void ClickAt(QWidget* w, QPoint at)
{
    const QPointF p(at);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

std::wstring Cell(CSFListCtrl* list, int row, int column)
{
    wchar_t buf[64] = {};
    list->GetItemText(row, column, buf, 63);
    return buf;
}

// Rows numbered 1..n in order and every model record shown once; after a rebuild, each record's
// row holds its address.
void ExpectInStep(CSFListCtrl* list, CDeviceListUILogic& model, bool rebuilt)
{
    for (int row = 0; row < list->GetItemCount(); ++row)
        EXPECT_EQ(Cell(list, row, kColNo), std::to_wstring(row + 1));
    EXPECT_EQ(static_cast<size_t>(list->GetItemCount()), model.GetDeviceList().size());
    for (const DevicePtr& d : model.GetDeviceList()) {
        const std::wstring ip = Utf8ToWide(d->stNetInfo.szIpAddr);
        int shown = 0;
        for (int row = 0; row < list->GetItemCount(); ++row)
            shown += Cell(list, row, kColIp) == ip ? 1 : 0;
        EXPECT_EQ(shown, 1) << d->stNetInfo.szIpAddr;
        if (rebuilt) {
            ASSERT_GE(d->nRow, 0);
            ASSERT_LT(d->nRow, list->GetItemCount());
            EXPECT_EQ(Cell(list, d->nRow, kColIp), ip);
        }
    }
}

// The main window once its start-up search has ended, with an empty device list.
class DeviceList : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame = MakeMainWindow();
        model = frame->GetDeviceListUILogic();
        page = frame->GetSearchDevPage();
        ASSERT_TRUE(ClearListAfterStartupSearch(frame));
    }
    // A result of the current search for ip, with the MAC macPrefix:nn; edit adjusts it first.
    DevicePtr Insert(const char* ip, const char* macPrefix, int n,
                     const std::function<void(DEVICE_INFO&)>& edit = nullptr)
    {
        char mac[32];
        std::snprintf(mac, sizeof mac, "%s:%02x", macPrefix, n);
        DevicePtr d = Device(ip, mac);
        d->byGeneration = model->GetGeneration();
        if (edit)
            edit(*d);
        model->Task_InsertDevice(d);
        return d;
    }

    std::shared_ptr<CMainFrameEventImp> frame;
    std::shared_ptr<CDeviceListUILogic> model;
    std::shared_ptr<CSearchDevEventImp> page;
};

} // namespace

TEST_F(DeviceList, HeaderClickRebuildsTheRowsWithoutLettingModelTasksIn)
{
    const char* ips[] = {"10.0.0.9", "10.0.0.10", "9.1.1.1", "10.0.0.2"};
    for (int i = 0; i < 4; ++i)
        Insert(ips[i], "aa:bb:cc:00:21", i);
    CSFListCtrl* list = page->GetListCtrl();
    ASSERT_EQ(list->GetItemCount(), 4);

    // A result arrives while the user clicks: it waits for the rebuild to end.
    std::shared_ptr<VeyraBase::CSFMessageLoop> gui =
        VeyraBase::CSFMessageLoopManager::Instance()->GetMessageLoop(VeyraBase::ML_MAIN);
    DevicePtr late = Device("10.0.0.5", "aa:bb:cc:00:21:99");
    late->byGeneration = model->GetGeneration();
    gui->PostTask(VeyraBase::CreateTask<CDeviceListUILogic>([m = model, late] { m->Task_InsertDevice(late); }, model));
    auto* table = dynamic_cast<QTableWidget*>(list);
    ASSERT_NE(table, nullptr);
    emit table->horizontalHeader()->sectionClicked(kColIp);

    EXPECT_EQ(list->GetItemCount(), 4) << "a model task ran in the middle of the rebuild";
    ExpectInStep(list, *model, true);
    std::vector<uint32_t> keys;
    for (int row = 0; row < 4; ++row)
        keys.push_back(IpTextToUInt(WideToUtf8(Cell(list, row, kColIp))));
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()) || std::is_sorted(keys.rbegin(), keys.rend()))
        << "rows not in address order";

    ASSERT_TRUE(WaitUntil([&] { return list->GetItemCount() == 5; }, 5000));
    ExpectInStep(list, *model, false);
}

TEST_F(DeviceList, DetailsButtonOfARowShowsItsNineFieldsInTheDialog)
{
    for (int i = 0; i < 2; ++i) {
        const std::string ip = "10.0.7." + std::to_string(5 + i);
        Insert(ip.c_str(), "aa:bb:cc:dd:ee", 0x0f + i, [i](DEVICE_INFO& d) {
            DEVICE_NET_INFO_EX& n = d.stNetInfo;
            COPY_TEXT(n.szDetailName, i ? "IPC-OTHER" : "IPC-VD2431");
            COPY_TEXT(n.szNetMask, "255.255.255.0");
            COPY_TEXT(n.szGatewayAddr, "10.0.7.1");
            COPY_TEXT(n.szSerialNumber, "7K0ABC");
            COPY_TEXT(n.szSoftVersion, "2.800.0.5");
            d.dwBuildDate = (2016u << 16) + (5u << 8) + 15u;  // known: no device query
        });
    }
    CSFListCtrl* list = page->GetListCtrl();
    ASSERT_EQ(list->GetItemCount(), 2);
    auto* table = dynamic_cast<QTableWidget*>(list);
    int row = -1;
    for (int r = 0; r < 2; ++r)
        if (Cell(list, r, kColIp) == L"10.0.7.5")
            row = r;
    ASSERT_GE(row, 0);
    // The row is clicked, then its details button.
    const QRect cell = table->visualRect(table->model()->index(row, kColIp));
    ClickAt(table->viewport(), cell.center());
    CSFQTButton* details = nullptr;
    if (QWidget* operate = table->indexWidget(table->model()->index(row, 8)))
        for (CSFQTButton* b : operate->findChildren<CSFQTButton*>())
            if (b->Id() == 2134)
                details = b;
    ASSERT_NE(details, nullptr);

    std::vector<std::wstring> shown;
    auto dlg = page->GetDetailsDlg();
    QTimer read;
    QObject::connect(&read, &QTimer::timeout, [&] {
        auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!open || !shown.empty())
            return;
        for (int i = 0; i < CDetialsDlgEventImp::FIELD_COUNT; ++i)
            shown.push_back(dlg->GetFieldText(i));
        open->reject();
    });
    read.start(10);
    ClickAt(details, details->rect().center());
    ASSERT_TRUE(WaitUntil([&] { return !shown.empty(); }, 5000));
    const std::vector<std::wstring> expected = {L"IPC", L"IPC-VD2431", L"37777", L"aa:bb:cc:dd:ee:0f", L"255.255.255.0",
                                                L"10.0.7.1", L"7K0ABC", L"V2.800.0.5", L"2016-05-15"};
    EXPECT_EQ(shown, expected);
}

// Typing a filter word and clicking the filter button reports the word twice (the field reports
// when it loses the focus, then the button): each device still shows once, whether or not the
// broadcast search is still open.
TEST_F(DeviceList, FilterWordEnteredAndClickedShowsEachDeviceOnce)
{
    for (int i = 0; i < 3; ++i)
        Insert(("10.0.7." + std::to_string(i + 1)).c_str(), "aa:bb:cc:00:37", i);
    CSFListCtrl* list = page->GetListCtrl();
    ASSERT_EQ(list->GetItemCount(), 3);

    auto panel = page->GetFilterPanel();
    auto* edit = dynamic_cast<QLineEdit*>(panel->GetKeywordEdit());
    ASSERT_NE(edit, nullptr);
    CSFQTButton* filterButton = nullptr;
    for (CSFQTButton* b : edit->parentWidget()->findChildren<CSFQTButton*>())
        if (b->Id() == 1063)
            filterButton = b;
    ASSERT_NE(filterButton, nullptr);

    // The first round runs with the start-up broadcast still open (when it is), the second after
    // the filter has closed it.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(model->IsBroadcasting() ? "broadcast open" : "no broadcast");
        const int devices = static_cast<int>(model->GetDeviceList().size());
        edit->setText(QStringLiteral("10.0.7"));
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(edit, &out);
        filterButton->click();
        ASSERT_TRUE(DrainSdkLoop());
        Pump(200);
        EXPECT_EQ(list->GetItemCount(), 3) << "of " << devices << " devices";
        std::set<std::wstring> shown;
        for (int row = 0; row < list->GetItemCount(); ++row)
            EXPECT_TRUE(shown.insert(Cell(list, row, kColIp)).second) << "row " << row << " twice";
    }
}
