// Last page of the initialisation wizard, "Activation": one row per device with its outcome
// button, the count of devices fully initialised and a progress bar until every device has
// reported. The page can be left only once all have.
#pragma once

#include <memory>

#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFMsgMap.h"

class CDevInitUILogic;
class CSFStatic;
class CSFView;
class CSFProgressCtrl;

class CInitDevResultEventImp : public ISFDialogEvent,
                               public ISFButtonEvent,
                               public ISFCheckBoxEvent,
                               public ISFListCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CInitDevResultEventImp)
public:
    enum { ID_CLOSE = 502, ID_FINISH = 505, ID_LIST = 1020, ID_RESULT = 1156 };

    explicit CInitDevResultEventImp(std::weak_ptr<CDevInitUILogic> coordinator);
    ~CInitDevResultEventImp() override;
    static std::shared_ptr<CInitDevResultEventImp> Create(std::shared_ptr<CDevInitUILogic> coordinator);
    int BuildDialog();

    CSFDialog* GetDialog() const { return m_pDialog; }
    CSFListCtrl* GetListCtrl() const { return m_pList; }
    CSFStatic* GetCountLabel() const { return m_pCount; }
    CSFStatic* GetBusyLabel() const { return m_pBusy; }
    CSFProgressCtrl* GetProgress() const { return m_pProgress; }
    int GetFinished() const { return m_nFinished; }
    int GetSucceeded() const { return m_nSucceeded; }
    int GetTotal() const { return m_nTotal; }

    void Reset();
    void SetTotal(int count) { m_nTotal = count; }
    void AddDevice(const DEVICE_NET_INFO_EX& info);
    void Task_DevInit_Ret(int row, int accountResult, int optionsResult, unsigned code);

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnButton(int id, int row) override;
    void OnBtnFinish();
    void OnBtnClose();

private:
    void LayoutList(int width, int height);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CDevInitUILogic> m_wpCoordinator;
    CSFButton* m_pFinishBtn = nullptr;
    CSFButton* m_pCloseBtn = nullptr;
    CSFListCtrl* m_pList = nullptr;
    CSFView* m_pListFrame = nullptr;
    CSFStatic* m_pCount = nullptr;
    CSFStatic* m_pBusy = nullptr;
    CSFProgressCtrl* m_pProgress = nullptr;
    int m_nFinished = 0;
    int m_nSucceeded = 0;
    int m_nTotal = 0;
};
