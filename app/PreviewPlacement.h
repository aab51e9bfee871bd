#pragma once
// Where the preview-pane window goes inside the pane it is a child of: its
// frame and caption above and to the left of the pane's client origin, where
// the pane clips them, and its client area reaching past the pane's right and
// bottom edges.

#include "platform/Rect.h"

namespace zavrio {

// The window's outer and client sizes as created.
struct WindowFrame {
    int Width = 0;
    int Height = 0;
    int ClientWidth = 0;
    int ClientHeight = 0;
};

struct PreviewGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Top := client height - height; Left := client width - width;
// Width := pane width - Left + 10; Height := pane height - Top + 10.
PreviewGeometry PlacePreview(const WindowFrame& window, const Rect& pane);

} // namespace zavrio
