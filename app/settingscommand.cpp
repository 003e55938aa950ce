#include "app/settingscommand.h"

#include "app/mainframe.h"
#include "res/strings.h"
#include "ui/mycolordialog.h"
#include "ui/settingsdialog.h"
#include "ui/skin.h"

SettingsCommand::SettingsCommand(CMainFrame& frame) : QObject(&frame), frame_(frame) {}

void SettingsCommand::run() {
    GameState& state = frame_.state();
    CSettingsDialog dialog(&frame_);
    dialog.values() = SettingsChoice::from(state.settings);
    dialog.setSquareElements(state.cut.forcesExactAssembly());
    dialog.setMessageBox(frame_.services().messages);
    dialog.setColorChooser([this, &dialog] { chooseOutlineColor(&dialog); });
    dialog.ensureInitialized();
    if (frame_.runModal(dialog) != QDialog::Accepted)
        return;
    const SettingsChoice::Outcome outcome = dialog.values().apply(state, *frame_.services().cursor);
    if (outcome.clockVisibilityChanged)
        frame_.gameFlow().applyClockVisibility();
    if (outcome.redraw) {
        frame_.joiner().updateJoinRegions();
        BoardRenderer::RedrawFlags flags;
        flags.clearBackground = true;
        flags.rebuildBitmaps = true;
        flags.rebuildRegions = true;
        frame_.renderer().redrawBoard(flags);
    }
}

void SettingsCommand::chooseOutlineColor(QWidget* dialog) {
    GameState& state = frame_.state();
    CMyColorDialog chooser(state.settings.outlineColor, dialog);
    chooser.setTitle(loadString(colorTitle));
    // The board shows where the settings dialog stood.
    frame_.repaintBoard();
    frame_.repaintPreview();
    if (frame_.runModal(chooser) != QDialog::Accepted)
        return;
    const QColor chosen = chooser.currentColor();
    if (!chosen.isValid())
        return;
    state.settings.outlineColor = chosen;
    Skin::setOutlineColor(chosen);
    BoardRenderer::RedrawFlags flags;
    flags.rebuildBitmaps = true;
    frame_.renderer().redrawBoard(flags);
}
