// The DVR template editor page.
#pragma once

#include <memory>

#include "Template/CTemplatePageEventImp.h"

class CTemplateDVREventImp : public CTemplatePageEventImp {
public:
    explicit CTemplateDVREventImp(std::weak_ptr<CTemplateEditEventImp> shell)
        : CTemplatePageEventImp(std::move(shell), TemplatePageKind{L"DVR", L"TemplateDVR", 119, false})
    {
    }
    static std::shared_ptr<CTemplateDVREventImp> Create(std::weak_ptr<CTemplateEditEventImp> shell)
    {
        return std::make_shared<CTemplateDVREventImp>(std::move(shell));
    }
};
