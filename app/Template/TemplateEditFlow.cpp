// Template manager shell: names and paths, opening, saving and the hand-over to the apply panel.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "Common/AppPath.h"
#include "Common/SFStreamConvert.h"
#include "Common/Translate.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateEventImp.h"
#include "Template/CTemplatePageEventImp.h"
#include "Template/CTemplateUsingEventImp.h"
#include "Template/CTemplateXml.h"
#include "Template/CTempletOptionDlg.h"
#include "Widgets/SFDialog.h"

namespace {

// Characters a file name cannot hold, in the order they are looked for.
const wchar_t kForbidden[] = L"\\/:?\"<>|";

int Ask(const wchar_t* key, void* parent)
{
    return ShowMessageBox(std::wstring(Tr(key)).c_str(), std::wstring(Tr(L"Attention")).c_str(), parent, 1);
}

void Tell(const std::wstring& text, void* parent)
{
    ShowMessageBox(text.c_str(), std::wstring(Tr(L"Attention")).c_str(), parent, 0);
}

} // namespace

bool CTemplateEditEventImp::BuildTemplatePath(std::string& path)
{
    wchar_t name[kMaxNameLength + 1] = {};
    GetTemplateName(name, kMaxNameLength + 1);
    if (name[0] == L'\0') {
        Tell(Tr(L"The Template Name can't be empty."), MessageParent());
        return false;
    }
    for (const wchar_t* c = kForbidden; *c; ++c) {
        if (!std::wcschr(name, *c))
            continue;
        std::wstring text = Tr(L"Template name can't contain these chars:");
        text += L"\n";
        for (const wchar_t* f = kForbidden; *f; ++f) {
            if (f != kForbidden)
                text += L' ';
            text += *f;
        }
        Tell(text, MessageParent());
        return false;
    }
    const std::wstring wide = SFGetAppPath() + L"/" + name + L".xml";
    SF_SOFT_BASE::CSFStreamConvert convert;
    const char* narrow = convert.FromWideChar(wide.c_str(), 0);
    path = narrow ? narrow : "";
    return true;
}

int CTemplateEditEventImp::OpenTemplateFile(const char* path)
{
    tagTEMPLATEINFO info;
    std::memset(&info, 0, sizeof(info));
    std::vector<std::string> missing;
    CTemplateXml(path ? path : "").ReadTemplateInfo(info, &missing);
    // Without file management the template keeps the mode of a new one rather than "all day".
    if (std::find(missing.begin(), missing.end(), "FileManageMode") != missing.end()) {
        info.FileManage.id = 1;
        info.FileManage.FileManage = TEMPLATE_FILEMANAGE_NORMAL;
    }
    m_pNameEdit->SetWindowTextW(info.name);
    struct {
        const wchar_t* type;
        int id;
    } const kTypes[] = {{L"IPC", ID_IPC}, {L"DVR", ID_DVR}, {L"NVR", ID_NVR}, {L"SD", ID_SD}};
    for (const auto& t : kTypes) {
        if (std::wcscmp(info.type, t.type) != 0)
            continue;
        GetPage(t.id)->SetTemplate(&info);
        EnterEditMode();
        RADIO_OnClicked(1, t.id, POINT{0, 0});
        if (!missing.empty()) {
            std::wstring text = Tr(L"These parts of the template could not be read and show default values:");
            text += L"\n" + SFUtf8ToWide(path);
            for (const std::string& part : missing)
                text += L"\n" + SFUtf8ToWide(part);
            Tell(text, MessageParent());
        }
        break;
    }
    if (std::shared_ptr<CTemplateEventImp> page = m_wpPage.lock())
        page->SwitchMode(false);
    return 1;
}

int CTemplateEditEventImp::SaveToFile(const char* path)
{
    std::shared_ptr<CTemplatePageEventImp> page = GetCurrentPage();
    m_nSavedInDialog = page ? page->SaveTemplate(path) : 0;
    return m_nSavedInDialog;
}

int CTemplateEditEventImp::SaveAs()
{
    if (!m_pSaveDlg || !m_pSaveDlg->GetDialog())
        return 0;
    m_pSaveDlg->GetDialog()->CenterWindow(nullptr);
    std::string path;
    if (!BuildTemplatePath(path))
        return 0;
    m_pSaveDlg->SetPath(path.c_str());
    m_nSavedInDialog = 0;
    m_pSaveDlg->GetDialog()->DoModalDlg();
    // 1 only when the dialog wrote the file: a cancelled or failed save keeps the editing screen.
    return m_nSavedInDialog;
}

int CTemplateEditEventImp::UseTemplate()
{
    std::string path;
    if (!BuildTemplatePath(path))
        return 0;
    if (FILE* existing = std::fopen(path.c_str(), "rb")) {
        std::fclose(existing);
        if (Ask(L"The file is already exist, do you want to cover?", MessageParent()) != 1)
            return 0;
    }
    // A file that could not be written is not handed on (the page has said why).
    if (!SaveToFile(path.c_str()))
        return 0;
    std::shared_ptr<CTemplateEventImp> page = m_wpPage.lock();
    std::shared_ptr<CTemplateUsingEventImp> panel = page ? page->GetUsingPage() : nullptr;
    if (!panel || !panel->LoadTemplate(path.c_str()))
        return 0;
    panel->ShowTemplateInfo(path.c_str());
    panel->SetTemplateMode(3);
    panel->SetTemplatePath(path.c_str());
    panel->ResetResults();
    page->SwitchMode(true);
    return 1;
}
