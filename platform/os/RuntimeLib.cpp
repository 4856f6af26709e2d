// Run-time loading of shared libraries; see the header.
#include "os/RuntimeLib.h"

#include <dlfcn.h>

namespace os {

RuntimeLib::RuntimeLib(std::string soname, BindFn bind) : m_soname(std::move(soname)), m_bind(bind) {}

bool RuntimeLib::Load()
{
    const int state = m_state.load(std::memory_order_acquire);
    if (state != kNotTried)
        return state == kLoaded;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_state.load(std::memory_order_relaxed) != kNotTried)
        return m_state.load(std::memory_order_relaxed) == kLoaded;
    m_error.clear();
    // Never closed: callers keep the table's addresses.
    m_handle = dlopen(m_soname.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* why = dlerror();
        m_error = why ? why : m_soname + ": cannot be opened";
    } else if (m_bind) {
        m_bind(*this);
    }
    m_state.store(m_error.empty() ? kLoaded : kFailed, std::memory_order_release);
    return m_error.empty();
}

std::string RuntimeLib::Error()
{
    Load();
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

std::string RuntimeLib::Soname()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_soname;
}

void RuntimeLib::SetSoname(const std::string& soname)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_soname = soname;
    m_error.clear();
    m_handle = nullptr;
    m_state.store(kNotTried, std::memory_order_release);
}

void* RuntimeLib::Symbol(const char* name)
{
    void* address = m_handle ? dlsym(m_handle, name) : nullptr;
    if (!address && m_error.empty())
        m_error = m_soname + ": no function " + name;
    return address;
}

} // namespace os
