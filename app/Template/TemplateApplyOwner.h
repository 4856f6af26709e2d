// What the template application control and its two dialogs ask of the apply panel that owns
// them. The panel implements it next to its page interface (ISFViewEvent), whose window is the
// dialogs' parent. GUI thread only.
#pragma once

#include <memory>

#include "Template/TemplateConfigInfo.h"

class CTemplateApplyDlg;
class CTemplateConfigUILogic;

class ITemplateApplyRun {
public:
    virtual ~ITemplateApplyRun() = default;
    // Shows a finished device's outcome on its row.
    virtual void SetResultIcon(int treeItem, TEMPLATE_RESULT_SET flags) = 0;
    // Told once when a run has ended.
    virtual void OnConfigFinish() = 0;
    virtual std::shared_ptr<CTemplateApplyDlg> GetApplyDlg() = 0;
    virtual std::shared_ptr<CTemplateConfigUILogic> GetConfigUILogic() = 0;
};
