#include "platform/HeapMemory.h"

#include <malloc.h>

#include <atomic>
#include <thread>

namespace zavrio {

void LimitHeapArenas() {
#ifdef M_ARENA_MAX
    mallopt(M_ARENA_MAX, 2);
#endif
}

void GiveBackFreedHeap() {
    static std::atomic<bool> running{false};
    if (running.exchange(true))
        return;
    std::thread([] {
        malloc_trim(0);
        running = false;
    }).detach();
}

} // namespace zavrio
