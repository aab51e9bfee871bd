#include "platform/DisplayPower.h"

#include "platform/WindowDisplayServer.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace zavrio {

std::optional<bool> DisplayPoweredOn() {
    if (WindowDisplayServer() != DisplayServer::X11 || !qGuiApp)
        return std::nullopt;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    int event = 0, error = 0;
    if (!display || !DPMSQueryExtension(display, &event, &error) || !DPMSCapable(display))
        return std::nullopt;
    CARD16 level = DPMSModeOn;
    BOOL enabled = False;
    if (!DPMSInfo(display, &level, &enabled))
        return std::nullopt;
    return !enabled || level == DPMSModeOn;
}

} // namespace zavrio
