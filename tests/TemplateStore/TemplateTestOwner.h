// A page that owns the template pages and dialogs under test: a top-level view whose window is
// their parent. Destroy it before what it owns (its window takes the children with it).
#pragma once

#include <QWidget>

#include "Widgets/SFFactory.h"
#include "Widgets/SFView.h"

namespace tpltest {

class OwnerView : public ISFViewEvent {
public:
    OwnerView()
    {
        m_pView = CreateSFView(this);
        m_pView->Create(nullptr, L"Owner", WS_VISIBLE, RECT{0, 0, 999, 699}, nullptr, 1);
    }
    ~OwnerView() override { delete static_cast<QWidget*>(GetUIWnd()); }

private:
    CSFView* m_pView = nullptr;
};

} // namespace tpltest
