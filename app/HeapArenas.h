#pragma once
// How many heaps (arenas) the C library's allocator keeps for the program.
//
// The player decodes and draws on threads of its own, a new set for every
// clip, and glibc gives a thread that allocates while others do an arena of
// its own, up to eight per core. What a clip frees in one arena is seldom
// handed back to the system while the next clip's threads grow another, so
// over a night of clip changes the resident set only climbs: in a soak of
// four screens (bench/playback/soak) it rose from 546 to 635 MB between the
// 32nd and the 68th change with the default, and stayed between 418 and
// 470 MB over the same changes with two arenas. Process-wide, so it belongs
// to the program's start, before any thread.

namespace zavrio {

// Two arenas; where the library has no such setting, nothing changes.
void LimitHeapArenas();

} // namespace zavrio
