#include "playback/PlaybackFlags.h"

namespace zavrio {

bool PreviewFromConfig = false;

} // namespace zavrio
