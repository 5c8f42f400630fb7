// LargePages: madvise(MADV_HUGEPAGE) over the block's whole 2 MiB stretches.
// Depends on: nothing.
#include "shell/LargePages.h"

#include <sys/mman.h> // madvise

#include <cstdint> // uintptr_t

void AdviseLargePages(const void* data, size_t bytes)
{
#if defined(MADV_HUGEPAGE)
    const uintptr_t kLargePage = uintptr_t{2} << 20;
    const uintptr_t start = reinterpret_cast<uintptr_t>(data);
    const uintptr_t begin = (start + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t end = (start + bytes) & ~(kLargePage - 1);
    if (data != nullptr && begin < end) {
        // Advice only: a kernel without transparent huge pages refuses it, and the memory works as before.
        (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}
