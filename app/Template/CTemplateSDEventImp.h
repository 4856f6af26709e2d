// The SD template editor page.
#pragma once

#include <memory>

#include "Template/CTemplatePageEventImp.h"

class CTemplateSDEventImp : public CTemplatePageEventImp {
public:
    explicit CTemplateSDEventImp(std::weak_ptr<CTemplateEditEventImp> shell)
        : CTemplatePageEventImp(std::move(shell), TemplatePageKind{L"SD", L"TemplateSD", 120, true})
    {
    }
    static std::shared_ptr<CTemplateSDEventImp> Create(std::weak_ptr<CTemplateEditEventImp> shell)
    {
        return std::make_shared<CTemplateSDEventImp>(std::move(shell));
    }
};
