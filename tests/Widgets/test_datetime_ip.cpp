// Date/time control (formats, change reports, record fields) and IP address control (layout,
// reports, auto-advance, key navigation, address answers).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QLabel>
#include <QWheelEvent>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTDateTimeCtrl.h"
#include "Widgets/CSFQTIPAddressCtrl.h"
#include "Widgets/IPFieldItem.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
struct TimeSink : ISFDateTimeCtrlEvent {
    std::vector<std::pair<UINT, _SF_SYSTEMTIME>> changes;
    void DTN_DateTimeChange(UINT id, _SF_SYSTEMTIME t) override { changes.emplace_back(id, t); }
};

struct IpSink : ISFIPAddressCtrlEvent {
    std::vector<std::pair<UINT, std::wstring>> changes;  // (field, text)
    void EDIT_OnIPTextChange(UINT, wchar_t* text, UINT field) override { changes.emplace_back(field, text); }
};

CSFQTIPAddressCtrl* NewIp(QWidget* page, ISFIPAddressCtrlEvent* sink, bool notify)
{
    auto* ip = static_cast<CSFQTIPAddressCtrl*>(CreateSFIPAddressCtrl(sink));
    ip->Create(WS_VISIBLE, RECT{10, 10, 130, 32}, page, 21, notify);
    return ip;
}
}  // namespace

TEST(DateTimeCtrl, DisplayFormatsByType)
{
    const char* formats[] = {"yyyy-MM-dd", "hh:mm:ss", "hh:mm"};
    for (int type = 0; type < 3; ++type) {
        std::unique_ptr<CSFQTDateTimeCtrl> ctrl(
            static_cast<CSFQTDateTimeCtrl*>(CreateSFDateTimeCtrl(nullptr, type)));
        EXPECT_EQ(ctrl->displayFormat().toStdString(), formats[type]) << type;
    }
    // Other types set no format of their own (the toolkit keeps its default).
    std::unique_ptr<CSFQTDateTimeCtrl> other(static_cast<CSFQTDateTimeCtrl*>(CreateSFDateTimeCtrl(nullptr, 3)));
    for (const char* format : formats)
        EXPECT_NE(other->displayFormat().toStdString(), format);
}

TEST(DateTimeCtrl, ChangesReportedOncePerRealChange)
{
    QWidget page;
    TimeSink sink;
    auto* ctrl = static_cast<CSFQTDateTimeCtrl*>(CreateSFDateTimeCtrl(&sink, 1));
    _SF_SYSTEMTIME t{};
    t.wHour = 23;
    t.wMinute = 59;
    t.wSecond = 59;
    ctrl->SetTime(&t);
    ASSERT_EQ(sink.changes.size(), 1u);
    EXPECT_EQ(sink.changes[0].first, 0xFFFFFFFFu) << "before Create the id is all ones";
    ctrl->Create(0, RECT{10, 10, 110, 36}, &page, 44);
    t.wHour = 0;
    ctrl->SetTime(&t);
    t.wHour = 23;
    ctrl->SetTime(&t);
    ctrl->SetTime(&t);
    ASSERT_EQ(sink.changes.size(), 3u);
    const _SF_SYSTEMTIME& last = sink.changes.back().second;
    EXPECT_EQ(sink.changes.back().first, 44u);
    EXPECT_EQ(last.wHour, 23);
    EXPECT_EQ(last.wMinute, 59);
    EXPECT_EQ(last.wSecond, 59);
    EXPECT_EQ(last.wDayOfWeek, 0);
    EXPECT_EQ(last.wMilliseconds, 0);

    _SF_SYSTEMTIME read{};
    read.wYear = 2015;
    EXPECT_EQ(ctrl->GetTime(&read), 1);
    EXPECT_EQ(read.wYear, 2015);
    EXPECT_EQ(read.wHour, 23);
    _SF_SYSTEMTIME date{};
    date.wYear = 2024;
    date.wMonth = 2;
    date.wDay = 29;
    ctrl->SetDate(&date);
    _SF_SYSTEMTIME got{};
    got.wHour = 7;
    ctrl->GetDate(&got);
    EXPECT_EQ(got.wYear, 2024);
    EXPECT_EQ(got.wMonth, 2);
    EXPECT_EQ(got.wDay, 29);
    EXPECT_EQ(got.wHour, 7);
}

