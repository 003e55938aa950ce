#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>

class ICursor;
class IMessageBox;

// The folder of saved games: per game a picture file (name + ".bmp") and a text file
// (name + ".pzs"), and the index "games.psg" that lists at most ten names in the order they
// were first saved.
class SavedGameStore {
public:
    static constexpr int maxGames = 10;
    static constexpr int maxNameLength = 64;

    SavedGameStore(IMessageBox& messages, ICursor& cursor);

    // The folder, without a trailing slash; "Save" beside the program unless set otherwise.
    // Another folder is another store: the names read from the old one are forgotten.
    void setFolder(const QString& folder) {
        folder_ = folder;
        names_.clear();
        indexed_.clear();
    }
    const QString& folder() const { return folder_; }
    QString indexPath() const;
    QString picturePath(const QString& name) const;
    QString gamePath(const QString& name) const;
    // Creates the folder when it does not exist; a failure shows later as a failed save.
    void ensureFolder() const;

    // Re-reads the index. A missing file leaves the list as it was; a file with a wrong first
    // line is reported (32831) and leaves it as well.
    void readIndex();
    // Writes the list to the index; false when it cannot be written (the old index then stays).
    bool writeIndex();
    const QStringList& names() const { return names_; }
    // Position of the name compared without regard to letter case, or -1.
    int find(const QString& name) const;
    // Adds a name in memory only; the index is written once the game's files are.
    void appendName(const QString& name) { names_.append(name); }
    // Forgets names added in memory since the index was last read or written.
    void revertToIndex() { names_ = indexed_; }

    // Deletes a game's two files (32821 for a file that exists and cannot be deleted), removes
    // its entry (exact comparison) and writes the index.
    void deleteGame(const QString& name);

    // Writes the game's two files beside any earlier ones under temporary names and puts them in
    // place only when both were written completely, so a failed save leaves an earlier save of
    // that name as it was. `writeText` writes the text file to the path it is given.
    bool writeGameFiles(const QString& name, const QImage& picture,
                        const std::function<bool(const QString& path)>& writeText);

    // The picture writer (writeBitmapFile unless a test injects another).
    using PictureWriter = std::function<bool(const QString& path, const QImage& picture)>;
    void setPictureWriter(PictureWriter writer) { pictureWriter_ = std::move(writer); }

    // A name the player may give a game: not empty, not too long, no path and no character a
    // file name cannot hold (the games must stay readable where the Windows version reads them).
    static bool isValidName(const QString& name);

private:
    IMessageBox& messages_;
    ICursor& cursor_;
    QString folder_;
    QStringList names_;
    QStringList indexed_; // the list as the index file last held it
    PictureWriter pictureWriter_;
};
