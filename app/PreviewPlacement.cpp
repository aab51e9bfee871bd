#include "app/PreviewPlacement.h"

namespace zavrio {

PreviewGeometry PlacePreview(const WindowFrame& window, const Rect& pane) {
    PreviewGeometry g;
    g.Top = window.ClientHeight - window.Height;
    g.Left = window.ClientWidth - window.Width;
    g.Width = RectWidth(pane) - g.Left + 10;
    g.Height = RectHeight(pane) - g.Top + 10;
    return g;
}

} // namespace zavrio
