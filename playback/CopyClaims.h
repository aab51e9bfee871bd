#pragma once
// What the copies of the program that one user runs at the same time play
// (the screensaver daemon starts one per monitor), so that each picks clips
// the others do not show. Each copy claims the clips it shows in a record
// shared by all of them (platform/RuntimeRecord.h, file "claims"): a line per
// copy, its identity and its clips' addresses. Claims of copies that have
// died are ignored and dropped.

#include "platform/RuntimeRecord.h"
#include "playback/ClipSequence.h"

#include <string>

namespace zavrio {

// The neighbours as the record in directory tells them, for the copy self.
Neighbours ClipClaimsOfOtherCopies(std::string directory = RuntimeRecordDirectory(),
                                   CopyId self = CopyId::Self(), CopyLiveness alive = IsRunning);

} // namespace zavrio
