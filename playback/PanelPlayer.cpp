#include "playback/PanelPlayer.h"

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
