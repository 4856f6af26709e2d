// Slider position arithmetic, report modes and tooltip texts; progress bar operations.
#include <gtest/gtest.h>

#include <vector>

#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QWheelEvent>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTProgressCtrl.h"
#include "Widgets/CSFQTSliderCtrl.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
struct SliderSink : ISFSliderCtrlEvent {
    std::vector<int> reports;
    void SF_OnSliderPos(int, int pos) override { reports.push_back(pos); }
};

// A skin image whose handle piece (piece 3) is 20 x 10 pixels and groove pieces 100 x 4.
class SliderSkin {
public:
    SliderSkin()
    {
        QImage image(120, 40, QImage::Format_ARGB32);
        image.fill(Qt::gray);
        image.save(m_dir.filePath("slider.png"));
        SFSetSkinDir((m_dir.path() + "/").toStdWString());
        style.strImage = L"slider.png";
        style.strPieceRect1 = L"0,0,99,3";
        style.strPieceRect2 = L"0,5,99,3";
        for (std::wstring* handle : {&style.strPieceRect3, &style.strPieceRect4, &style.strPieceRect5,
                                     &style.strPieceRect6})
            *handle = L"0,20,19,9";
    }
    ImageSliderStyle style;

private:
    QTemporaryDir m_dir;
};

void Mouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(x, 5), w->mapToGlobal(QPointF(x, 5)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void Wheel(QWidget* w, int delta)
{
    QWheelEvent e(QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}
}  // namespace

TEST(SliderCtrl, PointerPositionToValue)
{
    SliderSkin skin;
    QWidget page;
    auto* slider = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(nullptr));
    ASSERT_EQ(slider->SetSkin(&skin.style), 1);
    slider->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 3, SLIDER_RESPONSE_CHANGING);
    ASSERT_EQ(slider->Piece(CSFQTSliderCtrl::PieceHandle)->width(), 20);
    struct Case {
        int min, max, x, value;
    };
    for (const Case& c : {Case{0, 100, 5, 0}, Case{0, 100, 100, 50}, Case{0, 100, 195, 100}, Case{0, 100, 10, 0},
                          Case{10, 20, 100, 15}, Case{-50, 50, 190, 50}, Case{7, 7, 100, 7}}) {
        slider->SetRange(c.min, c.max, 0);
        EXPECT_EQ(slider->ValueAt(c.x), c.value) << c.min << ".." << c.max << " x=" << c.x;
    }
    // A control no wider than its handle has no travel.
    slider->MoveWindow(0, 0, 20, 20);
    slider->SetRange(0, 100, 0);
    EXPECT_EQ(slider->ValueAt(10), 0);
}

TEST(SliderCtrl, ReportModes)
{
    SliderSkin skin;
    QWidget page;
    SliderSink changing;
    SliderSink release;
    auto* a = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(&changing));
    auto* b = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(&release));
    for (auto [slider, mode] : {std::pair{a, SLIDER_RESPONSE_CHANGING}, std::pair{b, SLIDER_RESPONSE_RELEASE}}) {
        slider->SetSkin(&skin.style);
        slider->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 3, mode);
        slider->SetTooltipEnable(0, 0);
        Mouse(slider, QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::LeftButton);
        Mouse(slider, QEvent::MouseMove, 150, Qt::NoButton, Qt::LeftButton);
        Mouse(slider, QEvent::MouseButtonRelease, 150, Qt::LeftButton, Qt::NoButton);
        // A click that does not move the handle.
        Mouse(slider, QEvent::MouseButtonPress, 150, Qt::LeftButton, Qt::LeftButton);
        Mouse(slider, QEvent::MouseButtonRelease, 150, Qt::LeftButton, Qt::NoButton);
    }
    EXPECT_EQ(changing.reports, (std::vector<int>{50, 78}));
    EXPECT_EQ(release.reports, (std::vector<int>{78, 78}));
}

