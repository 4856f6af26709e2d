// The result details dialog: the device, the operation and its result of one operation on one
// device. Built hidden once with the main window; every way of closing it cancels (result 2).
#pragma once

#include <memory>
#include <string>

#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"

class CMainFrameEventImp;
class CSFStatic;

class CDetialsResDlgEventImp : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CDetialsResDlgEventImp)

public:
    explicit CDetialsResDlgEventImp(std::weak_ptr<CMainFrameEventImp> owner);
    ~CDetialsResDlgEventImp() override;
    static std::shared_ptr<CDetialsResDlgEventImp> Create(std::weak_ptr<CMainFrameEventImp> owner);

    CSFDialog* GetDialog() const { return m_pDialog; }
    void SetDetails(const char* device, std::wstring caption, std::wstring text);
    void SetConfigResult(const char* device, int type, int code);

    // Untranslated texts of a configuration type and a result code.
    static const wchar_t* ConfigTypeText(int type);
    static const wchar_t* ConfigResultText(int code);

    int Dlg_OnInitDialog(bool create) override;
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnNothing() {}

    CSFStatic* GetDeviceValue() const { return m_pDeviceValue; }
    CSFStatic* GetTypeValue() const { return m_pTypeValue; }
    CSFStatic* GetResultValue() const { return m_pResultValue; }

private:
    void SetDevice(const char* device);

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<CMainFrameEventImp> m_wpOwner;
    CSFStatic* m_pDeviceLabel = nullptr;
    CSFStatic* m_pDeviceValue = nullptr;
    CSFStatic* m_pTypeLabel = nullptr;
    CSFStatic* m_pTypeValue = nullptr;
    CSFStatic* m_pResultLabel = nullptr;
    CSFStatic* m_pResultValue = nullptr;
    CSFButton* m_pClose = nullptr;
};
