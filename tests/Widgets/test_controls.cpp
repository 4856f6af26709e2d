// Static text, picture, view, scroll area, menu and layouts.
#include <gtest/gtest.h>

#include <vector>

#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "WidgetTestSupport.h"
#include "Widgets/CSFQTLayout.h"
#include "Widgets/CSFQTMenu.h"
#include "Widgets/CSFQTPictureCtrl.h"
#include "Widgets/CSFQTScrollArea.h"
#include "Widgets/CSFQTStatic.h"
#include "Widgets/CSFQTView.h"
#include "Widgets/SFWidgets.h"

static bool operator==(const POINT& a, const POINT& b)
{
    return a.x == b.x && a.y == b.y;
}

namespace {
struct Recorder : ISFStaticEvent, ISFViewEvent, ISFMenuEvent {
    void STATIC_OnMouseMove(UINT, UINT, POINT p) override { moves.push_back(p); }
    int OnCreate() override { return ++creates; }
    void OnSize(UINT, int w, int h) override { sizes.emplace_back(w, h); }
    void OnLButtonDown(UINT, POINT p) override { presses.push_back(p); }
    void OnLButtonDblClk(UINT, POINT p) override { doubles.push_back(p); }
    void OnDestroy() override { ++destroys; }
    void Menu_OnAction(int id) override { actions.push_back(id); }

    std::vector<POINT> moves, presses, doubles;
    std::vector<std::pair<int, int>> sizes;
    std::vector<int> actions;
    int creates = 0, destroys = 0;
};

void SendMouse(QWidget* w, QEvent::Type type, const QPoint& local)
{
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}
}  // namespace

TEST(StaticText, GrowsToFitAndNeverShrinks)
{
    QWidget parent;
    CSFStatic* text = CreateSFStatic(nullptr);
    const wchar_t* longText = L"A rather long label text that is wide";
    text->Create(longText, WS_VISIBLE, RECT{10, 10, 60, 30}, &parent, 1);
    auto* widget = static_cast<CSFQTStatic*>(text);
    QFont f = widget->font();
    f.setPixelSize(12);
    const int measured = QFontMetrics(f).horizontalAdvance(QString::fromWCharArray(longText));
    EXPECT_GE(widget->width(), measured);
    const int grown = widget->width();
    text->SetStaticText(L"x");
    EXPECT_EQ(widget->width(), grown);
    EXPECT_EQ(widget->pos(), QPoint(10, 10));
}

TEST(StaticText, AlignFlagsTable)
{
    CSFStatic* text = CreateSFStatic(nullptr);
    struct Case {
        UINT flags, textFlags;
    } cases[] = {{0, 0x1}, {1, 0x4}, {2, 0x2}, {3, 0x2}, {5, 0x84}, {0x10, 0x1201}, {0x2015, 0x1284}, {0x30, 0x301}};
    for (const Case& c : cases) {
        text->SetTextAlignFlag(c.flags);
        EXPECT_EQ(text->GetTextAlignFlag(), c.textFlags) << std::hex << c.flags;
    }
    delete static_cast<CSFQTStatic*>(text);
}

TEST(StaticText, TextSizeColoursAndBoundedGetter)
{
    QWidget parent;
    CSFStatic* text = CreateSFStatic(nullptr);
    text->Create(L"Device list", WS_VISIBLE, RECT{0, 0, 200, 30}, &parent, 1);
    auto* widget = static_cast<CSFQTStatic*>(text);
    text->SetTextSize(0);
    EXPECT_EQ(widget->PixelSize(), 12);
    text->SetTextSize(16);
    EXPECT_EQ(widget->PixelSize(), 16);
    EXPECT_EQ(widget->font().pixelSize(), 16);
    text->EnableWindow(0);
    EXPECT_EQ(widget->TextColor(), QColor(0xBC, 0xBC, 0xBC));

    wchar_t buf[5];
    std::fill(std::begin(buf), std::end(buf), L'#');
    EXPECT_EQ(text->GetStaticText(buf, 4), 0);
    EXPECT_EQ(std::wstring(buf), L"Dev");

    text->SetBgColor(0x0000FF, 1);
    widget->resize(200, 30);
    EXPECT_TRUE(SameColour(Grab(widget).pixelColor(199, 29), Qt::red));
    text->SetBgColor(0xFF0000, 0);  // fill 0: the colour changes, nothing is painted
    EXPECT_FALSE(SameColour(Grab(widget).pixelColor(199, 29), Qt::blue));
}

