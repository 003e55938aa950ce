#pragma once

#include <QString>

// Where the program finds its own files and where it keeps the player's.
//
// Three layouts, decided once at start-up from where the executable lies:
// - Portable: the folder of the executable holds the marker file "portable.txt" (the build folder
//   always has one). Everything stays beside the program, as it always has: the help file, the
//   sound, the sample pictures, the folder "Save" and the settings.
// - Installed: the program's files lie in <prefix>/share/<program>/, found relative to the
//   executable, so that any prefix or staging root works. The player's files go to the player's
//   own folders (QStandardPaths), never beside the executable: that folder belongs to the system,
//   and root could write there, which is exactly why writability decides nothing here.
// - Unpacked: neither marked nor installed (an executable copied somewhere on its own). The
//   program's files are looked for beside it; the player's files go to the player's folders.
class ProgramFolders {
public:
    enum class Layout { Portable, Installed, Unpacked };

    // What the choice reads from the system. Tests fill it in with folders of their own.
    struct Facts {
        QString executableFolder; // the folder of the running executable
        QString dataLocation;     // the player's data folder for this program (AppDataLocation)
        QString configLocation;   // the player's settings folder for this program (AppConfigLocation)
    };

    // The name of the program as installed: the executable, its data folder under share/ and the
    // application name the player's folders are named after.
    static QString programName();
    // The desktop entry's and AppStream's id.
    static QString applicationId();
    // Where an installed executable finds the program's files, relative to its own folder.
    static QString installedDataPath();
    // The marker file that makes a folder portable.
    static QString portableMarker();

    // The facts of the running program. The application name must be set first, as main() does.
    static Facts systemFacts();
    // The folders of the running program, chosen from its facts at the first call.
    static const ProgramFolders& current();

    explicit ProgramFolders(const Facts& facts);

    Layout layout() const { return layout_; }
    // Folders end in '/', as the program folder always has; files and the store do not.
    // The program's own files, only read: the help file, the sound and the sample pictures.
    const QString& dataFolder() const { return dataFolder_; }
    QString helpFile() const { return dataFolder_ + QStringLiteral("quix.hlp"); }
    QString soundFile() const { return dataFolder_ + QStringLiteral("congratu.wav"); }
    QString picturesFolder() const { return dataFolder_ + QStringLiteral("pictures"); }
    // The player's files: saved games and anything else kept for the player between runs.
    const QString& playerFolder() const { return playerFolder_; }
    // The saved-games store.
    QString saveFolder() const { return playerFolder_ + QStringLiteral("Save"); }
    // Where the program keeps its settings.
    const QString& configFolder() const { return configFolder_; }

private:
    Layout layout_ = Layout::Unpacked;
    QString dataFolder_;
    QString playerFolder_;
    QString configFolder_;
};
