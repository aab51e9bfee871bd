#include "app/TZRPreviewForm.h"

#include "app/PreviewPlacement.h"
#include "config/Skins.h"

#include <QCoreApplication>
#include <QPalette>

namespace zavrio {

TZRPreviewForm::TZRPreviewForm(WId parent) : QWidget(nullptr, Qt::Window), FParent(parent) {
    setWindowTitle("ZRPreviewForm");
    setGeometry(743, 328, 234, 225);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Image1 = new QLabel(this);
    Image1->setPixmap(PreviewPicture());
    Image1->setGeometry(4, 8, Image1->pixmap().width(), Image1->pixmap().height());
    // Transparent over the white window: no visible difference.
    Image1->setAttribute(Qt::WA_TranslucentBackground);

    FormCreate();
    // The window carries no task-bar entry of its own to hide: as a child of
    // the pane it has none, and without a parent it is the program's only
    // window.
}

TZRPreviewForm::~TZRPreviewForm() = default;

void TZRPreviewForm::FormCreate() {
    if (FParent == 0)
        return;
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    if (!EmbedInForeignWindow(*this, FParent)) {
        FPlaced = false;
        return;
    }
    // A child window has no frame of its own, so the frame and caption
    // arithmetic puts it at the pane's origin.
    const QRect outer = frameGeometry();
    const WindowFrame frame{outer.width(), outer.height(), width(), height()};
    const QSize pane = ForeignWindowSize(FParent).value_or(QSize());
    const PreviewGeometry g = PlacePreview(frame, {0, 0, pane.width(), pane.height()});
    setGeometry(g.Left, g.Top, g.Width, g.Height);
    // A window inside another program's is not one whose closing ends the
    // program by itself.
    FParentWatch = std::make_unique<ForeignWindowWatch>(FParent, nullptr, [this] {
        close();
        QCoreApplication::exit(0);
    });
}

} // namespace zavrio
