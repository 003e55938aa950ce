#pragma once

#include "model/durablefile.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ICursor;
class IMessageBox;
class QIODevice;

// The folder of saved games: per game a picture file (name + ".bmp") and a text file
// (name + ".pzs"), and the index "games.psg" that lists at most ten names in the order they
// were first saved. A game cut on a high-DPI screen also keeps its picture finer (name +
// ".hd.dib", see devicepicture.h): a help for such screens, which the game never needs.
//
// A save under a name is all or nothing. Both files are written and synced beside the game's
// files (".part"), the picture is renamed to ".bmp.new", and the rename of the text to
// ".pzs.new" decides: from then on the new pair is the game of that name, before it the old one.
// The two renames over the game's files follow. Whatever a crash interrupts, settling the name
// (at start, and before each load, save or delete) finishes or undoes it, so every listed name
// reads the old game or the new one. Every name is checked before any file is touched: a name
// that is no file name of this folder (a damaged index) never reaches the file system.
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
    QString devicePicturePath(const QString& name) const;
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

    // Removes its entry (exact comparison) and writes the index, then deletes the game's two
    // files (32821 for a file that exists and cannot be deleted) and whatever an interrupted save
    // of it left. The entry of a bad name goes without touching any file.
    void deleteGame(const QString& name);

    // Writes the game's two files and puts them in place of any earlier ones (see above): true
    // once the new game is safe on the disk; a failure leaves the earlier save as it was.
    // `writeText` writes the text file. The finer picture, when there is one, goes in place once
    // the pair is safe, and the one of an earlier save goes; it fails no save.
    using TextWriter = std::function<bool(QIODevice& device)>;
    bool writeGameFiles(const QString& name, const QImage& picture, const TextWriter& writeText,
                        const QImage& devicePicture = QImage());

    // A save as the save command makes it: the game's files, then the index. False when the game
    // is not safe under its name (its files failed, or a new name could not be listed); the list
    // is then the one the index holds.
    bool save(const QString& name, const QImage& picture, const TextWriter& writeText,
              const QImage& devicePicture = QImage());

    // The files to read for a name, its interrupted save settled first: the game's own files, or
    // where they could not be put in place (a folder one may only read), the pair that decides.
    // Nothing for a bad name.
    struct GameFiles {
        QString picture;
        QString game;
        QString devicePicture; // used only when it belongs to the picture read
    };
    std::optional<GameFiles> gameFiles(const QString& name);
    // Settles every interrupted save in the folder and removes the temporary files of writes
    // that never finished: run once at start.
    void settleAll();

    // The picture writer (writeBitmap unless a test injects another); when it fails the picture
    // is written again as 24 bits per pixel.
    using PictureWriter = std::function<bool(QIODevice& device, const QImage& picture)>;
    void setPictureWriter(PictureWriter writer) { pictureWriter_ = std::move(writer); }
    // A file already on the disk, complete and synced, that holds the picture exactly as the
    // picture writer writes it (the autosave's copy of the game's picture), and its size. A save
    // gives that file a second name instead of writing the picture again, when the file is still
    // whole and on the same file system; otherwise it writes the picture.
    struct PictureOnDisk {
        QString path;
        qint64 size = -1;
        QByteArray fingerprint = {}; // of the file's bytes
    };
    using PictureSource = std::function<std::optional<PictureOnDisk>(const QImage& picture)>;
    void setPictureSource(PictureSource source) { pictureSource_ = std::move(source); }
    // Every step on the disk passes this hook (tests fail or interrupt them; benchmarks skip
    // the syncing).
    void setStepHook(DurableFiles::Hook hook) { stepHook_ = std::move(hook); }

    // A name the player may give a game: not empty, not too long, no path and no character a
    // file name cannot hold (the games must stay readable where the Windows version reads them).
    static bool isValidName(const QString& name);
    // A name as it can be shown whatever it holds: control characters made visible, cut short.
    static QString readableName(const QString& name);
    // How a list shows a name: as it is, or for a name that is no game's (a damaged index)
    // readable and marked as damaged.
    static QString shownName(const QString& name);

private:
    // Finishes or undoes what an interrupted save of the name left (the name is a valid one).
    void settle(DurableFiles& files, const QString& name);

    IMessageBox& messages_;
    ICursor& cursor_;
    QString folder_;
    QStringList names_;
    QStringList indexed_; // the list as the index file last held it
    // Puts the picture at `path`: a link to the file the source names, or a new file; gives the
    // fingerprint of its bytes.
    bool writePicture(DurableFiles& files, const QString& path, const QImage& picture,
                      QByteArray& fingerprint);

    PictureWriter pictureWriter_;
    PictureSource pictureSource_;
    DurableFiles::Hook stepHook_;
};
