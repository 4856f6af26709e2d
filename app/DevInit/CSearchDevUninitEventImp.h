// First page of the initialisation wizard, "Device Initialize": the uninitialised devices that
// the device page offered, each with a check box. "Initialize" keeps the checked rows' devices
// and moves the wizard on to the password page.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Common/DeviceInfo.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFMsgMap.h"

class CDevInitUILogic;
class CSFStatic;
class CSFView;

class CSearchDevUninitEventImp : public ISFDialogEvent, public ISFButtonEvent, public ISFListCtrlEvent {
    SF_DECLARE_MESSAGE_MAP(CSearchDevUninitEventImp)
public:
    enum { ID_CLOSE = 2, ID_INITIALIZE = 505, ID_LIST = 1020 };
    static constexpr unsigned kNotFound = 0xFFFFFFFFu;

    explicit CSearchDevUninitEventImp(std::weak_ptr<CDevInitUILogic> coordinator);
    ~CSearchDevUninitEventImp() override;
    static std::shared_ptr<CSearchDevUninitEventImp> Create(std::shared_ptr<CDevInitUILogic> coordinator);
    int BuildDialog();

    CSFDialog* GetDialog() const { return m_pDialog; }
    CSFListCtrl* GetListCtrl() const { return m_pList; }
    CSFStatic* GetCountLabel() const { return m_pCount; }
    void ClearDevices();
    void AddDevice(const DEVICE_NET_INFO_EX* info);
    const std::vector<unsigned>& GetSelection() const { return m_vecSelection; }
    // The same devices by address and MAC, as they were when "Initialize" was pressed.
    const std::vector<std::pair<std::string, std::string>>& GetSelectedDevices() const { return m_vecSelectedKeys; }

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnCancel() override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnBtnInitialize();
    void OnHeaderClicked(void* column, LRESULT value);
    // Index in the device list of the row's device; kNotFound for a row without one.
    unsigned GetDeviceIndex(int row);
    void MoveControls(int width, int height);

private:
    void SetCount(int count);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CDevInitUILogic> m_wpCoordinator;
    CSFButton* m_pInitBtn = nullptr;
    CSFButton* m_pCloseBtn = nullptr;
    CSFListCtrl* m_pList = nullptr;
    CSFView* m_pListFrame = nullptr;
    CSFStatic* m_pCount = nullptr;
    CSFStatic* m_pLabel = nullptr;
    CSFStatic* m_pHint = nullptr;
    std::vector<unsigned> m_vecSelection;
    std::vector<std::pair<std::string, std::string>> m_vecSelectedKeys;
};
