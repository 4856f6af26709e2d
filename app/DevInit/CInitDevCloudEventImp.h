// Third page of the initialisation wizard: "Cloud Access" and "Auto Check", both on whenever
// the page opens. "OK" starts the jobs and moves on to the result page.
#pragma once

#include <memory>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFMsgMap.h"

class CDevInitUILogic;
class CSFStatic;

class CInitDevCloudEventImp : public ISFDialogEvent,
                              public ISFButtonEvent,
                              public ISFEditCtrlEvent,
                              public ISFCheckBoxEvent,
                              public ISFRadioBoxEvent {
    SF_DECLARE_MESSAGE_MAP(CInitDevCloudEventImp)
public:
    enum { ID_CLOSE = 2, ID_OK = 505 };

    explicit CInitDevCloudEventImp(std::weak_ptr<CDevInitUILogic> coordinator);
    ~CInitDevCloudEventImp() override;
    static std::shared_ptr<CInitDevCloudEventImp> Create(std::shared_ptr<CDevInitUILogic> coordinator);
    int BuildDialog();

    CSFDialog* GetDialog() const { return m_pDialog; }
    void CheckAllOptions();
    void GetOptions(int& cloudAccess, int& autoCheck);
    CSFRadioBox* GetCloudToggle() const { return m_pCloud; }
    CSFRadioBox* GetAutoCheckToggle() const { return m_pAutoCheck; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnBtnOK();

private:
    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CDevInitUILogic> m_wpCoordinator;
    CSFButton* m_pCloseBtn = nullptr;
    CSFRadioBox* m_pCloud = nullptr;
    CSFStatic* m_pCloudNote = nullptr;
    CSFRadioBox* m_pAutoCheck = nullptr;
    CSFStatic* m_pAutoNote1 = nullptr;
    CSFStatic* m_pAutoNote2 = nullptr;
    CSFButton* m_pOkBtn = nullptr;
};
