// A shared library opened at run time on first use, with the table of its functions resolved
// once, so that a program does not load it (and what it needs) at start unless it is used.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace os {

class RuntimeLib {
public:
    // Resolves the caller's table through Bind(); runs on each load attempt, under the lock.
    typedef void (*BindFn)(RuntimeLib& lib);

    RuntimeLib(std::string soname, BindFn bind);
    RuntimeLib(const RuntimeLib&) = delete;
    RuntimeLib& operator=(const RuntimeLib&) = delete;

    // Opens the library and resolves the table once per process, from any thread: later calls
    // wait for the first and share its result. False when the library or one of its functions
    // is missing; Error() then says which. The library stays loaded until the process ends.
    bool Load();
    // Why Load() failed, naming the library ("libx.so.1: cannot open shared object file: ..."
    // or "libx.so.1: no function f"); empty once loaded. Loads first.
    std::string Error();
    // The name the library is opened by.
    std::string Soname();

    // Test seam: opens `soname` from now on, as if nothing had been tried yet. Only while no
    // other thread uses the library's functions.
    void SetSoname(const std::string& soname);

    // For the bind function: the address of `name` into `fn` (null when missing, which fails
    // the load).
    template <typename F>
    void Bind(F& fn, const char* name)
    {
        fn = reinterpret_cast<F>(Symbol(name));
    }

private:
    enum State { kNotTried, kLoaded, kFailed };
    void* Symbol(const char* name);

    std::mutex m_mutex;
    std::atomic<int> m_state{kNotTried};
    std::string m_soname;
    std::string m_error;
    BindFn m_bind;
    void* m_handle = nullptr;
};

} // namespace os