TEST(StaticText, MouseMovesInParentCoordinates)
{
    QWidget parent;
    Recorder sink;
    CSFStatic* text = CreateSFStatic(&sink);
    text->Create(L"x", WS_VISIBLE, RECT{100, 50, 150, 70}, &parent, 1);
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 4), QPointF(3, 4), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(static_cast<CSFQTStatic*>(text), &move);
    ASSERT_EQ(sink.moves.size(), 1u);
    EXPECT_EQ(sink.moves[0], (POINT{103, 54}));
}

TEST(PictureCtrl, ImageStretchedAndMissingImageLeavesText)
{
    UseBuildSkin();
    QWidget parent;
    CSFPictureCtrl* picture = CreateSFPictureCtrl(nullptr);
    picture->SetImage(L"Select_Check.png", false);  // 16 x 16
    picture->Create(L"", WS_VISIBLE, RECT{0, 0, 64, 32}, &parent, 1);
    auto* widget = static_cast<CSFQTPictureCtrl*>(picture);
    ASSERT_FALSE(widget->Image().isNull());
    const QImage shot = Grab(widget);
    EXPECT_TRUE(SameColour(shot.pixelColor(40, 24), QColor(0x2D, 0x88, 0xEF)));
    EXPECT_EQ(picture->GetHWnd(), static_cast<QWidget*>(widget));
    picture->SetImage(L"", false);
    EXPECT_TRUE(widget->Image().isNull());
    picture->SetWindowTextW(L"Logo");
    EXPECT_FALSE(Grab(widget).isNull());
}

TEST(View, CreateCallbacksAndGeometry)
{
    Recorder sink;
    QWidget parent;
    parent.resize(400, 400);
    CSFView* view = CreateSFView(&sink);
    auto* widget = static_cast<CSFQTView*>(view);
    EXPECT_EQ(sink.GetUIWnd(), static_cast<QWidget*>(widget));
    view->Create(L"cls", L"Page", WS_VISIBLE, RECT{100, 200, 199, 249}, &parent, 3);
    parent.show();
    EXPECT_EQ(sink.creates, 1);
    EXPECT_EQ(widget->geometry(), QRect(100, 200, 100, 50));
    EXPECT_EQ(view->isWindow(), 0);

    SendMouse(widget, QEvent::MouseButtonPress, QPoint(3, 4));
    SendMouse(widget, QEvent::MouseButtonDblClick, QPoint(3, 4));
    ASSERT_EQ(sink.presses.size(), 1u);
    EXPECT_EQ(sink.presses[0], (POINT{103, 204}));
    ASSERT_EQ(sink.doubles.size(), 1u);
    EXPECT_EQ(sink.doubles[0], (POINT{3, 4}));

    view->MoveWindow(0, 0, 120, 60);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_EQ(sink.sizes.back(), std::make_pair(120, 60));
    view->ShowWindow(0);
    view->MoveWindow(5, 5, 130, 70);
    EXPECT_FALSE(widget->isVisible());

    view->SetBGClr(0x00FF0000);
    EXPECT_EQ(widget->BackgroundColour(), QColor(0, 0, 255, 255));
    view->SetBGClr(-1);
    EXPECT_EQ(widget->BackgroundColour().alpha(), 0);
    delete widget;
    EXPECT_EQ(sink.destroys, 1);
    EXPECT_EQ(sink.GetUIWnd(), nullptr);
}

TEST(View, ChildPlacement)
{
    CSFView* view = CreateSFView(nullptr);
    auto* widget = static_cast<CSFQTView*>(view);
    widget->m_nTopOffset = 5;
    std::vector<QWidget*> buttons;
    for (int w : {24, 24, 30}) {
        auto* b = new QPushButton;
        b->resize(w, 20);
        widget->AddButton(b);
        buttons.push_back(b);
    }
    EXPECT_EQ(buttons[0]->pos(), QPoint(10, 5));
    EXPECT_EQ(buttons[1]->pos(), QPoint(43, 5));
    EXPECT_EQ(buttons[2]->pos(), QPoint(76, 5));

    auto* editLeft1 = new QWidget, *editLeft2 = new QWidget, *combo = new QWidget, *editAfter = new QWidget;
    widget->AddEdit(editLeft1);
    widget->AddEdit(editLeft2);
    widget->AddComboBox(combo);
    widget->AddEdit(editAfter);
    EXPECT_EQ(editLeft1->x(), 5);
    EXPECT_EQ(editLeft2->x(), 5);
    EXPECT_EQ(combo->x(), 5);
    EXPECT_EQ(editAfter->x(), 130);

    CSFView* second = CreateSFView(nullptr);
    auto* secondWidget = static_cast<CSFQTView*>(second);
    secondWidget->m_nFirstButtonX = 40;
    auto* first = new QPushButton;
    first->resize(24, 20);
    secondWidget->AddButton(first);
    secondWidget->m_nFirstButtonX = 0;
    auto* next = new QPushButton;
    next->resize(24, 20);
    secondWidget->AddButton(next);
    EXPECT_EQ(first->x(), 40);
    EXPECT_EQ(next->x(), 73);  // right edge 63, plus 10
    delete widget;
    delete secondWidget;
}

