// Message maps: commands (273), notifications (78) and UI messages (275) reaching a page's
// static map from controls and from other threads; ids 1 and 2 accept and reject a dialog.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTDialog.h"
#include "Widgets/CSFQTView.h"
#include "Widgets/SFWidgets.h"

namespace {
struct Call {
    std::string handler;
    void* data;
    intptr_t value;
};

class MapPage : public ISFDialogEvent {
    SF_DECLARE_MESSAGE_MAP(MapPage)
public:
    int Dlg_OnInitDialog(bool) override { return 1; }
    void Dlg_OnOK() override { calls.push_back({"ok", nullptr, 0}); }
    void Dlg_OnCancel() override { calls.push_back({"cancel", nullptr, 0}); }

    void OnFirst600() { calls.push_back({"first600", nullptr, 0}); }
    void OnSecond600() { calls.push_back({"second600", nullptr, 0}); }
    void OnRange() { calls.push_back({"range", nullptr, 0}); }
    void OnSave() { calls.push_back({"save", nullptr, 0}); }
    void OnListClick(void* data, LRESULT word) { calls.push_back({"click", data, word}); }
    void OnListSort(void* data, LRESULT word) { calls.push_back({"sort", data, word}); }
    void OnShowMessage(WPARAM data, LPARAM id)
    {
        calls.push_back({"ui", reinterpret_cast<void*>(data), id});
        uiMessages.fetch_add(1);
    }

    std::vector<Call> calls;
    std::atomic<int> uiMessages{0};
};

SF_BEGIN_MESSAGE_MAP(MapPage)
SF_ON_COMMAND(600, OnFirst600)
SF_ON_COMMAND(600, OnSecond600)
SF_ON_COMMAND_RANGE(100, 200, OnRange)
SF_ON_COMMAND(1001, OnSave)
SF_ON_NOTIFY(2, 1020, OnListClick)
SF_ON_NOTIFY(9, 1020, OnListSort)
SF_ON_UIMESSAGE(1117, OnShowMessage)
SF_END_MESSAGE_MAP()

class NoUiPage : public ISFViewEvent {
    SF_DECLARE_MESSAGE_MAP(NoUiPage)
public:
    void OnClose() { ++closes; }
    int closes = 0;
};

SF_BEGIN_MESSAGE_MAP(NoUiPage)
SF_ON_COMMAND(1, OnClose)
SF_END_MESSAGE_MAP()

std::vector<std::string> Handlers(const MapPage& page)
{
    std::vector<std::string> names;
    for (const Call& c : page.calls)
        names.push_back(c.handler);
    return names;
}

void Send(QObject* target, int message, int code, void* data, int value)
{
    CSFCustomEvent event(message, code, data, value);
    QCoreApplication::sendEvent(target, &event);
}
}  // namespace

TEST(MessageMap, LookupRules)
{
    MapPage page;
    const SF_MSGMAP_ENTRY* entries = page.GetSFMessageMap()->lpEntries;
    struct Case {
        UINT message, code, id;
        const char* handler;  // expected row, or null for no row
    } cases[] = {
        {273, 0, 600, "first600"}, {273, 0, 100, "range"},  {273, 0, 200, "range"}, {273, 0, 99, nullptr},
        {273, 0, 201, nullptr},    {78, 2, 1020, "click"},  {78, 9, 1020, "sort"},   {78, 3, 1020, nullptr},
        {273, 2, 600, nullptr},    {275, 275, 1117, "ui"},  {275, 0, 1117, nullptr},
    };
    for (const Case& c : cases) {
        page.calls.clear();
        const SF_MSGMAP_ENTRY* e = SFFindMessageEntry(entries, c.message, c.code, c.id);
        EXPECT_EQ(e != nullptr, c.handler != nullptr) << c.message << "/" << c.code << "/" << c.id;
        if (!e)
            continue;
        SFCallMessageEntry(&page, e, nullptr, c.id);
        ASSERT_EQ(page.calls.size(), 1u);
        EXPECT_EQ(page.calls[0].handler, c.handler);
    }
}

