// The template file dialog: "Path:", a path box, Browse, OK and Cancel. Made once, hidden, by its
// owner and run modally on demand. Its mode is fixed at creation:
//   0 "Load Template": OK opens a valid template in the editor shell;
//   1 "Save As":       OK asks before overwriting, then has the editor shell save there;
//   2 "Open File":     OK hands a valid template to the apply panel (any other mode acts so).
// OK closes the dialog first; what follows (checks, questions, the owners' calls) runs after.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Template/TemplateFileOwners.h"
#include "Widgets/SFButton.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFStatic.h"

struct DialogStyle;

class CTempletOptionDlg : public ISFDialogEvent, public ISFButtonEvent {
    SF_DECLARE_MESSAGE_MAP(CTempletOptionDlg)

public:
    enum Mode : int { MODE_LOAD = 0, MODE_SAVE_AS = 1, MODE_OPEN = 2 };
    enum : int { ID_PATH = 1191, ID_BROWSE = 1102, ID_OK = 505, ID_CANCEL = 2 };
    // Longest path, in characters of the box and in bytes of its narrow form.
    enum : int { kMaxPath = 511 };
    // The file or folder chooser, called like SFFileDialog; tests put their own in its place.
    using FileChooser = std::function<int(void* folderResult, wchar_t* fileBuf, int capacity, int pickFile,
                                          const wchar_t* unused1, const wchar_t* mode, const wchar_t* unused2,
                                          DWORD flags, const wchar_t* filter, void* parent)>;

    CTempletOptionDlg(std::weak_ptr<ITemplateEditShell> shell, std::weak_ptr<ITemplateApplyPanel> panel);
    ~CTempletOptionDlg() override;
    static std::shared_ptr<CTempletOptionDlg> Create(std::weak_ptr<ITemplateEditShell> shell,
                                                     std::weak_ptr<ITemplateApplyPanel> panel, int mode);
    int Init(int mode);

    CSFDialog* GetDialog() const { return m_pDialog; }
    int GetMode() const { return m_nMode; }
    // Shows path in the box and keeps it.
    int SetPath(const char* path);
    std::string GetPath() const { return m_strPath; }
    // The path box's text.
    std::wstring GetPathText() const;
    void SetFileChooser(FileChooser chooser) { m_chooser = std::move(chooser); }

    static void FillDialogStyle(DialogStyle* style);

    int Dlg_OnInitDialog(bool create) override;
    void Dlg_OnOK() override {}
    void Dlg_OnCancel() override {}
    void Dlg_Destroy() override {}
    void OnDlgKeyDown(UINT modifier, UINT key) override;
    void OnMacMenu(UINT) override {}
    virtual void OnReserved(int) {}

    void BTN_OnLButtonDown(int, UINT, POINT) override {}
    void BTN_OnLButtonUp(int, UINT, POINT) override {}
    void BTN_OnMouseMove(int, UINT, POINT) override {}
    void BTN_OnMouseLeave(int, UINT, LONG) override {}

    void OnBtnOK();
    void OnBtnBrowse();

private:
    void* OwnerWindow() const;
    void ShowInvalid();

    CSFDialog* m_pDialog = nullptr;
    std::weak_ptr<ITemplateEditShell> m_wpShell;
    std::weak_ptr<ITemplateApplyPanel> m_wpPanel;
    CSFStatic* m_pPathLabel = nullptr;
    CSFEditCtrl* m_pPathEdit = nullptr;
    CSFButton* m_pBrowseBtn = nullptr;
    CSFButton* m_pOkBtn = nullptr;
    CSFButton* m_pCancelBtn = nullptr;
    std::string m_strPath;
    int m_nMode = MODE_LOAD;
    FileChooser m_chooser;
};
