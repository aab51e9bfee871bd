#pragma once

namespace zavrio {

// What an entry's description holds.
enum TContentType { ctText, ctHTML, ctXHTML };

} // namespace zavrio
