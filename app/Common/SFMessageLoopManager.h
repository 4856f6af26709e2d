// The one place where posters find a loop by its id (1 GUI, 2 helper, 3 device calls, 4 log).
#pragma once

#include "Common/SFMessageLoop.h"
#include "Common/SFToolMutex.h"

#include <map>
#include <memory>

namespace VeyraBase {

class CSFMessageLoopManager {
public:
    static std::shared_ptr<CSFMessageLoopManager> Instance();

    // Replaces a loop already registered under the id.
    void RegisterLoop(const std::shared_ptr<CSFMessageLoop>& loop, int id);
    // Empty when no loop is registered under the id.
    std::shared_ptr<CSFMessageLoop> GetMessageLoop(int id);

private:
    std::map<int, std::shared_ptr<CSFMessageLoop>> m_loops;
    SF_SOFT_BASE::CSFToolMutex m_lock;
};

} // namespace VeyraBase
