#pragma once
// How the C library's allocator holds the program's memory over a night of
// clips.
//
// The player decodes and draws on threads of its own, a new set for every
// clip. glibc gives a thread that allocates while others do an arena of its
// own (up to eight per core), and keeps what is freed inside an arena for
// later instead of handing it back to the system. Over a night of clip
// changes the resident set then only climbs, although the memory in use
// does not (bench/playback/soak, four screens: 546 MB at the 32nd change,
// 635 MB at the 68th with the defaults, while heaptrack saw the heap in use
// flat at 184 MB; with two arenas 418–470 MB over the same changes; in a
// later run a malloc_trim took a process from 500 MB to 332 MB resident).

namespace zavrio {

// Two arenas for the whole process; call once at start, before any thread.
// Where the library has no such setting, nothing changes.
void LimitHeapArenas();

// Hands what the heap holds freed back to the system, on a thread of its
// own so the caller does not wait (it walks the whole heap); call after
// something large went, such as a clip's player. A call while the last one
// still runs is dropped.
void GiveBackFreedHeap();

} // namespace zavrio
