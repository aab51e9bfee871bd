#pragma once
// Heap settings for a command that loads a whole feed and then ends.
//
// A load builds a tree of several times the feed's size out of hundreds of
// thousands of small blocks. Measured on a 9 MB feed in a fresh process, two
// costs of glibc's defaults stood out besides the parse itself:
// - page faults, one per 4 KiB page touched (about 23,000): the heap's
//   growth is reserved in one large step and the kernel is asked to back it
//   with transparent huge pages (2 MiB), where the system lets a program ask
//   (/sys/kernel/mm/transparent_hugepage/enabled "madvise" or "always";
//   with "never" nothing changes). Memory never touched is never resident,
//   so the peak stays what the load uses;
// - merging the "fast bins" of freed small blocks again and again while the
//   parser frees and grows its buffers: fast bins are turned off.
// The settings are process-wide, which is why they belong to the tool and
// not to the feed library. Call once, before the load; a step that fails
// leaves that part of the heap as it was.

namespace zavrio {

void TuneHeapForFeedLoad();

} // namespace zavrio