TEST(MessageMap, IdListOfUiRows)
{
    MapPage page;
    const int* ids = page.GetThisMessageIDs();
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(ids[0], 1117);
    EXPECT_EQ(ids[1], -1);
    EXPECT_EQ(page.GetThisMessageIDs(), ids);
    MapPage other;
    EXPECT_EQ(other.GetThisMessageIDs(), ids);  // one list per map
    NoUiPage view;
    EXPECT_EQ(view.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(view.GetThisMessageIDs(), nullptr);
}

TEST(MessageMap, ExplicitDispatchers)
{
    MapPage page;
    NMHDR record{};
    LONG result = 0;
    page.Dlg_OnCommand(1001);
    page.OnNotifyClick(0x10002, 1020, &record, &result);  // only the low 16 bits of the code count
    page.OnUIMessage(275, 1117, 42, 1117);
    ASSERT_EQ(Handlers(page), (std::vector<std::string>{"save", "click", "ui"}));
    EXPECT_EQ(page.calls[1].data, &record);
    EXPECT_EQ(page.calls[1].value, reinterpret_cast<intptr_t>(&result));
    EXPECT_EQ(page.calls[2].data, reinterpret_cast<void*>(42));
}

TEST(MessageMap, ControlsReachTheDialogMap)
{
    MapPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    QWidget* wnd = static_cast<QWidget*>(page.GetUIWnd());
    ASSERT_NE(wnd, nullptr);

    CSFButton* button = CreateSFButton(nullptr);
    button->Create(L"Save", WS_VISIBLE, RECT{0, 0, 60, 20}, wnd, 1001);
    static_cast<CSFQTButton*>(button)->click();

    SF_LIST_NOTIFY notify{};
    notify.iItem = 3;
    int column = 4;
    Send(wnd, SF_MSG_NOTIFY, 2, &notify, 1020);
    Send(wnd, SF_MSG_NOTIFY, 9, &column, 1020);
    Send(wnd, SF_MSG_COMMAND, 0, nullptr, 600);

    ASSERT_EQ(Handlers(page), (std::vector<std::string>{"save", "click", "sort", "first600"}));
    EXPECT_EQ(static_cast<SF_LIST_NOTIFY*>(page.calls[1].data)->iItem, 3);
    EXPECT_EQ(page.calls[1].value, 1020);
    EXPECT_EQ(*static_cast<int*>(page.calls[2].data), 4);
    DestroySFDialog(dialog);
}

TEST(MessageMap, UiMessagesPostedFromAnotherThread)
{
    MapPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    int payload[3] = {0, 0, 0};
    std::thread poster([&] {
        for (int i = 0; i < 3; ++i)
            SFPostCustomEvent(page.GetUIWnd(), 1117, &payload[i]);
    });
    poster.join();
    QDeadlineTimer deadline(10000);
    while (page.uiMessages.load() < 3 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(page.uiMessages.load(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(page.calls[static_cast<size_t>(i)].data, &payload[i]);
        EXPECT_EQ(page.calls[static_cast<size_t>(i)].value, 1117);
    }
    DestroySFDialog(dialog);
}

TEST(MessageMap, PostToNonWidgetIsDropped)
{
    // An object that records every event that reaches it.
    struct Recorder : QObject {
        int custom = 0;
        bool event(QEvent* e) override
        {
            if (e->type() >= QEvent::User)
                ++custom;
            return QObject::event(e);
        }
    } plain;
    SFPostCustomEvent(&plain, 1117, nullptr);
    SFPostCustomEvent(nullptr, 1117, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(plain.custom, 0) << "a non-widget received the message";
    // A widget does receive it: the check above is not vacuous.
    struct WidgetRecorder : QWidget {
        int custom = 0;
        bool event(QEvent* e) override
        {
            if (e->type() >= QEvent::User)
                ++custom;
            return QWidget::event(e);
        }
    } widget;
    SFPostCustomEvent(&widget, 1117, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(widget.custom, 1);
}

TEST(MessageMap, CommandsOneAndTwoEndTheModalDialog)
{
    struct Case {
        int message, code, id;
        int result;
        const char* last;
    } cases[] = {
        {SF_MSG_COMMAND, 0, 1, 1, "ok"},
        {SF_MSG_COMMAND, 0, 2, 2, "cancel"},
        {SF_MSG_COMMAND, 0, 600, 2, "cancel"},  // not an end command: the timer's fallback rejects
        {SF_MSG_COMMAND, 5, 1, 2, "cancel"},    // code other than 0: no accept
    };
    for (const Case& c : cases) {
        MapPage page;
        CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
        QWidget* wnd = static_cast<QWidget*>(page.GetUIWnd());
        QTimer::singleShot(0, wnd, [&] {
            Send(wnd, c.message, c.code, nullptr, c.id);
            if (wnd->isVisible())
                dialog->MFCCancel();
        });
        EXPECT_EQ(dialog->DoModalDlg(), c.result) << c.id;
        ASSERT_FALSE(page.calls.empty());
        EXPECT_EQ(page.calls.back().handler, c.last) << c.id;
        DestroySFDialog(dialog);
    }
}

TEST(MessageMap, ViewCallsTheHandlerOnly)
{
    NoUiPage page;
    CSFView* view = CreateSFView(&page);
    QWidget* wnd = static_cast<QWidget*>(page.GetUIWnd());
    view->Create(L"", L"page", WS_VISIBLE, RECT{0, 0, 99, 49}, nullptr, 7);
    Send(wnd, SF_MSG_COMMAND, 0, nullptr, 1);
    EXPECT_EQ(page.closes, 1);
    EXPECT_TRUE(wnd->isVisible());
    delete static_cast<CSFQTView*>(view);
}
