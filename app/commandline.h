#pragma once

#include <QString>

#include <optional>

class ProgramFolders;

// The options a player or a packager may give on the command line; the game itself needs none.
namespace CommandLine {

// When the arguments ask for a console option (--help, --version, --folders), runs it without
// opening a window and gives the exit code; otherwise gives nothing and the game starts.
std::optional<int> run(int& argc, char** argv);

// What --folders prints: where the program reads its own files and where it keeps the player's.
// False when the help file, the sound or the sample pictures are missing or unreadable.
bool folderReport(const ProgramFolders& folders, QString& report);

} // namespace CommandLine
