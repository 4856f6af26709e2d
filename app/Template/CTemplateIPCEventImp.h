// The IPC template editor page.
#pragma once

#include <memory>

#include "Template/CTemplatePageEventImp.h"

class CTemplateIPCEventImp : public CTemplatePageEventImp {
public:
    explicit CTemplateIPCEventImp(std::weak_ptr<CTemplateEditEventImp> shell)
        : CTemplatePageEventImp(std::move(shell), TemplatePageKind{L"IPC", L"TemplateIPC", 118, true})
    {
    }
    static std::shared_ptr<CTemplateIPCEventImp> Create(std::weak_ptr<CTemplateEditEventImp> shell)
    {
        return std::make_shared<CTemplateIPCEventImp>(std::move(shell));
    }
};
