// Password reset by files, in three steps: export the request for the selected devices, import
// the authorisation file ('result') that the maker's service returns, and set the new password.
// The page does the export, the import and the match by serial number and calls back here.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "SysConfig/SysConfigUi.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFStatic.h"

class CSysConfigEventImp;

class CFindPasswordXmlDlg : public ISFDialogEvent, public ISFEditCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CFindPasswordXmlDlg)
public:
    typedef std::map<std::string, std::vector<std::string>> CodeMap;

    explicit CFindPasswordXmlDlg(std::weak_ptr<CSysConfigEventImp> owner);
    ~CFindPasswordXmlDlg() override;
    static std::shared_ptr<CFindPasswordXmlDlg> Create(std::weak_ptr<CSysConfigEventImp> owner);
    void Init();

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifiers, UINT key) override;
    void EDIT_OnTextChange(UINT id, wchar_t* text) override;

    CSFDialog* GetDialog() const { return m_pDialog; }
    void ShowExportStep(bool ownBrand, bool byPhone);
    void ShowImportStep();
    void SetDeviceCount(int count) { m_nDeviceCount = count; }
    std::wstring GetFilePath() const;
    void ShowExportingBox(bool show);
    void OnExportDone();
    void BackToExportStep();
    void GetResetInfo(char newPassword[33], std::string& create, CodeMap& codes) const;

    void OnClose();
    void OnBack();
    void OnNext();
    void OnBrowse();
    bool CheckPasswords();

    // State and controls, for the tests.
    int GetStep() const { return m_nStep; }
    CSFEditCtrl* PathEdit() const { return m_pPathEdit; }
    sysui::PasswordFields& Passwords() { return m_pwd; }
    CSFButton* BackButton() const { return m_pBack; }
    CSFButton* NextButton() const { return m_pNext; }
    bool IsExportingBoxShown() const { return m_wait.IsShown(); }
    int GetDeviceCount() const { return m_nDeviceCount; }

private:
    void SetBanner(const wchar_t* image);
    void ShowPathControls(int show);
    void ShowPasswordControls(int show);
    void SetImportTexts();
    void SetExportTexts();

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CSysConfigEventImp> m_wpOwner;
    CSFButton* m_pClose = nullptr;
    CSFPictureCtrl* m_pBanner = nullptr;
    CSFStatic* m_pCaptions[3] = {};
    CSFStatic* m_pMessage = nullptr;
    CSFStatic* m_pPathLabel = nullptr;
    CSFEditCtrl* m_pPathEdit = nullptr;
    CSFButton *m_pBrowse = nullptr, *m_pNext = nullptr, *m_pBack = nullptr;
    CSFStatic *m_pNewLabel = nullptr, *m_pConfirmLabel = nullptr, *m_pRule = nullptr, *m_pNote = nullptr;
    sysui::PasswordFields m_pwd;
    std::wstring m_strExportPath;
    sysui::WaitBox m_wait;
    int m_nStep = 1;
    int m_nDeviceCount = 0;
    char m_szNewPassword[33] = {};
    CodeMap m_mapCodes;
    std::string m_strCreate;
};
