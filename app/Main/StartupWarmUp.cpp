#include "Main/StartupWarmUp.h"

#include <fontconfig/fontconfig.h>

CStartupWarmUp::CStartupWarmUp()
{
    // The font configuration and its caches: the first text measured would read them.
    m_thread = std::thread([] { FcInit(); });
}

CStartupWarmUp::~CStartupWarmUp() { Join(); }

void CStartupWarmUp::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
