// What the template apply panel asks of the template page that owns it (its parent window,
// the editor shell, the mode switch and the device list). The page implements it next to its own
// view interface (ISFViewEvent), whose window is the panel's parent. GUI thread only.
#pragma once

#include <memory>

#include "Template/TemplateFileOwners.h"

class CDeviceListUILogic;

class ITemplateUsingHost {
public:
    virtual ~ITemplateUsingHost() = default;
    // The editor shell (the file dialog's owner in its load and save-as modes).
    virtual std::weak_ptr<ITemplateEditShell> GetEditShell() = 0;
    // The editor shell's mode: 1 after a file was handed over from the file dialog.
    virtual int GetEditMode() = 0;
    // The editor shell asks whether to save the template being edited.
    virtual void AskSaveCurrent() = 0;
    // true: application mode; false: the template manager.
    virtual void SwitchMode(bool apply) = 0;
    // The main window's device list model; empty before start-up has finished.
    virtual std::shared_ptr<CDeviceListUILogic> GetDeviceListUILogic() = 0;
};
