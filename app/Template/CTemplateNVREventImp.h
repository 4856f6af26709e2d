// The NVR template editor page.
#pragma once

#include <memory>

#include "Template/CTemplatePageEventImp.h"

class CTemplateNVREventImp : public CTemplatePageEventImp {
public:
    explicit CTemplateNVREventImp(std::weak_ptr<CTemplateEditEventImp> shell)
        : CTemplatePageEventImp(std::move(shell), TemplatePageKind{L"NVR", L"TemplateNVR", 121, false})
    {
    }
    static std::shared_ptr<CTemplateNVREventImp> Create(std::weak_ptr<CTemplateEditEventImp> shell)
    {
        return std::make_shared<CTemplateNVREventImp>(std::move(shell));
    }
};
