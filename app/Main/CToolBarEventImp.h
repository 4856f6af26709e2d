// The top tool bar: found-devices counter, refresh, search settings, the main menu and the
// window's minimise and close buttons (the close button refuses while a device login runs and
// asks while a firmware file is sent). GUI thread only.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CSFPictureCtrl;
class CSFStatic;
class CSFPictureEx;

class CToolBarEventImp : public ISFViewEvent,
                         public ISFButtonEvent,
                         public ISFRadioBoxEvent,
                         public std::enable_shared_from_this<CToolBarEventImp> {
    SF_DECLARE_MESSAGE_MAP(CToolBarEventImp)

public:
    enum { ID_MENU = 501, ID_CLOSE = 502, ID_MIN = 503, ID_MANUAL_ADD = 507, ID_REFRESH = 1077, ID_SEARCH_SETTING = 1078 };

    explicit CToolBarEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CToolBarEventImp() override;
    static std::shared_ptr<CToolBarEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();

    CSFView* GetView() const { return m_pView; }
    void SetFoundCount(int count);
    void SetSearching(bool searching);
    void ShowSearchTools(bool show);

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void OnLButtonDown(UINT, POINT) override {}
    void OnLButtonDblClk(UINT, POINT) override {}
    void RADIO_OnClicked(int, int, POINT) override {}

    // Message-map handlers.
    void OnMinimize();
    void OnClose();
    void OnMenu();
    void OnRefresh();
    void OnManualAdd();
    void OnSearchSetting();

    // Controls, for the main window's tests and layout checks.
    CSFStatic* GetFoundCounter() const { return m_pFoundCount; }
    CSFButton* GetRefreshButton() const { return m_pRefresh; }
    CSFButton* GetSearchSettingButton() const { return m_pSearchSetting; }
    CSFPictureEx* GetSearchingAnimation() const { return m_pSearching; }
    CSFPictureCtrl* GetPackageCenterPicture() const { return m_pPackageCenter; }
    CSFButton* GetCloseButton() const { return m_pClose; }
    CSFButton* GetMenuButton() const { return m_pMenu; }

private:
    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFPictureCtrl* m_pPackageCenter = nullptr;
    CSFView* m_pRightBlock = nullptr;
    CSFButton* m_pClose = nullptr;
    CSFButton* m_pMin = nullptr;
    CSFButton* m_pMenu = nullptr;
    CSFStatic* m_pFoundCount = nullptr;
    CSFStatic* m_pFoundLabel = nullptr;
    CSFButton* m_pRefresh = nullptr;
    CSFButton* m_pSearchSetting = nullptr;
    CSFButton* m_pManualAdd = nullptr;
    CSFPictureEx* m_pSearching = nullptr;
};
