#include "app/tablecommands.h"

#include "app/commandtable.h"
#include "board/interaction.h"
#include "board/sorter.h"
#include "board/viewport.h"

void bindTableCommands(CommandTable& commands, Interaction& interaction) {
    Sorter& sorter = interaction.sorter();
    commands.setHandler(Cmd::EdgesFirst, [&sorter] { sorter.edgesFirst(); });
    commands.setHandler(Cmd::GatherLoose, [&sorter] { sorter.gatherLoose(); });
    commands.setHandler(Cmd::Hint, [&interaction] { interaction.startHint(); });
    Viewport& view = interaction.viewport();
    commands.setHandler(Cmd::ZoomIn, [&view] { view.zoomIn(); });
    commands.setHandler(Cmd::ZoomOut, [&view] { view.zoomOut(); });
    commands.setHandler(Cmd::ActualSize, [&view] { view.actualSize(); });
    commands.setHandler(Cmd::WholeTable, [&view] { view.toggleWholeTable(); });
}
