#pragma once

#include "game/savedgame.h"
#include "game/savedgamestore.h"
#include "model/picturereserve.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <future>
#include <optional>
#include <vector>

class GameFlow;
class IClock;
class ICursor;
class IMessageBox;
class IProgress;
struct GameState;

// The rules of saving and loading games; the dialogs, the preview and the picture-turning worker
// stay with the caller, which runs the steps in order.
class SavedGameFlow {
public:
    SavedGameFlow(GameState& state, GameFlow& gameFlow, IMessageBox& messages, IClock& clock,
                  ICursor& cursor);

    SavedGameStore& store() { return store_; }

    // The save command may run: a game is under way.
    bool canSave() const;
    // Saves the current game under a name chosen in the save dialog: folds the running clock into
    // the carried time, writes both files and the index. A failure is reported (32826), takes
    // the name out of the list again and leaves an earlier save of that name as it was.
    bool save(const QString& name, int fullScreen);

    // The load command before its dialog: true when no game is under way or the player agreed to
    // give it up. The game stays on the table until the chosen game has been read.
    bool confirmLoading();

    // A saved game read completely and checked, with its picture.
    struct Loaded {
        QString name;
        SavedGame game;
        QImage picture;
        QImage devicePicture;                 // null when the game kept none that belongs to its picture
        std::shared_ptr<BuiltElements> built; // its elements when built ahead; install takes them
    };
    // Reads a game's picture and text file. A failure is reported (32824 for an unreadable
    // picture or a file of unknown format, 32825 for a damaged one, 32922 for an entry that is no
    // game's name) and changes nothing.
    std::optional<Loaded> read(const QString& name);
    // The same for a game's files wherever they lie (the autosave); `name` is the name it had.
    // With `pictureFingerprint`, the picture file must have it, or the game is refused as
    // damaged (32825): its state belongs to another picture. The finer picture at
    // `devicePicturePath` is taken when it belongs to the picture read; without it the game
    // loads all the same.
    std::optional<Loaded> readFiles(const QString& picturePath, const QString& gamePath, const QString& name,
                                    const QByteArray& pictureFingerprint = {},
                                    const QString& devicePicturePath = {});
    // The picture already in memory that a picture file holds, with the file's fingerprint, when
    // that is known for certain (the file the game under way's picture was written to,
    // unchanged): loading the game over itself then reads only its text. A null picture when
    // not known.
    struct KnownPicture {
        QImage picture;
        QByteArray fingerprint;
    };
    using KnownPictures = std::function<KnownPicture(const QString& path)>;
    void setKnownPictures(KnownPictures known) { knownPicture_ = std::move(known); }
    // While the player chooses the game to read (the load dialog's selection, the question that
    // offers the interrupted game), its picture's pixels are made ready on another thread, so
    // that the read only copies the file into them. Nothing is made ready for a picture already
    // in memory (a game loaded over itself) or a small one; read and readFiles use what was made
    // ready and then give it up, as releaseReserve does when the player chooses nothing.
    // The game's text file (a compact one, or a small one) is read ahead there too, and its
    // elements are built from it.
    void prepareToRead(const QString& name);
    void prepareToReadFiles(const QString& picturePath, const QString& gamePath = {});
    void releaseReserve();
    QSize reservedSize() const { return reserve_.size(); }
    // Replaces the current game by the loaded one; the caller then has the picture turned (when
    // elements turn) and calls gameReady.
    void install(const Loaded& loaded, QSize fullScreenClient, IProgress* progress);

    // Number of saved games, the index read afresh (the load command's enabling rule).
    int savedGameCount();

private:
    QString formatted(int stringId, const QString& path) const;
    // The text read ahead for this file, when it is still the file that was read.
    std::optional<SavedGameText> takeTextAhead(const QString& gamePath);
    void dropTextAhead();
    // Text files up to this size are read ahead: a few tens of milliseconds on another thread.
    static constexpr qint64 textAheadBytes = 32ll << 20;

    GameState& state_;
    GameFlow& gameFlow_;
    IMessageBox& messages_;
    IClock& clock_;
    ICursor& cursor_;
    SavedGameStore store_;
    KnownPictures knownPicture_;
    PictureReserve reserve_;
    struct TextAhead {
        QString path;
        std::optional<FileIdentity> identity;
        std::future<std::optional<SavedGameText>> text; // nothing when the file changed meanwhile
    };
    std::optional<TextAhead> textAhead_;
    // Reads given up and perhaps still running: kept, so that choosing another game never waits.
    std::vector<std::future<std::optional<SavedGameText>>> givenUp_;
};
