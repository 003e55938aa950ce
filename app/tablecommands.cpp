#include "app/tablecommands.h"

#include "app/commandtable.h"
#include "board/interaction.h"
#include "board/sorter.h"
#include "board/viewport.h"

void bindTableCommands(CommandTable& commands, Interaction& interaction) {
    commands.setHandler(Cmd::EdgesFirst, [&interaction] { interaction.edgesFirst(); });
    commands.setHandler(Cmd::GatherLoose, [&interaction] { interaction.gatherLoose(); });
    commands.setHandler(Cmd::Hint, [&interaction] { interaction.startHint(); });
    Viewport& view = interaction.viewport();
    commands.setHandler(Cmd::ZoomIn, [&view] { view.zoomIn(); });
    commands.setHandler(Cmd::ZoomOut, [&view] { view.zoomOut(); });
    commands.setHandler(Cmd::ActualSize, [&view] { view.actualSize(); });
    commands.setHandler(Cmd::WholeTable, [&view] { view.toggleWholeTable(); });
}
