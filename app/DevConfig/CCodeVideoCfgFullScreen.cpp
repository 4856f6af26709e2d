// Full screen of the configuration window's live video: the main window takes the primary
// screen, the page, the window and the video follow it, and everything else is hidden until
// the button or Esc brings the normal layout back.
#include "DevConfig/CCodeVideoCfgEventImp.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "Common/Translate.h"
#include "DevConfig/CDevConfigEventImp.h"
#include "Main/CMainFrameEventImp.h"
#include "Main/CToolBarEventImp.h"
#include "Main/CToolBarLeftEventImp.h"
#include "Widgets/SFGlobal.h"
#include "Widgets/SFSkinStyle.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SkinRecords.h"

namespace {

constexpr int kFullScreenId = 1115;
constexpr int kEasyFocusId = 1041;
constexpr int kBackLightComboId = 1058;
constexpr int kBackLightSliderId = 1045;
constexpr int kButtonSize = 24;

RECT WidgetRect(void* widget)
{
    const QWidget* w = static_cast<QWidget*>(widget);
    if (!w)
        return RECT{0, 0, 0, 0};
    const QRect g = w->geometry();
    return RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

bool IsEmpty(const RECT& rc) { return rc.right <= rc.left || rc.bottom <= rc.top; }

// The primary screen, right and bottom exclusive.
RECT ScreenRect()
{
    RECT rc{0, 0, 0, 0};
    SFGetScreenRect(&rc);
    if (rc.right > rc.left && rc.bottom > rc.top)
        return RECT{rc.left, rc.top, rc.right + 1, rc.bottom + 1};
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        return RECT{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    }
    return RECT{0, 0, 1000, 700};
}

void Move(CSFView* view, const RECT& rc)
{
    if (view)
        view->MoveWindow(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void ShowToolBars(const std::shared_ptr<CDevConfigEventImp>& page, int show)
{
    std::shared_ptr<CMainFrameEventImp> main = page ? page->GetMainFrame() : nullptr;
    if (!main)
        return;
    if (std::shared_ptr<CToolBarLeftEventImp> left = main->GetToolBarLeft())
        if (CSFView* view = left->GetView())
            view->ShowWindow(show);
    if (std::shared_ptr<CToolBarEventImp> top = main->GetToolBar())
        if (CSFView* view = top->GetView())
            view->ShowWindow(show);
}

} // namespace

void CCodeVideoCfgEventImp::BuildFullScreenButton()
{
    CSFButton* button = MakeButton(kFullScreenId, L"", RECT{0, 0, kButtonSize, kButtonSize});
    ImageButtonStyle skin = MakeButtonSkin(L"max_press.png", L"max_hover.png", L"max_press.png", L"max_disabled.png");
    button->SetSkin(&skin);
    button->SetToolTipText(Tr(L"Full Screen"));
    button->ShowWindow(0);
    if (m_pVideoWindow)
        SetNormalVideoRect(WidgetRect(dynamic_cast<QWidget*>(m_pVideoWindow)));
}

void CCodeVideoCfgEventImp::ShowFullScreenButton(int show)
{
    CSFButton* button = Button(kFullScreenId);
    if (!button)
        return;
    button->ShowWindow(show);
    if (show)
        if (auto* widget = dynamic_cast<QWidget*>(button))
            widget->raise();
}

void CCodeVideoCfgEventImp::SetNormalVideoRect(const RECT& rect)
{
    m_rcNormalVideo = rect;
    if (m_bFullScreen)
        return;
    if (m_pVideoWindow)
        m_pVideoWindow->MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (CSFButton* button = Button(kFullScreenId))
        button->MoveWindow(rect.right - 34, rect.bottom - 34, kButtonSize, kButtonSize);
}

void CCodeVideoCfgEventImp::OnFullScreenButton()
{
    if (m_bFullScreen) {
        SetFullScreen();
        return;
    }
    std::shared_ptr<CDevConfigEventImp> page = m_wpPage.lock();
    if (!page || !m_pVideoWindow)
        return;
    m_bFullScreen = 1;
    const RECT screen = ScreenRect();
    const RECT area{0, 0, screen.right - screen.left, screen.bottom - screen.top};
    m_rcPageBeforeFullScreen = WidgetRect(page->GetUIWnd());

    page->MoveMainWindow(screen, 1);
    Move(page->GetView(), area);
    Move(m_pView, area);
    m_pVideoWindow->MoveWindow(area.left, area.top, area.right, area.bottom);

    ShowToolBars(page, 0);
    ShowTabButtons(0);
    ShowImageTab(0);
    m_pVideoWindow->ShowWindow(1);
    if (CSFButton* focus = Button(kEasyFocusId))
        focus->ShowWindow(0);

    CSFButton* button = Button(kFullScreenId);
    ShowFullScreenButton(1);
    button->SetToolTipText(Tr(L"Restore"));
    button->MoveWindow(area.right - 30, area.bottom - 30, kButtonSize, kButtonSize);
    ImageButtonStyle skin = MakeButtonSkin(L"min_press.png", L"min_hover.png", L"min_press.png", L"min_disabled.png");
    button->SetSkin(&skin);
}

void CCodeVideoCfgEventImp::SetFullScreen()
{
    if (!m_bFullScreen)
        return;
    m_bFullScreen = 0;
    std::shared_ptr<CDevConfigEventImp> page = m_wpPage.lock();
    if (page) {
        page->MoveMainWindow(RECT{0, 0, 1000, 700}, 0);
        RECT pageRect = page->GetMainPageRect();
        if (IsEmpty(pageRect)) {
            // A page without a main window goes back where it was.
            Move(page->GetView(), m_rcPageBeforeFullScreen);
        } else if (CSFView* view = page->GetView()) {
            view->MoveWindow(&pageRect);
        }
        const RECT config = page->GetConfigRect();
        if (!IsEmpty(config))
            Move(m_pView, config);
    }
    const RECT& normal = m_rcNormalVideo;
    if (m_pVideoWindow) {
        m_pVideoWindow->ResetSubWinSizeToMin(0);
        m_pVideoWindow->MoveWindow(normal.left, normal.top, normal.right - normal.left, normal.bottom - normal.top);
    }
    CSFButton* button = Button(kFullScreenId);
    button->MoveWindow(normal.right - 30, normal.bottom - 30, kButtonSize, kButtonSize);
    button->SetToolTipText(Tr(L"Full Screen"));

    ShowToolBars(page, 1);
    ShowTabButtons(1);
    ShowImageTab(1);
    ShowFullScreenButton(1);
    if (m_pVideoWindow)
        m_pVideoWindow->ShowWindow(1);
    if (CSFButton* focus = Button(kEasyFocusId))
        focus->ShowWindow(1);
    // The back-light level shows only for WDR and HLC.
    if (CSFSliderCtrl* level = Slider(kBackLightSliderId)) {
        CSFComboBox* mode = Combo(kBackLightComboId);
        const int index = mode ? mode->GetCurSel() : -1;
        const int show = index == 2 || index == 3;
        level->ShowWindow(show);
        for (auto& entry : m_sliderValues)
            if (entry.first == kBackLightSliderId && entry.second)
                entry.second->ShowWindow(show);
    }
    ImageButtonStyle skin = MakeButtonSkin(L"max_press.png", L"max_hover.png", L"max_press.png", L"max_disabled.png");
    button->SetSkin(&skin);
}
