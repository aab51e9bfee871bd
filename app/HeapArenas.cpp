#include "app/HeapArenas.h"

#include <malloc.h>

namespace zavrio {

void LimitHeapArenas() {
#ifdef M_ARENA_MAX
    mallopt(M_ARENA_MAX, 2);
#endif
}

} // namespace zavrio
