#include "config/Skins.h"

#include <QFile>

#include <stdexcept>

// Resources in a static library stay out of the program unless something
// names them; this does, once, the first time a skin or the icon is needed.
static void initResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)done;
}

namespace zavrio {

bool IsSkinIndex(int index) {
    return index >= 0 && index < SkinCount;
}

QString SkinStyleSheet(int index) {
    initResources();
    QFile file(QString(":/skins/skin%1.qss").arg(index));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("The style sheet of skin " + std::to_string(index) +
                                 " is missing from the program");
    return QString::fromUtf8(file.readAll());
}

QIcon ProgramIcon() {
    initResources();
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/zavrio-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap PreviewPicture() {
    initResources();
    QPixmap picture(":/preview.jpg");
    if (picture.isNull())
        throw std::runtime_error("The preview picture is missing from the program");
    return picture;
}

} // namespace zavrio
