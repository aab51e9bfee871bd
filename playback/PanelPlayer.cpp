#include "playback/PanelPlayer.h"

#include "platform/HeapMemory.h"

#include <QEvent>
#include <QLayout>

namespace zavrio {

std::unique_ptr<TShockwaveFlash> MakePanelPlayer(const PlayerFactory& create, QWidget& panel,
                                                 std::function<void(std::int32_t)> onReadyState) {
    std::unique_ptr<TShockwaveFlash> player = create(&panel);
    panel.layout()->addWidget(player.get());
    player->OnReadyStateChange = std::move(onReadyState);
    player->show();
    return player;
}

PlayerSwap::PlayerSwap(QWidget& panel, PlayerFactory create)
    : panel_(panel), create_(std::move(create)) {
    // The held control is out of the panel's layout: it follows the panel's
    // size itself.
    panel_.installEventFilter(this);
}

PlayerSwap::~PlayerSwap() {
    Clear();
}

TShockwaveFlash& PlayerSwap::Replace(std::function<void(std::int32_t)> onReadyState) {
    if (current_ && currentDrawn_) {
        held_ = std::move(current_);
        held_->OnReadyStateChange = nullptr;
        held_->Hold();
        panel_.layout()->removeWidget(held_.get());
        held_->setGeometry(panel_.rect());
    }
    current_.reset();
    currentDrawn_ = false;
    current_ = MakePanelPlayer(create_, panel_,
                               [this, handler = std::move(onReadyState)](std::int32_t state) {
                                   if (state == 4 && !currentDrawn_) {
                                       currentDrawn_ = true;
                                       if (held_) {
                                           held_.reset();
                                           GiveBackFreedHeap();
                                       }
                                   }
                                   if (handler)
                                       handler(state);
                               });
    if (held_)
        held_->raise();
    return *current_;
}

void PlayerSwap::Clear() {
    held_.reset();
    current_.reset();
    currentDrawn_ = false;
}

bool PlayerSwap::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &panel_ && event->type() == QEvent::Resize && held_)
        held_->setGeometry(panel_.rect());
    return false;
}

void FocusPanelPlayer(const QWidget& window, QWidget& panel, TShockwaveFlash* player) {
    if (!window.isVisible())
        return;
    panel.setFocus();
    if (player)
        player->setFocus();
}

void PaintBlack(QWidget& widget) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::black);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

} // namespace zavrio
