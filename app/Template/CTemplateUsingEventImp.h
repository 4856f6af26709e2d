// Stand-in of the template apply panel until the apply feature is built: a plain page in the
// template page's application mode. It takes every template handed to it and keeps its path;
// it applies nothing and keeps none of the devices handed to it.
#pragma once

#include <memory>
#include <string>

#include "Common/DeviceInfo.h"
#include "Template/TemplateFileOwners.h"
#include "Widgets/SFView.h"

class CTemplateEventImp;

class CTemplateUsingEventImp : public ISFViewEvent, public ITemplateApplyPanel {
public:
    explicit CTemplateUsingEventImp(std::weak_ptr<CTemplateEventImp> page) : m_wpPage(std::move(page)) {}
    static std::shared_ptr<CTemplateUsingEventImp> Create(std::weak_ptr<CTemplateEventImp> page);

    CSFView* GetView() const { return m_pView; }
    bool LoadTemplate(const char* path) override { return m_strPath = path ? path : "", true; }
    void ShowTemplateInfo(const char*) override {}
    void SetTemplateMode(int mode) override { m_nMode = mode; }
    void SetTemplatePath(const char* path) override { m_strPath = path ? path : ""; }
    void ResetResults() {}
    const std::string& GetTemplatePath() const { return m_strPath; }
    int GetTemplateMode() const { return m_nMode; }

    bool MatchTemplateType(DEVICE_NET_INFO_EX*) { return false; }
    void AddDeviceToTree(const wchar_t*, const char*, int) {}
    void ClearDevices() {}
    // Back to the manager: the template in hand reopens in the editor while one is edited.
    void OnBtnReturn();

private:
    std::weak_ptr<CTemplateEventImp> m_wpPage;
    CSFView* m_pView = nullptr;
    std::string m_strPath;
    int m_nMode = 0;
};
