// Idle stand-in of the add-on tool page until that feature is built: an empty page that shows its
// name.
#pragma once

#include <memory>

#include "Widgets/SFView.h"

class CMainFrameEventImp;

class COtherToolEventImp : public ISFViewEvent, public std::enable_shared_from_this<COtherToolEventImp> {
public:
    explicit COtherToolEventImp(std::weak_ptr<CMainFrameEventImp> mainFrame);
    static std::shared_ptr<COtherToolEventImp> Create(std::weak_ptr<CMainFrameEventImp> mainFrame);

    CSFView* GetView() const { return m_pView; }

private:
    std::weak_ptr<CMainFrameEventImp> m_wpMainFrame;
    CSFView* m_pView = nullptr;
};
