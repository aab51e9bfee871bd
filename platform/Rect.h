#pragma once
// A window rectangle in screen pixels, edges as the window system reports them.

namespace zavrio {

struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

inline int RectWidth(const Rect& r) {
    return r.Right - r.Left;
}
inline int RectHeight(const Rect& r) {
    return r.Bottom - r.Top;
}

} // namespace zavrio
