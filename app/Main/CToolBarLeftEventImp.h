// The left navigation bar: the logo and one image radio button per page. A click switches the
// main window's page and adapts the top tool bar. GUI thread only.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFView.h"

class CMainFrameEventImp;
class CSFPictureCtrl;

class CToolBarLeftEventImp : public ISFViewEvent,
                             public ISFButtonEvent,
                             public ISFRadioBoxEvent,
                             public std::enable_shared_from_this<CToolBarLeftEventImp> {
    SF_DECLARE_MESSAGE_MAP(CToolBarLeftEventImp)

public:
    enum {
        ID_HOME = 999,
        ID_DEVLIST = 1000,
        ID_DEVCONFIG = 1001,
        ID_SYSCONFIG = 1002,
        ID_UPGRADE = 1003,
        ID_TEMPLATE = 1004,
        ID_OTHERTOOL = 1005,
        ID_CLOUDUPGRADE = 1171
    };

    explicit CToolBarLeftEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CToolBarLeftEventImp() override;
    static std::shared_ptr<CToolBarLeftEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();

    CSFView* GetView() const { return m_pView; }
    CSFRadioBox* GetButtonById(UINT id) const;
    void SetCloudEnable(bool enable);

    int OnCreate() override;
    void OnDestroy() override {}
    void OnSize(UINT type, int cx, int cy) override;
    void RADIO_OnClicked(int checked, int id, POINT point) override;

private:
    CSFRadioBox* MakeButton(UINT id, const wchar_t* checkedImage, const wchar_t* uncheckedImage, const RECT& rc,
                            const wchar_t* tip);

    CSFView* m_pView = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFPictureCtrl* m_pLogo = nullptr;
    CSFRadioBox* m_pHome = nullptr;
    CSFRadioBox* m_pDevList = nullptr;
    CSFRadioBox* m_pDevConfig = nullptr;
    CSFRadioBox* m_pUpgrade = nullptr;
    CSFRadioBox* m_pTemplate = nullptr;
    CSFRadioBox* m_pSysConfig = nullptr;
    CSFRadioBox* m_pOtherTool = nullptr;
    CSFRadioBox* m_pCloudUpgrade = nullptr;
};
