// The About dialog: product picture, version, notice and a web-site link that opens the
// translated "WebSite" text in the browser. Created hidden with the main window, shown modally.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"

class CMainFrameEventImp;
class CSFPictureCtrl;
class CSFStatic;
struct DialogStyle;

class CAboutDlgEventImp : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CAboutDlgEventImp)

public:
    enum { ID_WEBSITE = 600, ID_CLOSE = 2 };

    explicit CAboutDlgEventImp(std::weak_ptr<CMainFrameEventImp> owner);
    ~CAboutDlgEventImp() override;
    static std::shared_ptr<CAboutDlgEventImp> Create(std::weak_ptr<CMainFrameEventImp> owner);

    CSFDialog* GetDialog() const { return m_pDialog; }
    CSFButton* GetWebSiteLink() const { return m_pWebSite; }

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void BTN_OnLButtonDown(int id, UINT flags, POINT point) override;
    void BTN_OnLButtonUp(int id, UINT flags, POINT point) override;
    void BTN_OnMouseMove(int id, UINT flags, POINT point) override;
    void BTN_OnMouseLeave(int id, UINT flags, LONG value) override;
    void OnWebSite();

private:
    int CreateAboutDialog();

    std::weak_ptr<CMainFrameEventImp> m_wpOwner;
    CSFDialog* m_pDialog = nullptr;
    CSFPictureCtrl* m_pPicture = nullptr;
    CSFStatic* m_pVersion = nullptr;
    CSFStatic* m_pNotice = nullptr;
    CSFButton* m_pWebSite = nullptr;
    CSFButton* m_pClose = nullptr;
};

void BuildAboutDlgSkin(DialogStyle& style);