TEST(DateTimeCtrl, GeometryRulesWheelAndSkin)
{
    QWidget page;
    auto* ctrl = static_cast<CSFQTDateTimeCtrl*>(CreateSFDateTimeCtrl(nullptr, 0));
    RECT r{10, 10, 110, 36};
    ctrl->Create(0, r, &page, 1);
    EXPECT_EQ(ctrl->size(), QSize(100, 26));
    ctrl->MoveWindow(&r);
    EXPECT_EQ(ctrl->size(), QSize(101, 27));
    RECT own{};
    ctrl->GetWindowRect(&own);
    EXPECT_EQ(own.right, 100);
    EXPECT_EQ(own.bottom, 26);

    const QDateTime before = ctrl->dateTime();
    ctrl->setFocus();
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(ctrl, &wheel);
    EXPECT_EQ(ctrl->dateTime(), before);

    ImageDateTimeStyle style;
    style.strFrameImage = L"frame.png";
    style.strUpImage = L"up.png";
    SFSetSkinDir(L"/s/");
    ctrl->SetOriginStyle(1);
    EXPECT_EQ(ctrl->SetSkin(&style), 0);
    EXPECT_TRUE(ctrl->styleSheet().isEmpty());
    ctrl->SetOriginStyle(0);
    EXPECT_EQ(ctrl->SetSkin(&style), 1);
    EXPECT_TRUE(ctrl->styleSheet().startsWith("QDateTimeEdit { padding: 0 8px; border-width: 1px; "
                                              "border-image: url(/s/frame.png) 1 1 1 1 stretch;}"
                                              "QDateTimeEdit::up-button {width: 21px; border-image: url(/s/up.png);}"));
    // Button fields naming pieces of the frame image keep drawn arrows instead of image rules.
    style.strUpImage = L"161,13,20,13";
    style.strDownImage = L"161,0,20,13";
    EXPECT_EQ(ctrl->SetSkin(&style), 1);
    EXPECT_FALSE(ctrl->styleSheet().contains("161,"));
    EXPECT_TRUE(ctrl->styleSheet().contains("QDateTimeEdit::up-button, QDateTimeEdit::down-button"));
}

TEST(IPAddressCtrl, LayoutOfFieldsAndDots)
{
    QWidget page;
    CSFQTIPAddressCtrl* ip = NewIp(&page, nullptr, false);
    ip->MoveWindow(0, 0, 120, 22);
    const int fieldX[] = {2, 32, 62, 92};
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(ip->Field(i)->geometry(), QRect(fieldX[i - 1], 1, 26, 20)) << i;
    const int dotX[] = {28, 58, 88};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(ip->Dot(i)->geometry(), QRect(dotX[i - 1], 1, 4, 20)) << i;
        EXPECT_EQ(ip->Dot(i)->text(), ".");
    }
    EXPECT_EQ(ip->objectName(), "ParentEdit");
    EXPECT_TRUE(ip->isReadOnly());

    ip->EnableWindow(0);
    EXPECT_TRUE(ip->Field(1)->styleSheet().contains("gray"));
    ip->MoveWindow(0, 0, 120, 22);
    EXPECT_FALSE(ip->Field(1)->styleSheet().contains("gray"));
    EXPECT_FALSE(ip->isEnabled());
}

TEST(IPAddressCtrl, SetAddressReportsAndMovesFocus)
{
    QWidget page;
    IpSink sink;
    CSFQTIPAddressCtrl* ip = NewIp(&page, &sink, true);
    ASSERT_TRUE(ShowActive(&page));
    ip->Field(1)->setFocus();
    ip->SetAddress(192, 168, 1, 100);
    const std::vector<std::pair<UINT, std::wstring>> expected{{1, L"192"}, {2, L"168"}, {3, L"1"}, {4, L"100"}};
    EXPECT_EQ(sink.changes, expected);
    EXPECT_EQ(QApplication::focusWidget(), ip->Field(3));

    ip->ClearAddress();
    EXPECT_EQ(sink.changes.size(), 8u);
    sink.changes.clear();
    ip->SetAddress(static_cast<DWORD>((192u << 24) | (168u << 16) | (1u << 8) | 100u));
    EXPECT_EQ(sink.changes, expected);
}

