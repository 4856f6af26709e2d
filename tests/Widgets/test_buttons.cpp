// Image buttons, check boxes and radio boxes: images per state, clicks reaching the sink and
// the parent's message map, bounded text getters and the fade animation.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <QAbstractAnimation>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include "WidgetTestSupport.h"
#include "Widgets/CSFQTButton.h"
#include "Widgets/CSFQTCheckBox.h"
#include "Widgets/CSFQTRadioBox.h"
#include "Widgets/SFWidgets.h"

namespace {
const QColor kNormal(0xF5, 0xF8, 0xFC), kHover(0xE3, 0xEE, 0xFB), kPressed(0xCF, 0xE2, 0xF8),
    kDisabled(0xEE, 0xEE, 0xEE);

// A parent page whose map records every command.
class ParentPage : public ISFViewEvent, public ISFButtonEvent, public ISFCheckBoxEvent, public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP(ParentPage)
public:
    void OnCommand() { events.push_back("command"); }
    void BTN_OnLButtonDown(int id, UINT, POINT) override { events.push_back("down" + std::to_string(id)); }
    void BTN_OnLButtonUp(int id, UINT, POINT) override { events.push_back("up" + std::to_string(id)); }
    void BTN_OnClicked(int id) override { events.push_back("clicked" + std::to_string(id)); }
    void Check_OnCheckStateChanged(int checked, int id, POINT) override
    {
        events.push_back("check" + std::to_string(checked) + "/" + std::to_string(id));
    }
    void RADIO_OnClicked(int checked, int id, POINT) override
    {
        events.push_back("radio" + std::to_string(checked) + "/" + std::to_string(id));
    }
    std::vector<std::string> events;
};

SF_BEGIN_MESSAGE_MAP(ParentPage)
SF_ON_COMMAND_RANGE(1, 2000, OnCommand)
SF_END_MESSAGE_MAP()

struct Fixture : ::testing::Test {
    void SetUp() override
    {
        UseBuildSkin();
        view = CreateSFView(&page);
        view->Create(L"", L"", WS_VISIBLE, RECT{0, 0, 299, 199}, nullptr, 0);
        parent = static_cast<QWidget*>(page.GetUIWnd());
    }
    void TearDown() override { delete parent; }

    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(page.events);
        return out;
    }

    ParentPage page;
    CSFView* view = nullptr;
    QWidget* parent = nullptr;
};

ImageButtonStyle ButtonSkin()
{
    ImageButtonStyle s;
    s.strNormal = L"btn_nor.png";
    s.strHover = L"btn_over.png";
    s.strPressed = L"btn_down.png";
    s.strDisabled = L"btn_dis.png";
    return s;
}

QColor Centre(QWidget* w)
{
    return Grab(w).pixelColor(w->width() / 2, w->height() / 2);
}

bool WaitFor(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}
}  // namespace

using ImageButton = Fixture;
using CheckBox = Fixture;
using RadioBox = Fixture;

TEST_F(ImageButton, ImagePerLook)
{
    CSFButton* button = CreateSFButton(nullptr);
    button->Create(L"", WS_VISIBLE, RECT{10, 10, 90, 38}, parent, 1001);
    ImageButtonStyle skin = ButtonSkin();
    ASSERT_EQ(button->SetSkin(&skin), 1);
    EXPECT_EQ(button->SetSkin(nullptr), 0);
    auto* widget = static_cast<CSFQTButton*>(button);
    struct Case {
        int look;
        QColor colour;
    } cases[] = {{0, kHover}, {1, kPressed}, {2, kNormal}, {4, kHover}, {3, kNormal}};
    for (const Case& c : cases) {
        button->SetBtnState(c.look);
        EXPECT_TRUE(SameColour(Centre(widget), c.colour)) << c.look;
        EXPECT_EQ(widget->Look(), c.look);
    }
    button->EnableWindow(0);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_TRUE(SameColour(Centre(widget), kDisabled));

    // Names left empty keep the images loaded before.
    button->EnableWindow(1);
    ImageButtonStyle partial;
    partial.strNormal = L"btn_down.png";
    button->SetSkin(&partial);
    button->SetBtnState(2);
    EXPECT_TRUE(SameColour(Centre(widget), kPressed));
    button->SetBtnState(0);
    EXPECT_TRUE(SameColour(Centre(widget), kHover));
}

TEST_F(ImageButton, MissingImagesFallBackToAPlainFace)
{
    CSFButton* button = CreateSFButton(nullptr);
    button->Create(L"", WS_VISIBLE, RECT{10, 10, 90, 38}, parent, 1001);
    ImageButtonStyle skin;
    skin.strNormal = L"no-such-image.png";
    skin.strHover = L"also-missing.png";
    EXPECT_EQ(button->SetSkin(&skin), 1);
    auto* widget = static_cast<CSFQTButton*>(button);
    EXPECT_TRUE(SameColour(Centre(widget), widget->palette().color(QPalette::Button)));
}

