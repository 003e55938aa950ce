#include "app/settingscommand.h"

#include "app/frameservices.h"
#include "app/previewcontrol.h"
#include "board/boardrenderer.h"
#include "board/joiner.h"
#include "game/gameflow.h"
#include "game/gamestate.h"
#include "game/settingschoice.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/mycolordialog.h"
#include "ui/settingsdialog.h"

SettingsCommand::SettingsCommand(GameState& state, const FrameServices& services, const ModalRunner& runModal,
                                 GameFlow& gameFlow, Joiner& joiner, BoardRenderer& renderer, QWidget& board,
                                 PreviewControl& preview, QWidget* window)
    : QObject(window), state_(state), services_(services), runModal_(runModal), gameFlow_(gameFlow),
      joiner_(joiner), renderer_(renderer), board_(board), preview_(preview), window_(window) {}

void SettingsCommand::run() {
    CSettingsDialog dialog(window_);
    dialog.values() = SettingsChoice::from(state_.settings);
    dialog.setSquareElements(state_.cut.forcesExactAssembly());
    dialog.setMessageBox(services_.messages);
    dialog.setColorChooser([this, &dialog] { chooseOutlineColor(&dialog); });
    dialog.ensureInitialized();
    if (runModal_(dialog) != QDialog::Accepted)
        return;
    const SettingsChoice::Outcome outcome = dialog.values().apply(state_, *services_.cursor);
    if (outcome.clockVisibilityChanged)
        gameFlow_.applyClockVisibility();
    if (outcome.redraw) {
        joiner_.updateJoinRegions();
        BoardRenderer::RedrawFlags flags;
        flags.clearBackground = true;
        flags.rebuildBitmaps = true;
        flags.rebuildRegions = true;
        renderer_.redrawBoard(flags);
    }
}

void SettingsCommand::chooseOutlineColor(QWidget* dialog) {
    CMyColorDialog chooser(state_.settings.outlineColor, dialog);
    chooser.setTitle(loadString(Str::OutlineColourTitle));
    // The board shows where the settings dialog stood.
    board_.update();
    preview_.repaint();
    if (runModal_(chooser) != QDialog::Accepted)
        return;
    const QColor chosen = chooser.currentColor();
    if (!chosen.isValid())
        return;
    state_.settings.outlineColor = chosen;
    BoardRenderer::RedrawFlags flags;
    flags.rebuildBitmaps = true;
    renderer_.redrawBoard(flags);
}
