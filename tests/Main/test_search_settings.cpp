// The search settings dialog, opened from the tool bar and driven by clicks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMouseEvent>

#include "ShellTestSupport.h"

#include "Main/CDeviceListUILogic.h"
#include "Main/CSearchDevEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CUserSearchSettingEventImp.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFIPAddressCtrl.h"

using namespace shelltest;

namespace {

void Click(QWidget* w)
{
    ASSERT_NE(w, nullptr);
    const QPointF centre(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, centre, w->mapToGlobal(centre), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, w->mapToGlobal(centre), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

QWidget* Widget(CSFCheckBox* box) { return dynamic_cast<QWidget*>(box); }

// Opens the dialog with the tool bar's button and runs `inside` while it is shown; the dialog is
// closed afterwards if `inside` left it open.
void WithDialogOpen(const std::shared_ptr<CMainFrameEventImp>& frame, const std::function<void()>& inside)
{
    auto* dialog = static_cast<QWidget*>(frame->GetSearchSettingDlg()->GetUIWnd());
    bool ran = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (ran || !dialog->isVisible() || QApplication::activeModalWidget() != dialog)
            return;
        ran = true;
        inside();
    });
    poll.start(10);
    // Whatever happens inside, nothing modal outlives the test: it fails instead of hanging.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* open = qobject_cast<QDialog*>(top); open && open->isVisible())
                open->reject();
    });
    guard.start(45000);
    Click(dynamic_cast<QWidget*>(frame->GetToolBar()->GetSearchSettingButton()));
    WaitUntil([&] { return ran && !dialog->isVisible(); }, 40000);
    EXPECT_TRUE(ran) << "the tool bar button did not open the dialog";
}

bool SavedBool(const wchar_t* key)
{
    CConfigXMLPersistImp stored("");
    return stored.GetBool(L"UIConfig", key, false, 0);
}

int SearchMode(const std::shared_ptr<CMainFrameEventImp>& frame)
{
    int mode = -1, count = 0;
    std::string start;
    frame->GetSearchDevPage()->GetSearchParam(mode, count, start);
    return mode;
}

} // namespace

TEST(SearchSettingDialog, OkKeepsTheTickedSearchesInTheSettingsFileAndTheSearch)
{
    struct Case {
        const char* name;
        bool broadcast, range;            // stored before
        bool clickBroadcast, clickRange;  // tick boxes clicked
        int mode;                         // search mode after OK
    } cases[] = {
        {"OK without a change", true, false, false, false, 1},
        {"range ticked", true, false, false, true, 3},
        {"broadcast unticked", true, true, true, false, 2},
        {"both unticked", true, true, true, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnsureEnvironment();
        CAppSettings::SearchBoadcast = c.broadcast;
        CAppSettings::SearchByIp = c.range;
        CAppSettings::SearchIpS = L"127.0.0.1";
        CAppSettings::SearchIpE = L"127.0.0.9";
        ASSERT_TRUE(CAppSettings::Save());
        auto frame = MakeMainWindow();
        auto dlg = frame->GetSearchSettingDlg();
        ASSERT_TRUE(dlg && dlg->GetDialog());
        // The start-up search runs its course first: OK would otherwise be refused as busy.
        ASSERT_TRUE(StartupSearchEnded(frame));
        WithDialogOpen(frame, [&] {
            if (c.clickBroadcast)
                Click(Widget(dlg->GetBroadcastBox()));
            if (c.clickRange)
                Click(Widget(dlg->GetRangeBox()));
            Click(dynamic_cast<QWidget*>(dlg->GetOkButton()));
        });
        EXPECT_EQ(c.mode, SearchMode(frame));
        EXPECT_EQ(c.broadcast != c.clickBroadcast, CAppSettings::SearchBoadcast);
        EXPECT_EQ(c.range != c.clickRange, CAppSettings::SearchByIp);
        EXPECT_EQ(c.broadcast != c.clickBroadcast, SavedBool(L"SearchBoadcast"));
        EXPECT_EQ(c.range != c.clickRange, SavedBool(L"SearchByIp"));
    }
}
