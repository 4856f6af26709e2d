// Libraries opened on first use: the table resolved once for all threads, and a reason naming the
// library or the function when one is missing.
#include "os/RuntimeLib.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct MathTable {
    double (*cos)(double);
    double (*missing)(double);
};
MathTable g_math{};
std::atomic<int> g_binds{0};

void BindCos(os::RuntimeLib& l)
{
    ++g_binds;
    l.Bind(g_math.cos, "cos");
}

void BindCosAndMissing(os::RuntimeLib& l)
{
    BindCos(l);
    l.Bind(g_math.missing, "vx_no_such_function");
}

TEST(RuntimeLib, LoadsOnceAndNamesWhatIsMissing)
{
    struct {
        const char* soname;
        os::RuntimeLib::BindFn bind;
        bool loads;
        std::string error; // its beginning
    } cases[] = {
        {"libm.so.6", BindCos, true, ""},
        {"libvx-no-such-library.so.1", BindCos, false, "libvx-no-such-library.so.1: "},
        {"libm.so.6", BindCosAndMissing, false, "libm.so.6: no function vx_no_such_function"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.soname);
        g_math = {};
        g_binds = 0;
        os::RuntimeLib lib(c.soname, c.bind);
        std::vector<std::thread> threads;
        std::atomic<int> loaded{0};
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&] { loaded += lib.Load() ? 1 : 0; });
        for (std::thread& t : threads)
            t.join();
        EXPECT_EQ(loaded, c.loads ? 8 : 0);
        EXPECT_EQ(g_binds, c.error.rfind("libvx-no-such", 0) == 0 ? 0 : 1);
        EXPECT_EQ(lib.Error().rfind(c.error, 0), 0u) << lib.Error();
        EXPECT_EQ(lib.Error().empty(), c.loads);
        if (c.loads) {
            EXPECT_EQ(g_math.cos(0.0), 1.0);
        }
    }
}

TEST(RuntimeLib, RenamingStartsOver)
{
    g_binds = 0;
    os::RuntimeLib lib("libm.so.6", BindCos);
    ASSERT_TRUE(lib.Load());
    lib.SetSoname("libvx-no-such-library.so.2");
    EXPECT_EQ(lib.Soname(), "libvx-no-such-library.so.2");
    EXPECT_FALSE(lib.Load());
    EXPECT_FALSE(lib.Load());
    EXPECT_EQ(lib.Error().rfind("libvx-no-such-library.so.2: ", 0), 0u) << lib.Error();
    lib.SetSoname("libm.so.6");
    EXPECT_TRUE(lib.Load());
    EXPECT_TRUE(lib.Error().empty());
    EXPECT_EQ(g_binds, 2);
}

} // namespace
