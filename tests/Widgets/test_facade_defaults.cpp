// Default answers of the bare facades and sinks.
#include <gtest/gtest.h>

#include "Widgets/SFWidgets.h"

namespace {
class Page : public ISFDialogEvent {
public:
    int Dlg_OnInitDialog(bool) override { return 1; }
};
struct Scroll : CSFScrollArea {};
}  // namespace

TEST(FacadeDefaults, NeutralAnswers)
{
    CSFComboBox combo;
    CSFListBox listBox;
    CSFButton button;
    CSFRadioBox radio;
    CSFStatic text;
    CSFListCtrl list;
    CSFMenu menu;
    CSFVideoWindow video;
    CSFDialog dialog;
    CSFPlayControlPanel panel;
    Scroll scroll;

    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(listBox.GetCurSel(), 0);
    EXPECT_TRUE(button.IsEnabled());
    EXPECT_EQ(radio.IsEnabled(), 0);
    RECT g = text.GetGeometry();
    EXPECT_EQ(g.left | g.top | g.right | g.bottom, 0);
    EXPECT_EQ(list.IsSelected(7), 1);
    EXPECT_EQ(list.IsCheck(7), 0);
    EXPECT_TRUE(list.GetHoriazontalHeaderText(0).isEmpty());
    EXPECT_EQ(menu.AddMenu(L"x"), nullptr);
    EXPECT_EQ(menu.AddAction(L"x", 3), nullptr);
    EXPECT_EQ(video.GetCurrentSubWinIndex(), -1);
    EXPECT_EQ(video.GetSubWinID(0), -1);
    EXPECT_EQ(video.GetSubWinIndexFromID(0), -1);
    EXPECT_EQ(video.GetCurrentSubWinCount(), 0);
    EXPECT_EQ(dialog.DoModalDlg(), -1);
    EXPECT_EQ(dialog.GetUIWnd(), nullptr);
    EXPECT_EQ(dialog.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(panel.GetControlStatus(ControlIdentifier(3)), 0);
    EXPECT_EQ(scroll.GetUIWnd(), nullptr);
    EXPECT_EQ(CSFVideoInFocus().Create(nullptr, 0, RECT{}, nullptr, 0), 1);
}

TEST(FacadeDefaults, PictureFacadeKeepsItsFlags)
{
    CSFPictureCtrl picture;
    EXPECT_FALSE(picture.isHaveImg());
    EXPECT_TRUE(picture.getImgPath().isEmpty());
    picture.SetDrawEnable(5);
}

TEST(FacadeDefaults, SinkDefaults)
{
    Page page;
    ISFTreeCtrlEvent tree;
    EXPECT_EQ(page.GetSFMessageMap(), nullptr);
    EXPECT_EQ(page.GetThisMessageIDs(), nullptr);
    EXPECT_EQ(page.Dlg_Close(), 0);
    EXPECT_EQ(tree.OnItemClick(nullptr, 0), 1);
    CSFDialog facade(&page);
    EXPECT_EQ(facade.GetThisMessageIDs(), nullptr);
    page.SFSetUIWnd(&page);
    EXPECT_EQ(facade.GetUIWnd(), &page);
}

TEST(FacadeDefaults, DefaultLayouts)
{
    EXPECT_STREQ(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT(0)), "1/1/1/400:300//0:0:400:300");
    EXPECT_EQ(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT(10)), nullptr);
    EXPECT_EQ(CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT(-1)), nullptr);
    for (int i = 0; i < 10; ++i) {
        const char* text = CSFVideoWindow::GetDefaultLayout(DEFAULT_LAYOUT(i));
        ASSERT_NE(text, nullptr);
        EXPECT_NE(std::string(text).find("/400:300/"), std::string::npos) << i;
    }
}
