// What the template file dialog asks of its two owners. The editor shell (load and save-as
// modes) and the apply panel (open mode) implement these next to their own page interface
// (ISFViewEvent), whose window becomes the dialog's parent. Paths are narrow strings in the
// system code page (UTF-8 here). GUI thread only.
#pragma once

// The editor shell.
class ITemplateEditShell {
public:
    virtual ~ITemplateEditShell() = default;
    // Opens a valid template file in the editor of its type.
    virtual int OpenTemplateFile(const char* path) = 0;
    // Saves the template being edited under path.
    virtual int SaveToFile(const char* path) = 0;
    // Clears buffer and copies at most capacity - 1 characters of the name field into it.
    virtual int GetTemplateName(wchar_t* buffer, int capacity) = 0;
    // 1 after a file was handed to the apply panel, so that a return to the editor opens it.
    virtual int SetEditMode(int mode) = 0;
};

// The apply panel.
class ITemplateApplyPanel {
public:
    virtual ~ITemplateApplyPanel() = default;
    // Takes a template for application; false refuses it (the panel says why).
    virtual bool LoadTemplate(const char* path) = 0;
    virtual void ShowTemplateInfo(const char* path) = 0;
    virtual void SetTemplateMode(int mode) = 0;
    virtual void SetTemplatePath(const char* path) = 0;
};
