#ifndef ORVAN_INFRA_CURRENTTHREAD_H
#define ORVAN_INFRA_CURRENTTHREAD_H

namespace Orvan {
namespace Infra {

// System id of the calling thread (the kernel's thread id).
int currentThreadId();

} // namespace Infra
} // namespace Orvan

#endif