TEST(IPAddressCtrl, AddressAnswers)
{
    QWidget page;
    CSFQTIPAddressCtrl* ip = NewIp(&page, nullptr, false);
    ip->ClearAddress();
    DWORD address = 0xFFFFFFFF;
    EXPECT_EQ(ip->GetAddress(address), 4);
    EXPECT_EQ(address, 0u);

    ip->Field(1)->setText("10");
    ip->Field(3)->setText("0");
    ip->Field(4)->setText("1");
    BYTE o1 = 9, o2 = 77, o3 = 9, o4 = 9;
    EXPECT_EQ(ip->GetAddress(o1, o2, o3, o4), 1);
    EXPECT_EQ(o1, 10);
    EXPECT_EQ(o2, 77) << "an empty field keeps the caller's byte";
    EXPECT_EQ(o3, 0);
    EXPECT_EQ(o4, 1);
    EXPECT_EQ(ip->GetAddress(address), 1);
    EXPECT_EQ(address, 0x0A000001u);

    struct Case {
        DWORD value;
        UINT field;
        int flag;
        const char* field2;
    };
    for (const Case& c : {Case{7, 4, 0, ""}, Case{7, 2, 1, ""}, Case{263, 2, 0, "7"}}) {
        ip->Field(2)->clear();
        ip->SetAddressOnline(c.value, c.field, c.flag);
        EXPECT_EQ(ip->Field(2)->text().toStdString(), c.field2) << c.value << "," << c.field << "," << c.flag;
    }
    EXPECT_EQ(ip->Field(4)->text(), "1");
}

TEST(IPAddressCtrl, TypingValidationAndNavigation)
{
    QWidget page;
    CSFQTIPAddressCtrl* ip = NewIp(&page, nullptr, false);
    ASSERT_TRUE(ShowActive(&page));
    IPFieldItem* f2 = ip->Field(2);
    f2->setFocus();
    QTest::keyClicks(f2, "256");
    EXPECT_EQ(f2->text(), "25");
    f2->clear();
    QTest::keyClicks(f2, "01");
    EXPECT_EQ(f2->text(), "0");
    f2->clear();

    IPFieldItem* f1 = ip->Field(1);
    f1->setFocus();
    QTest::keyClicks(f1, "123");
    EXPECT_EQ(QApplication::focusWidget(), f2);
    f2->setText("45");
    f2->setFocus();
    f2->selectAll();
    QTest::keyClick(f2, Qt::Key_End);
    QTest::keyClick(f2, Qt::Key_Period);
    EXPECT_EQ(QApplication::focusWidget(), ip->Field(3));
    EXPECT_EQ(f2->text(), "45") << "the period is never typed";

    IPFieldItem* f3 = ip->Field(3);
    QTest::keyClick(f3, Qt::Key_Backspace);
    EXPECT_EQ(QApplication::focusWidget(), f2);
    EXPECT_EQ(f2->text(), "45") << "the backspace deletes nothing in the previous field";
    EXPECT_EQ(f2->cursorPosition(), 2);
    QTest::keyClick(f2, Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), f3);
    QTest::keyClick(f3, Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), f2);
}

TEST(IPAddressCtrl, ClickingIntoAFieldAndTypingAnAddressReplacesIt)
{
    struct Case {
        DWORD shown;
        const char* typed;
        const char* expected;
    } cases[] = {
        {0, "127.0.0.4", "127.0.0.4"},
        {(192u << 24) | (168u << 16) | (1u << 8) | 108u, "10.1.2.3", "10.1.2.3"},
        {0, "1.22.255.7", "1.22.255.7"},
        {0, "10..5", "10.0.5.0"},  // a period in a field just entered moves on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        QWidget page;
        CSFQTIPAddressCtrl* ip = NewIp(&page, nullptr, false);
        ip->SetAddress(c.shown);
        ASSERT_TRUE(ShowActive(&page));
        page.setFocus();
        QTest::mouseClick(ip->Field(1), Qt::LeftButton, Qt::NoModifier, ip->Field(1)->rect().center());
        ASSERT_EQ(QApplication::focusWidget(), ip->Field(1));
        for (const char* p = c.typed; *p; ++p)
            QTest::keyClick(QApplication::focusWidget(), *p);
        QString address;
        for (int i = 1; i <= 4; ++i)
            address += (i > 1 ? "." : "") + ip->Field(i)->text();
        EXPECT_EQ(address.toStdString(), c.expected);
    }
}
