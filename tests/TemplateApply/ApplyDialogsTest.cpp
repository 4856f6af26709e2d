// The progress dialog's states and the result dialog's rows, driven as a user does (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include "ApplyTestSupport.h"
#include "TemplateFiles.h"

using namespace applytest;
using R = CTemplateApplyResultDlg;

namespace {

QWidget* W(void* p) { return static_cast<QWidget*>(p); }
template <class T> QWidget* Q(T* facade) { return dynamic_cast<QWidget*>(facade); }

void Key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

TEMPLATE_RESULT_SET Flags(std::initializer_list<int> flags)
{
    TEMPLATE_RESULT_SET r{};
    for (int f : flags)
        r.Set(f);
    return r;
}

} // namespace

class ApplyProgressDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLoops();
        panel = Panel::Make();
    }
    std::shared_ptr<Panel> panel;
};

// Cancel before OK stops nothing that runs and closes at once; Escape and Enter change nothing.
TEST_F(ApplyProgressDialog, CancelInConfirmClosesAtOnce)
{
    panel->control->AddDevice(0, "127.0.0.9", "admin", "x", "aa", 7, 0);
    std::wstring confirm;
    bool stillOpen = false;
    const int rc = panel->RunDialog("/t/Templet.xml", [&] {
        QWidget* dlg = W(panel->applyDlg->GetUIWnd());
        Key(dlg, Qt::Key_Escape);
        Key(dlg, Qt::Key_Return);
        stillOpen = dlg->isVisible();
        confirm = panel->applyDlg->GetText();
        Click(panel->applyDlg->GetCancelButton());
    });
    (void)rc;
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(confirm, L"configure 1 device(s) using template /t/Templet.xml, continue?");
    EXPECT_EQ(panel->control->IsConfiguring(), 0);
    TEMPLATE_RESULT_SET r = panel->control->GetDeviceResult(7);
    EXPECT_TRUE(r.Test(TEMPLATE_RESULT_NOT_STARTED));
    EXPECT_FALSE(r.Test(TEMPLATE_RESULT_OK));
    EXPECT_TRUE(Q(panel->applyDlg->GetProgress())->isHidden());
}

// A run is shown with its running text and bar; a second run starts from a clean confirm state;
// a long path wraps and the buttons and the dialog's height follow the text.
TEST_F(ApplyProgressDialog, RunningTextAndResetForTheNextRun)
{
    // No device answers on this address: the login fails quickly and ends the run.
    panel->control->AddDevice(0, "127.255.255.254", "admin", "x", "aa", 7, 0);
    std::wstring running;
    bool okDisabled = false, barShown = false;
    panel->RunDialog("/t/a.xml", [&] {
        Click(panel->applyDlg->GetOkButton());
        running = panel->applyDlg->GetText();
        okDisabled = !Q(panel->applyDlg->GetOkButton())->isEnabled();
        barShown = !Q(panel->applyDlg->GetProgress())->isHidden();
    });
    EXPECT_EQ(running, L"1 device(s) are configuring template /t/a.xml, please wait......");
    EXPECT_TRUE(okDisabled);
    EXPECT_TRUE(barShown);
    EXPECT_TRUE(panel->control->GetDeviceResult(7).Test(TEMPLATE_RESULT_LOGIN));

    const std::string longPath = "/t/" + std::string(300, 'x') + ".xml";
    int heightOneLine = 0, heightLong = 0, okOneLine = 0, okLong = 0;
    bool reset = false;
    panel->applyDlg->SetTemplateName("/t/a.xml");
    panel->applyDlg->ResetState();
    heightOneLine = W(panel->applyDlg->GetUIWnd())->height();
    okOneLine = Q(panel->applyDlg->GetOkButton())->y();
    panel->RunDialog(longPath, [&] {
        QWidget* dlg = W(panel->applyDlg->GetUIWnd());
        reset = Q(panel->applyDlg->GetOkButton())->isEnabled() && Q(panel->applyDlg->GetCancelButton())->isEnabled() &&
                Q(panel->applyDlg->GetProgress())->isHidden() && panel->applyDlg->GetProgress()->GetPos() == 0;
        heightLong = dlg->height();
        okLong = Q(panel->applyDlg->GetOkButton())->y();
        Click(panel->applyDlg->GetCancelButton());
    });
    EXPECT_TRUE(reset);
    EXPECT_GT(heightLong, heightOneLine);
    EXPECT_EQ(okLong - okOneLine, heightLong - heightOneLine);
}

class ApplyResultDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureLoops();
        panel = Panel::Make();
    }
    // Shows the dialog for a device with these flags and the template text; returns once it is
    // up, with the dialog still open (closed by TearDown).
    void Show(const std::string& text, TEMPLATE_RESULT_SET flags, int mode = 3)
    {
        path = folder.Write("Shown.xml", text);
        panel->resultDlg->SetTemplateFile(path);
        panel->resultDlg->ShowDeviceResult(&mode, &flags);
    }
    std::wstring Icon(int row) const { return panel->resultDlg->GetIconImage(row); }
    bool IconShown(int row) const { return !Q(panel->resultDlg->GetIcon(row))->isHidden(); }

    tplfiles::Folder folder;
    std::string path;
    std::shared_ptr<Panel> panel;
};

// The summary line and the icons for each outcome, and mode 0 keeping every icon ok.
TEST_F(ApplyResultDialog, SummaryAndIconsFollowTheFlags)
{
    const std::string text = tplfiles::Template("IPC", "\n", 4);
    struct Case {
        const char* name;
        TEMPLATE_RESULT_SET flags;
        int mode;
        const wchar_t* head;
        const wchar_t* tail;
        bool encodeError, videoError;
    } cases[] = {
        {"login", Flags({TEMPLATE_RESULT_LOGIN}), 3, L"Did not configed template ", L", login failed!", true, true},
        {"encode", Flags({TEMPLATE_RESULT_ENCODE}), 3, L"Config template ", L" failed!", true, false},
        {"ok", Flags({TEMPLATE_RESULT_OK}), 3, L"Successfully configed template ", L"", false, false},
        {"mode 0", Flags({TEMPLATE_RESULT_ENCODE, TEMPLATE_RESULT_DAYNIGHT}), 0, L"Config template ", L" failed!",
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Show(text, c.flags, c.mode);
        const std::wstring wpath(path.begin(), path.end());
        EXPECT_EQ(panel->resultDlg->GetSummaryText(), c.head + wpath + c.tail);
        for (int row : {R::ROW_MAIN_STREAM, R::ROW_MAIN_BITRATE, R::ROW_SUB_ENABLE, R::ROW_SUB_AUDIO_ENCODE})
            EXPECT_EQ(Icon(row), c.encodeError ? R::kErrorIcon : R::kOkIcon) << row;
        for (int row : {R::ROW_COLOR_MODE, R::ROW_GAMMA, R::ROW_BLC_MODE, R::ROW_DAYNIGHT, R::ROW_FILEMANAGE})
            EXPECT_EQ(Icon(row), c.videoError ? R::kErrorIcon : R::kOkIcon) << row;
    }
}

// Values are read from the file when shown: BLC wins over a WDR level, a time window is written
// out, a disabled sub stream greys its rows and hides their icons, CBR hides the quality icon.
TEST_F(ApplyResultDialog, ValuesFromTheFileAtShowTime)
{
    std::string text = tplfiles::Template("IPC", "\n", 2);
    text = tplfiles::Replace(text, "Backlight=\"2\"", "Backlight=\"1\"");
    text = tplfiles::Replace(text, "StartTimeHour=\"8\" StartTimeMinute=\"30\"", "StartTimeHour=\"6\" StartTimeMinute=\"0\"");
    text = tplfiles::Replace(text, "EndTimeHour=\"18\" EndTimeMinute=\"45\" EndTimeSecond=\"15\"",
                             "EndTimeHour=\"18\" EndTimeMinute=\"0\" EndTimeSecond=\"0\"");
    text = tplfiles::Replace(text, "EStreamMEnable=\"1\"", "EStreamMEnable=\"0\"");
    text = tplfiles::Replace(text, "MStreamNBitRateControl=\"1\"", "MStreamNBitRateControl=\"0\"");
    Show(text, Flags({TEMPLATE_RESULT_ENCODE}));

    R& d = *panel->resultDlg;
    EXPECT_EQ(d.GetRowText(R::ROW_BLC_MODE), L"BLC");
    EXPECT_EQ(d.GetRowText(R::ROW_BLC_LEVEL), L"0");
    EXPECT_FALSE(IconShown(R::ROW_BLC_LEVEL));
    EXPECT_EQ(d.GetRowText(R::ROW_FILEMANAGE), L"ByTime");
    EXPECT_EQ(d.GetRowText(R::ROW_DAY_START), L"06:00:00-18:00:00");
    EXPECT_FALSE(Q(d.GetValueText(R::ROW_DAY_START))->isHidden());
    EXPECT_TRUE(Q(d.GetLabel(R::ROW_ALWAYS_USE))->isHidden());
    EXPECT_EQ(d.GetRowText(R::ROW_MAIN_RESOLUTION), L"1080P");
    EXPECT_EQ(d.GetRowText(R::ROW_MAIN_CODE_MODE), L"H.264H");
    EXPECT_EQ(d.GetRowText(R::ROW_MAIN_FRAME_RATE), L"25");
    EXPECT_EQ(d.GetRowText(R::ROW_MAIN_BITRATE), L"4096");
    EXPECT_EQ(d.GetRowText(R::ROW_SUB_STANDARD), L"NTSC");
    EXPECT_EQ(d.GetRowText(R::ROW_COLOR_MODE), L"Bright");
    EXPECT_EQ(d.GetRowText(R::ROW_GAMMA), L"40");
    EXPECT_FALSE(IconShown(R::ROW_MAIN_QUALITY));
    for (int row : {R::ROW_SUB_STREAM, R::ROW_SUB_RESOLUTION, R::ROW_SUB_QUALITY, R::ROW_SUB_BITRATE})
        EXPECT_FALSE(IconShown(row)) << row;
    EXPECT_TRUE(IconShown(R::ROW_SUB_ENABLE));
    EXPECT_EQ(Icon(R::ROW_SUB_ENABLE), R::kErrorIcon);
    EXPECT_TRUE(IconShown(R::ROW_SUB_AUDIO));
    EXPECT_TRUE(Q(d.GetLabel(R::ROW_MAIN_IFRAME))->isHidden());

    // Edited after the run: shown anew from the file; the all-day row replaces the time row.
    text = tplfiles::Replace(text, "FileManage=\"2\"", "FileManage=\"3\"");
    text = tplfiles::Replace(text, "EStreamMEnable=\"0\"", "EStreamMEnable=\"1\"");
    Show(text, Flags({TEMPLATE_RESULT_OK}));
    EXPECT_EQ(d.GetRowText(R::ROW_FILEMANAGE), L"AllDay");
    EXPECT_EQ(d.GetRowText(R::ROW_ALWAYS_USE), L"Night");
    EXPECT_TRUE(Q(d.GetValueText(R::ROW_DAY_START))->isHidden());
    EXPECT_TRUE(IconShown(R::ROW_SUB_STREAM));
}

// Escape, Enter and the close button each close the dialog.
TEST_F(ApplyResultDialog, EscapeEnterAndCloseButtonClose)
{
    Show(tplfiles::Template("IPC", "\n", 4), Flags({TEMPLATE_RESULT_OK}));
    QWidget* dlg = W(panel->resultDlg->GetUIWnd());
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        bool wasOpen = false;
        QTimer::singleShot(0, [&] {
            wasOpen = dlg->isVisible();
            if (how == 0)
                Key(dlg, Qt::Key_Escape);
            else if (how == 1)
                Key(dlg, Qt::Key_Return);
            else
                for (QWidget* w : dlg->findChildren<QWidget*>())
                    if (auto* b = dynamic_cast<CSFButton*>(w))
                        Click(b);
        });
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [dlg] { dlg->hide(); });
        guard.start(5000);
        panel->resultDlg->GetDialog()->DoModalDlg();
        EXPECT_TRUE(wasOpen);
        EXPECT_TRUE(guard.isActive() && guard.remainingTime() > 0);
    }
}
