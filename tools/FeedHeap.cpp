#include "tools/FeedHeap.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace zavrio {

namespace {

constexpr std::uintptr_t HugePage = 2 * 1024 * 1024;
// The heap grows by this much at a time; only what is touched costs memory.
constexpr int Reserve = 512 * 1024 * 1024;

void reserveHugePages() {
    // Everything up to 32 MiB (glibc's upper limit) comes from the heap
    // rather than from mappings of its own, so that the reserve serves it.
    if (mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024) != 1 || mallopt(M_TOP_PAD, Reserve) != 1)
        return;
    // A block larger than what is left at the top makes the heap take the
    // whole reserve now. volatile: the compiler must not drop the pair.
    auto* before = static_cast<char*>(sbrk(0));
    void* volatile block = std::malloc(HugePage);
    auto* after = static_cast<char*>(sbrk(0));
    std::free(block);
    if (before == reinterpret_cast<char*>(-1) || after <= before)
        return;
    const std::uintptr_t first =
        (reinterpret_cast<std::uintptr_t>(before) + HugePage - 1) & ~(HugePage - 1);
    const std::uintptr_t last = reinterpret_cast<std::uintptr_t>(after) & ~(HugePage - 1);
    if (last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace

void TuneHeapForFeedLoad() {
    mallopt(M_MXFAST, 0);
    reserveHugePages();
}

} // namespace zavrio