TEST(SliderCtrl, WheelAndOtherButtons)
{
    SliderSkin skin;
    QWidget page;
    SliderSink changing;
    SliderSink release;
    auto* a = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(&changing));
    auto* b = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(&release));
    a->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 3, SLIDER_RESPONSE_CHANGING);
    b->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 4, SLIDER_RESPONSE_RELEASE);
    a->SetPos(100);
    b->SetPos(40);
    Wheel(a, 120);
    Wheel(b, 120);
    EXPECT_EQ(changing.reports, std::vector<int>{100});
    EXPECT_TRUE(release.reports.empty());
    EXPECT_EQ(b->GetPos(), 40);

    a->SetSkin(&skin.style);
    Mouse(a, QEvent::MouseButtonPress, 20, Qt::RightButton, Qt::RightButton);
    Mouse(a, QEvent::MouseButtonRelease, 20, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(a->GetPos(), 100);
    EXPECT_EQ(changing.reports.size(), 1u);
}

TEST(SliderCtrl, TooltipTexts)
{
    QWidget page;
    auto* slider = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(nullptr));
    slider->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 3, SLIDER_RESPONSE_CHANGING);
    struct Case {
        int min, max, value, valueText;
        const char* text;
    };
    for (const Case& c : {Case{0, 100, 45, 0, "45%"}, Case{0, 200, 45, 0, "22%"}, Case{0, 100, 45, 1, "45"},
                          Case{50, 150, 100, 0, "50%"}, Case{5, 5, 5, 0, "0%"}}) {
        slider->SetRange(c.min, c.max, 0);
        slider->SetPos(c.value);
        slider->SetTooltipEnable(1, c.valueText);
        EXPECT_EQ(slider->TooltipText().toStdString(), c.text) << c.min << ".." << c.max << " v=" << c.value;
    }
}

TEST(SliderCtrl, GrooveScaledOnlyByCreate)
{
    SliderSkin skin;
    QWidget page;
    auto* before = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(nullptr));
    before->SetSkin(&skin.style);
    before->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 3, SLIDER_RESPONSE_CHANGING);
    EXPECT_EQ(before->Piece(CSFQTSliderCtrl::PieceGrooveLeft)->width(), 200);

    auto* after = static_cast<CSFQTSliderCtrl*>(CreateSFSliderCtrl(nullptr));
    after->Create(WS_VISIBLE, RECT{0, 0, 200, 20}, &page, 3, SLIDER_RESPONSE_CHANGING);
    after->SetSkin(&skin.style);
    EXPECT_EQ(after->Piece(CSFQTSliderCtrl::PieceGrooveLeft)->width(), 100);
    // The handle is centred on (value - min) * (W - w) / (max - min) + w / 2.
    after->SetRange(0, 100, 0);
    EXPECT_EQ(after->HandleOrigin(50), QPoint(100, 5));
    after->SetRange(3, 3, 0);
    EXPECT_EQ(after->HandleOrigin(3).x(), 180);
}

TEST(ProgressCtrl, OperationsAndSkin)
{
    QWidget page;
    auto* bar = static_cast<CSFQTProgressCtrl*>(CreateSFProgressCtrl(nullptr));
    EXPECT_EQ(bar->Create(0, RECT{0, 0, 100, 16}, &page, 9), 1);
    EXPECT_TRUE(bar->isHidden());
    bar->SetRange(0, 50);
    bar->SetPos(20);
    EXPECT_EQ(bar->SetStep(5), 0);
    EXPECT_EQ(bar->StepIt(), 0);
    EXPECT_EQ(bar->GetPos(), 20);
    int min = -1, max = -1;
    bar->GetRange(min, max);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 50);
    EXPECT_EQ(bar->ModifyStyleEx(0x20000, 0, 32), 1);
    EXPECT_EQ(bar->SetSkin(nullptr), 0);
    SFSetSkinDir(L"/skin/");
    ImageProgressCtrlStyle style{L"chunk.png", L"bar.png", L"", L""};
    EXPECT_EQ(bar->SetSkin(&style), 1);
    EXPECT_EQ(bar->styleSheet(), "QProgressBar { border: 1px solid grey;border-radius: 5px;background-image: "
                                 "url(/skin/bar.png);} QProgressBar::chunk {background-image: url(/skin/chunk.png);}");
}
