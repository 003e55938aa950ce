#pragma once

class CommandTable;
class Interaction;

// The commands that act on the table alone: sorting the elements and the view's scale.
void bindTableCommands(CommandTable& commands, Interaction& interaction);