TEST_F(ImageButton, ClickReachesSinkThenParentMap)
{
    CSFButton* button = CreateSFButton(&page);
    button->Create(L"Go", WS_VISIBLE, RECT{10, 10, 90, 38}, parent, 1001);
    auto* widget = static_cast<CSFQTButton*>(button);
    QTest::mousePress(widget, Qt::LeftButton);
    EXPECT_EQ(widget->Look(), 1);
    QTest::mouseRelease(widget, Qt::LeftButton);
    EXPECT_EQ(widget->Look(), 4);
    EXPECT_EQ(Take(), (std::vector<std::string>{"down1001", "up1001", "clicked1001", "command"}));

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &enter);
    EXPECT_EQ(widget->Look(), 4);  // re-entering while released keeps the look
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
    EXPECT_EQ(widget->Look(), 2);

    // A button without a sink still reaches the map; one without a parent sends nothing.
    CSFButton* bare = CreateSFButton(nullptr);
    bare->Create(L"", WS_VISIBLE, RECT{0, 0, 10, 10}, parent, 5);
    static_cast<CSFQTButton*>(bare)->click();
    EXPECT_EQ(Take(), (std::vector<std::string>{"command"}));
    CSFButton* orphan = CreateSFButton(&page);
    static_cast<CSFQTButton*>(orphan)->click();
    EXPECT_EQ(Take(), (std::vector<std::string>{"clicked0"}));
    DestroySFButton(orphan);
    DestroySFButton(nullptr);
}

TEST_F(ImageButton, TextAlignAndBoundedText)
{
    CSFButton* button = CreateSFButton(nullptr);
    button->Create(L"Refresh devices", WS_VISIBLE, RECT{0, 0, 60, 20}, parent, 1);
    auto* widget = static_cast<CSFQTButton*>(button);
    struct Case {
        UINT flags;
        int textFlags;
    } cases[] = {{0, 0x181}, {1, 0x184}, {2, 0x182}, {3, 0x184}, {0x8001, 0x184}};
    for (const Case& c : cases) {
        button->SetTextAlign(c.flags);
        EXPECT_EQ(widget->TextFlags(), c.textFlags) << c.flags;
    }
    wchar_t buf[8];
    std::fill(std::begin(buf), std::end(buf), L'#');
    EXPECT_EQ(button->GetWindowTextW(buf, 5), 4);
    EXPECT_EQ(std::wstring(buf), L"Refr");
    EXPECT_EQ(buf[5], L'#');
}

TEST_F(ImageButton, OneFadeAnimationPerControl)
{
    CSFButton* button = CreateSFButton(nullptr);
    button->Create(L"", WS_VISIBLE, RECT{0, 0, 60, 20}, parent, 1);
    button->EnableAnimation(1);
    auto* widget = static_cast<CSFQTButton*>(button);
    for (int i = 0; i < 20; ++i) {
        QEvent enter(QEvent::Enter), leave(QEvent::Leave);
        QCoreApplication::sendEvent(widget, &enter);
        QTest::mousePress(widget, Qt::LeftButton);
        QTest::mouseRelease(widget, Qt::LeftButton);
        QCoreApplication::sendEvent(widget, &leave);
    }
    EXPECT_EQ(widget->findChildren<QAbstractAnimation*>().size(), 1);
    EXPECT_TRUE(WaitFor([&] { return widget->PicTransparence() == 1.0f; }));
}

TEST_F(CheckBox, ImagesAndToggle)
{
    CSFCheckBox* box = CreateSFCheckBox(&page);
    box->Create("", WS_VISIBLE, RECT{10, 10, 26, 26}, parent, 1300);
    ImageCheckBox skin;
    skin.strCheckedNormal = skin.strCheckedHover = skin.strCheckedPressed = L"Select_Check.png";
    skin.strUncheckedNormal = skin.strUncheckedHover = skin.strUncheckedPressed = L"Select_unCheck.png";
    skin.strCheckedDisabled = skin.strUncheckedDisabled = L"Select_Unable.png";
    ASSERT_EQ(box->SetSkin(&skin), 1);
    auto* widget = static_cast<CSFQTCheckBox*>(box);
    widget->show();
    const QColor unchecked = Grab(widget).pixelColor(3, 3);
    EXPECT_TRUE(SameColour(unchecked, Qt::white));

    QTest::mouseClick(widget, Qt::LeftButton);
    int checked = -1;
    box->GetCheck(&checked);
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(SameColour(Grab(widget).pixelColor(3, 3), QColor(0x2D, 0x88, 0xEF)));
    EXPECT_EQ(Take(), (std::vector<std::string>{"check1/1300", "command"}));

    // Pressed inside, released outside: nothing changes and nothing is reported.
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
    box->GetCheck(&checked);
    EXPECT_EQ(checked, 1);
    EXPECT_EQ(Take(), (std::vector<std::string>{}));

    box->SetCheck(0);
    box->GetCheck(&checked);
    EXPECT_EQ(checked, 0);
}

