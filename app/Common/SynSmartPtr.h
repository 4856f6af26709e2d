// Completion token: sets its event when the last holder lets go.
#pragma once

#include "Common/SFEvent.h"

#include <memory>

class SynSmartPtr {
public:
    explicit SynSmartPtr(const std::shared_ptr<SF_SOFT_BASE::CSFEvent>& event) : m_event(event) {}
    virtual ~SynSmartPtr()
    {
        if (std::shared_ptr<SF_SOFT_BASE::CSFEvent> event = m_event.lock())
            event->Set();
    }
    SynSmartPtr(const SynSmartPtr&) = delete;
    SynSmartPtr& operator=(const SynSmartPtr&) = delete;

private:
    std::weak_ptr<SF_SOFT_BASE::CSFEvent> m_event;
};
