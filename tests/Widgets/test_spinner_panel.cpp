// Number spinner, thumbnail image panel and animated picture.
#include <gtest/gtest.h>

#include <vector>

#include <QMouseEvent>
#include <QMovie>

#include "ControlTestSupport.h"
#include "Widgets/CSFQTImagePanel.h"
#include "Widgets/CSFQTNumSpiner.h"
#include "Widgets/CSFQTPictureEx.h"
#include "Widgets/SFFactory.h"
#include "Widgets/SFSkin.h"
#include "Widgets/SFSkinStyle.h"

namespace {
struct SpinSink : ISFNumSpinerEvent {
    std::vector<int> values;
    void OnCurrentNumChanged(UINT, int value) override { values.push_back(value); }
};
struct PanelSink : ISFImagePanelEvent {
    int plays = 0;
    void IMGPNL_OnPlayImage(const wchar_t*) override { ++plays; }
};

void DoubleClick(QWidget* w, int x, int y)
{
    QMouseEvent e(QEvent::MouseButtonDblClick, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}
}  // namespace

TEST(NumSpiner, CircleStepAndQuietSameValue)
{
    QWidget page;
    SpinSink sink;
    auto* spin = static_cast<CSFQTNumSpiner*>(CreateSFNumSpiner(&sink));
    spin->Create(nullptr, RECT{0, 0, 80, 24}, &page, 3);
    spin->SetRange(0, 10);
    spin->SetCurrentNum(10);
    sink.values.clear();
    spin->SetCircleStep(0);
    spin->StepUp();
    EXPECT_EQ(spin->GetCurrentNum(), 10);
    EXPECT_TRUE(sink.values.empty());
    spin->SetCircleStep(1);
    spin->StepUp();
    EXPECT_EQ(sink.values, std::vector<int>{0});
    spin->SetCurrentNum(0);
    EXPECT_EQ(sink.values.size(), 1u);
    spin->SetOriginStyle(1);
    ImageNumSpinerStyle style;
    EXPECT_EQ(spin->SetSkin(&style), 0);
    spin->SetOriginStyle(0);
    EXPECT_EQ(spin->SetSkin(&style), 1);
    EXPECT_TRUE(spin->styleSheet().startsWith("QSpinBox { padding: 0 8px; border-image: url("));
}

TEST(ImagePanel, ItemsCentringAndSelection)
{
    QWidget page;
    PanelSink sink;
    auto* panel = static_cast<CSFQTImagePanel*>(CreateSFImagePanel(&sink));
    // 600 pixels of thumbnail area beside the 200-pixel details column.
    panel->Create(nullptr, RECT{0, 0, 801, 120}, &page, 0);
    UIImagePanelStyle style{};
    style.strText[12] = L"FFFFFF";
    style.nThumbHeight = 80;
    style.nThumbWidth = 100;
    style.nSideMargin = 3;
    style.nTopMargin = 3;
    style.nSpacing = 3;
    ASSERT_EQ(panel->SetSkin(&style), 1);
    ASSERT_EQ(panel->ThumbArea().width(), 601);
    EXPECT_EQ(panel->AddItem(L"/none/a.png", L"a", L"t", L"s", L"e"), 1);
    EXPECT_EQ(panel->AddItem(L"/none/a.png", L"a", L"t", L"s", L"e"), 0);
    EXPECT_EQ(panel->GetCount(), 1);
    panel->AddItem(L"/none/b.png", L"b", L"t", L"s", L"e");
    panel->AddItem(L"/none/c.png", L"c", L"t", L"s", L"e");
    // (601 - 6 - 6 - 300) / 2 = 144.
    EXPECT_EQ(panel->ThumbRect(0).left(), 147);
    EXPECT_EQ(panel->ThumbRect(1).left(), 250);
    EXPECT_EQ(panel->ThumbRect(2).left(), 353);

    DoubleClick(panel, 248, 20);
    EXPECT_EQ(panel->SelectedIndex(), -1);
    EXPECT_EQ(panel->GetHotImagePath(), nullptr);
    EXPECT_EQ(sink.plays, 0);
    DoubleClick(panel, 260, 20);
    EXPECT_EQ(panel->SelectedIndex(), 1);
    EXPECT_EQ(sink.plays, 1);
    EXPECT_EQ(std::wstring(panel->GetHotImagePath()), L"/none/b.png");
    panel->DelByItemName(L"a");
    EXPECT_EQ(panel->GetCount(), 2);
    EXPECT_EQ(panel->SetSkin(nullptr), 0);
}

TEST(PictureEx, GeometryRulesAndAnimation)
{
    QWidget page;
    auto* picture = static_cast<CSFQTPictureEx*>(CreateSFPictureEx(nullptr));
    picture->Create(nullptr, 0, RECT{0, 0, 19, 19}, &page, 0);
    EXPECT_EQ(picture->size(), QSize(20, 20));
    EXPECT_EQ(picture->SetAnimation(1), 0);
    picture->MoveWindow(10, 10, 50, 50);
    EXPECT_EQ(picture->size(), QSize(20, 20));
    RECT r{10, 10, 60, 60};
    picture->MoveWindow(&r);
    EXPECT_EQ(picture->geometry(), QRect(10, 10, 50, 50));
    SFSetSkinDir(L"/nowhere/");
    EXPECT_EQ(picture->Load(L"missing.gif", 0), 1);
    EXPECT_EQ(picture->Movie()->fileName(), "/nowhere/missing.gif");
    EXPECT_EQ(picture->SetAnimation(1), 0);
}