TEST_F(CheckBox, ImagesStretchByTheirMiddleLines)
{
    QPixmap image(4, 4);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        p.fillRect(0, 0, 2, 2, Qt::red);
        p.fillRect(2, 0, 2, 2, Qt::green);
        p.fillRect(0, 2, 2, 2, Qt::blue);
        p.fillRect(2, 2, 2, 2, Qt::black);
    }
    const QImage out = CSFQTCheckBox::StretchByMiddle(image, 10, 8).toImage();
    ASSERT_EQ(out.size(), QSize(10, 8));
    EXPECT_EQ(out.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(out.pixelColor(9, 0), QColor(Qt::green));
    EXPECT_EQ(out.pixelColor(0, 7), QColor(Qt::blue));
    EXPECT_EQ(out.pixelColor(9, 7), QColor(Qt::black));
    EXPECT_EQ(out.pixelColor(5, 4), QColor(Qt::black));  // the centre repeats pixel (2, 2)
    EXPECT_TRUE(CSFQTCheckBox::StretchByMiddle(QPixmap(), 10, 8).isNull());
}

TEST_F(RadioBox, EveryClickTogglesAndReports)
{
    CSFRadioBox* radio = CreateSFRadioBox(&page);
    radio->Create(L"Never notify", WS_VISIBLE, RECT{10, 50, 130, 76}, parent, 1400);
    ImageRadioBox skin;
    skin.strCheckedNormal = skin.strCheckedHover = skin.strCheckedPressed = L"Select_Check.png";
    skin.strUncheckedNormal = skin.strUncheckedHover = skin.strUncheckedPressed = L"Select_unCheck.png";
    skin.strCheckedDisabled = skin.strUncheckedDisabled = L"Select_Unable.png";
    radio->SetSkin(&skin);
    auto* widget = static_cast<CSFQTRadioBox*>(radio);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(8, 13));
    EXPECT_EQ(radio->GetCheck(), 1);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(8, 13));
    EXPECT_EQ(radio->GetCheck(), 0);
    EXPECT_EQ(Take(), (std::vector<std::string>{"radio1/1400", "command", "radio0/1400", "command"}));

    // The icon shows the checked image; the text is drawn right of it.
    radio->SetCheck(1);
    const QImage shot = Grab(widget);
    EXPECT_TRUE(SameColour(shot.pixelColor(2, 10), QColor(0x2D, 0x88, 0xEF)));

    wchar_t buf[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_EQ(radio->GetWindowTextW(buf, 3), 3);  // no terminator when the text fills the count
    EXPECT_EQ(buf[2], L'v');
    EXPECT_EQ(buf[3], L'#');

    radio->EnableWindow(0);
    EXPECT_TRUE(SameColour(widget->TextColor(), QColor(0xBC, 0xBC, 0xBC)));
    Grab(widget);
    EXPECT_EQ(widget->Look(), 3);
    radio->SetEnabled(1);
    EXPECT_EQ(widget->Look(), 0);
    EXPECT_TRUE(SameColour(widget->TextColor(), Qt::black));
}

TEST(ControlImages, LoadedOncePerPathMissingOnesLookedForAgain)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SFSetSkinDir((dir.path() + QStringLiteral("/")).toStdWString());
    auto write = [&](const char* name, QColor colour) {
        QImage image(6, 4, QImage::Format_ARGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(dir.filePath(QString::fromLatin1(name)), "PNG"));
    };
    write("kept.png", Qt::red);
    QPixmap first, again, missing(3, 3), late, untouched(2, 2);
    SFLoadControlImage(L"kept.png", first);
    ASSERT_EQ(first.size(), QSize(6, 4));
    write("kept.png", Qt::blue);  // a changed file is not read again
    SFLoadControlImage(L"kept.png", again);
    EXPECT_EQ(again.toImage().pixelColor(0, 0), QColor(Qt::red));
    SFLoadControlImage(L"late.png", missing);
    EXPECT_TRUE(missing.isNull()) << "a missing image leaves the control's plain face";
    write("late.png", Qt::green);
    SFLoadControlImage(L"late.png", late);
    EXPECT_EQ(late.toImage().pixelColor(0, 0), QColor(Qt::green)) << "misses are not kept";
    SFLoadControlImage(L"", untouched);
    EXPECT_EQ(untouched.size(), QSize(2, 2));
    UseBuildSkin();
}
