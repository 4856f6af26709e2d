// The Manual Add dialog. For now an idle dialog: created hidden and empty; it adds nothing.
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFDialog.h"

class CMainFrameEventImp;

class CLoginDevEventImp : public ISFDialogEvent, public std::enable_shared_from_this<CLoginDevEventImp> {
public:
    explicit CLoginDevEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    ~CLoginDevEventImp() override;

    static std::shared_ptr<CLoginDevEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);
    CSFDialog* GetDialog() const { return m_pDialog; }

    int Dlg_OnInitDialog(bool create) override;

    // Port of the last Manual Add login; no login was made yet, so no port matches.
    bool IsLoginPort(int port) const { return m_nLoginPort != 0 && port == m_nLoginPort; }
    // User name and password of the last Manual Add (UTF-8).
    void GetLoginAccount(std::string& user, std::string& password) const;

private:
    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    int m_nLoginPort = 0;
    std::string m_strUser;
    std::string m_strPassword;
};
