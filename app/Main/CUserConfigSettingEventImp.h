// The Setting dialog: upgrade and network timeouts, the firmware download folder, the cloud
// update address, the cloud switch (acts at once, refused while a device operation runs) and the
// deletion of downloaded firmware files. Built once, hidden; shown modally from the menu.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"

class CMainFrameEventImp;
class CSFStatic;
struct DialogStyle;

class CUserConfigSettingEventImp : public ISFDialogEvent,
                                   public ISFButtonEvent,
                                   public ISFEditCtrlEvent,
                                   public ISFCheckBoxEvent,
                                   public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CUserConfigSettingEventImp)

public:
    enum {
        ID_OK = 505,
        ID_CLOUD_SWITCH = 1190,
        ID_DELETE = 1191,
        ID_DEFAULT_URL = 1192,
        ID_CLOUD_URL = 1193,
        ID_DOWNLOAD_PATH = 1194,
        ID_OPEN = 1195
    };
    enum { kMaxDownloadPath = 150 };

    explicit CUserConfigSettingEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CUserConfigSettingEventImp() override;
    static std::shared_ptr<CUserConfigSettingEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    int Init();

    CSFDialog* GetDialog() const { return m_pDialog; }

    // The built-in update-server addresses: for language 0 and for any other language.
    static const wchar_t* DefaultCloudUrl(int language);
    // Deletes the *.bin files (any letter case) directly in the folder. Answers the number of
    // files found; the names that could not be deleted go to `failed`.
    static int DeleteFirmwareFiles(const std::wstring& folder, std::vector<std::wstring>& failed);
    // Picks a folder; false when none was chosen. Tests replace it.
    static std::function<bool(void* parent, std::wstring& folder)> s_chooseFolder;

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override;
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnReserved() {}
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;
    void RADIO_OnClicked(int checked, int id, POINT point) override;

    // Message-map handlers.
    void OnOK();
    void OnDeleteFiles();
    void OnDefaultUrl();
    void OnOpenFolder();

    CSFEditCtrl* GetUpdateTimeoutEdit() const { return m_pUpdateTimeout; }
    CSFEditCtrl* GetNetworkTimeoutEdit() const { return m_pNetworkTimeout; }
    CSFEditCtrl* GetDownloadPathEdit() const { return m_pDownloadPath; }
    CSFEditCtrl* GetCloudUrlEdit() const { return m_pCloudUrl; }
    CSFRadioBox* GetCloudSwitch() const { return m_pCloudSwitch; }

private:
    void* MainWnd() const;
    void Warn(const wchar_t* text, bool ownParent);
    std::wstring EditText(CSFEditCtrl* edit, int maxUnits) const;
    void SetEditText(CSFEditCtrl* edit, const std::wstring& text);
    void RestoreEdits();
    // The message of the first running device operation that forbids switching the cloud page.
    const wchar_t* BusyReason(bool& ownParent) const;

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFStatic* m_pUpdateTimeoutLabel = nullptr;
    CSFStatic* m_pNetworkTimeoutLabel = nullptr;
    CSFStatic* m_pUpdateRange = nullptr;
    CSFStatic* m_pNetworkRange = nullptr;
    CSFEditCtrl* m_pUpdateTimeout = nullptr;
    CSFEditCtrl* m_pNetworkTimeout = nullptr;
    CSFStatic* m_pDownloadPathLabel = nullptr;
    CSFEditCtrl* m_pDownloadPath = nullptr;
    CSFButton* m_pOpen = nullptr;
    CSFStatic* m_pCloudUrlLabel = nullptr;
    CSFEditCtrl* m_pCloudUrl = nullptr;
    CSFButton* m_pDefault = nullptr;
    CSFStatic* m_pUrlTip = nullptr;
    CSFButton* m_pOK = nullptr;
    CSFButton* m_pClose = nullptr;
    CSFStatic* m_pCloudSwitchLabel = nullptr;
    CSFRadioBox* m_pCloudSwitch = nullptr;
    CSFStatic* m_pClearLabel = nullptr;
    CSFButton* m_pDelete = nullptr;
    // Set while the dialog itself writes an edit, so that the change is not taken for the user's.
    bool m_bSettingText = false;
};
