#pragma once
// The preview-pane window (mode 4): a white window showing one fixed picture,
// made a child of the display settings' preview pane, whose X11 window id the
// command line gave, and placed by FormCreate (PreviewPlacement.h) so that
// the pane shows its client area. Without a parent it is an ordinary
// top-level window, 234 x 225 at (743, 328), titled "ZRPreviewForm".
//
// It plays nothing, loads no settings and takes no input. The pane's owner
// destroys the pane to end the preview; the window then closes, which ends
// the program.

#include "platform/ForeignWindow.h"

#include <QLabel>
#include <QWidget>

#include <memory>

namespace zavrio {

class TZRPreviewForm : public QWidget {
public:
    // parent: the pane's window id, 0 for none.
    explicit TZRPreviewForm(WId parent);
    ~TZRPreviewForm() override;

    // False when a parent was named but does not exist.
    bool IsPlaced() const { return FPlaced; }

    QLabel* Image1 = nullptr;

private:
    // Places and sizes the window inside the pane; nothing without a parent.
    void FormCreate();

    WId FParent;
    bool FPlaced = true;
    std::unique_ptr<ForeignWindowWatch> FParentWatch;
};

} // namespace zavrio
