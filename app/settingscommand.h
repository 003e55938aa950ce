#pragma once

#include "app/modalrunner.h"

#include <QObject>

class BoardRenderer;
class GameFlow;
class Joiner;
class PreviewControl;
class QWidget;
struct FrameServices;
struct GameState;

// The command "Нас&тройки..." (32773): runs the settings dialog through the modal runner and
// applies what the player confirmed. The outline colour button of the dialog comes back here,
// because a new colour repaints the elements at once, whatever the dialog's outcome.
class SettingsCommand : public QObject {
    Q_OBJECT
public:
    // `board` is the view the board shows in, repainted where the dialog stood.
    SettingsCommand(GameState& state, const FrameServices& services, const ModalRunner& runModal,
                    GameFlow& gameFlow, Joiner& joiner, BoardRenderer& renderer, QWidget& board,
                    PreviewControl& preview, QWidget* window);

    void run();
    // The colour chooser for the outline, owned by `dialog`.
    void chooseOutlineColor(QWidget* dialog);

private:
    GameState& state_;
    const FrameServices& services_;
    const ModalRunner& runModal_;
    GameFlow& gameFlow_;
    Joiner& joiner_;
    BoardRenderer& renderer_;
    QWidget& board_;
    PreviewControl& preview_;
    QWidget* window_;
};