TEST(ScrollArea, ContentPageSizeAndParent)
{
    UseBuildSkin();
    QWidget parent;
    CSFScrollArea* area = CreateSFScrollArea(nullptr);
    area->Create(0x50000000, RECT{25, 82, 525, 332}, 490, 1250, &parent, 0);
    auto* widget = static_cast<CSFQTScrollArea*>(area);
    EXPECT_EQ(widget->geometry(), QRect(25, 82, 500, 250));
    QWidget* content = static_cast<QWidget*>(area->GetUIWnd());
    ASSERT_EQ(content, widget->Content());
    EXPECT_EQ(content->minimumSize(), QSize(490, 1250));
    area->ResizeScrollArea(800, 1200);
    EXPECT_EQ(content->minimumSize(), QSize(800, 1200));
    area->SetEnableScrollBar(1);
    EXPECT_EQ(widget->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    ScrollAreaStyle style;
    style.strBkImage = L"bgColorWhite.png";
    area->SetSkin(&style);
    area->SetSkin(nullptr);
    EXPECT_EQ(area->IsWindow(), 1);
}

TEST(Menu, LeftReleaseReportsTheEntryIdFirst)
{
    Recorder sink;
    CSFMenu* menu = CreateSFMenu(&sink);
    auto* widget = static_cast<CSFQTMenu*>(menu);
    menu->AddAction(L"About", 1092);
    menu->AddSeparator();
    menu->AddAction(L"Setting", 1112);
    EXPECT_NE(menu->AddMenu(L"More"), nullptr);
    int triggered = 0;
    QObject::connect(widget, &QMenu::triggered, [&](QAction* a) {
        EXPECT_EQ(sink.actions.back(), a->data().toInt());  // the sink heard it before the trigger
        ++triggered;
    });
    menu->Popup(100, 100);
    const QList<QAction*> actions = widget->actions();
    ASSERT_EQ(actions.size(), 4);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->actionGeometry(actions[2]).center());
    EXPECT_EQ(sink.actions, std::vector<int>{1112});
    EXPECT_EQ(triggered, 1);

    menu->Popup(100, 100);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->actionGeometry(actions[1]).center());
    EXPECT_EQ(sink.actions.back(), 0);  // a separator reports 0
    widget->hide();
    delete widget;
}

TEST(Layouts, PlaceControlsByTheirFacades)
{
    QWidget host;
    CSFGridLayout* grid = CreateSFGridLayout(nullptr);
    grid->Create(&host, 1);
    CSFButton* button = CreateSFButton(nullptr);
    button->Create(L"b", WS_VISIBLE, RECT{0, 0, 20, 20}, &host, 3);
    grid->AddButton(button, 1, 2, 1, 1, Qt::AlignCenter);
    grid->AddStatic(nullptr, 0, 0, 1, 1, Qt::AlignLeft);  // null facades are ignored
    auto* qgrid = static_cast<CSFQTGridLayout*>(grid);
    EXPECT_EQ(host.layout(), qgrid);
    const int index = qgrid->indexOf(SFWidgetOf(button));
    ASSERT_GE(index, 0);
    int row = -1, column = -1, rs = 0, cs = 0;
    qgrid->getItemPosition(index, &row, &column, &rs, &cs);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 2);

    CSFVBoxLayout* box = CreateSFVBoxLayout(nullptr);
    box->AddStrut(120);
    grid->AddVBoxLayout(box, 0, 0, 1, 1, Qt::AlignLeft);
    host.show();
    EXPECT_GE(static_cast<CSFQTVBoxLayout*>(box)->minimumSize().width(), 120);
}
