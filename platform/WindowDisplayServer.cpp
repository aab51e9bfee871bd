#include "platform/WindowDisplayServer.h"

#include <QGuiApplication>

namespace zavrio {

namespace {

std::optional<DisplayServer>& fakeAnswer() {
    static std::optional<DisplayServer> answer;
    return answer;
}

} // namespace

DisplayServer WindowDisplayServer() {
    if (fakeAnswer())
        return *fakeAnswer();
    if (!qGuiApp)
        return DisplayServer::None;
    return DisplayServerOfPlatform(QGuiApplication::platformName().toStdString());
}

FakeWindowDisplayServer::FakeWindowDisplayServer(DisplayServer answer) : previous_(fakeAnswer()) {
    fakeAnswer() = answer;
}

FakeWindowDisplayServer::~FakeWindowDisplayServer() {
    fakeAnswer() = previous_;
}

} // namespace zavrio
