#include "Infra3/CurrentThread.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace Orvan {
namespace Infra {

int currentThreadId()
{
    static thread_local int id = static_cast<int>(::syscall(SYS_gettid));
    return id;
}

} // namespace Infra
} // namespace Orvan
