// Stand-in of the template apply panel; see the header.
#include "Template/CTemplateUsingEventImp.h"

#include "Main/IdlePageView.h"
#include "Template/CTemplateEditEventImp.h"
#include "Template/CTemplateEventImp.h"

std::shared_ptr<CTemplateUsingEventImp> CTemplateUsingEventImp::Create(std::weak_ptr<CTemplateEventImp> page)
{
    auto panel = std::make_shared<CTemplateUsingEventImp>(page);
    std::shared_ptr<CTemplateEventImp> owner = page.lock();
    panel->m_pView = CreateIdlePageView(panel.get(), owner ? owner->GetUIWnd() : nullptr, L"TemplateUsing",
                                        L"Template Application");
    return panel;
}

void CTemplateUsingEventImp::OnBtnReturn()
{
    std::shared_ptr<CTemplateEventImp> page = m_wpPage.lock();
    std::shared_ptr<CTemplateEditEventImp> shell = page ? page->GetEditPage() : nullptr;
    if (!shell)
        return;
    if (shell->GetEditMode() == 1) {
        shell->OpenTemplateFile(m_strPath.c_str());
        return;
    }
    shell->AskSaveCurrent();
    page->SwitchMode(false);
}
