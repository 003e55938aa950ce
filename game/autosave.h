#pragma once

#include "game/savedgame.h"
#include "game/savedgameflow.h"
#include "game/savedgamestore.h"
#include "model/durablefile.h"

#include <QImage>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <optional>

class IClock;
struct GameState;

// The names shown with a game that are not part of its files: the saved game it was loaded
// from and the picture file it was cut from.
struct AutosaveNames {
    QString gameName;
    QString pictureName;

    friend bool operator==(const AutosaveNames&, const AutosaveNames&) = default;
};

// The folder of the game kept for the next run, apart from the ten named games. The picture of a
// game is written once, as a file of its own ("picture-<n>.bmp"); each write of the game's state
// makes a complete generation in a folder of its own ("<n>/": game.pzs in the compact form,
// names.txt, and picture.txt naming the picture file with its fingerprint), written under a
// temporary name and made visible with one rename of that folder; the newest numbered folder is
// the autosave. A game cut on a high-DPI screen keeps its finer picture once as well, beside its
// picture file ("picture-<n>.hd.dib", naming that file's fingerprint). A write that fails anywhere before the
// rename leaves the previous generation as the newest one, with its picture; a picture file is removed only
// once no generation names it, and a restore checks the fingerprint, so a game's state never meets another
// game's picture.
class AutosaveStore {
public:
    struct Files {
        QString picture;
        QString game;
        QString names;
        // What the picture file must be: empty for a generation of an earlier version, which kept
        // its picture beside its text (game.bmp).
        QByteArray pictureFingerprint;
        // The finer picture that may belong to it (see devicepicture.h); empty with no fingerprint.
        QString devicePicture;
    };
    // A picture file of the folder as a generation names it.
    struct PictureFile {
        QString name; // "picture-<n>.bmp"
        QByteArray fingerprint;

        friend bool operator==(const PictureFile&, const PictureFile&) = default;
    };

    // The folder's name in the player's data folder.
    static QString folderName() { return QStringLiteral("Autosave"); }

    explicit AutosaveStore(QString folder = {}) : folder_(std::move(folder)) {}
    const QString& folder() const { return folder_; }

    // The newest complete generation, if any.
    std::optional<Files> latest() const;
    // Writes a new generation and, once it is in place, removes the older ones and the pictures
    // no longer named. The picture is `kept` when that is the file this very picture was written
    // to before and it is still there, otherwise a new picture file. Returns the picture file the
    // generation names; nothing when the write failed. Safe to run on another thread while the
    // game goes on: it reads only what it is given.
    std::optional<PictureFile> write(const SavedGame& game, const QImage& picture, const AutosaveNames& names,
                                     const std::optional<PictureFile>& kept = std::nullopt,
                                     const QImage& devicePicture = QImage()) const;
    // The size of a picture file of the folder.
    qint64 pictureSize(const PictureFile& picture) const;
    std::optional<FileIdentity> pictureIdentity(const PictureFile& picture) const;
    // Removes every generation, any unfinished one and every picture.
    void discard() const;

    // Reads the names written beside a game; wrong or missing lines read as empty.
    static AutosaveNames readNames(const QString& path);

    // Tests: the disk takes this many more bytes per write() and then refuses (negative: no limit).
    void setDiskLimit(qint64 bytes) { diskLimit_ = bytes; }
    // Tests and benchmarks: every step on the disk passes this hook (after the disk limit).
    void setStepHook(DurableFiles::Hook hook) { stepHook_ = std::move(hook); }

private:
    QString folder_;
    qint64 diskLimit_ = -1;
    DurableFiles::Hook stepHook_;
};

// When the background write may run: not before `interval` seconds have passed since the last
// one began, and only when the game differs from what was last written.
class AutosaveSchedule {
public:
    static constexpr std::int64_t defaultInterval = 180;

    explicit AutosaveSchedule(std::int64_t interval = defaultInterval) : interval_(interval) {}
    bool due(std::int64_t now) const { return !last_ || now - *last_ >= interval_ || now < *last_; }
    void started(std::int64_t now) { last_ = now; }
    std::int64_t interval() const { return interval_; }

private:
    std::int64_t interval_;
    std::optional<std::int64_t> last_;
};

// Keeps the game under way in the autosave: refreshed in the background while playing, written at
// once when the program ends, removed when the game is over. One running copy of the program owns
// the autosave (a lock file); another copy leaves it alone.
class Autosave : public QObject {
    Q_OBJECT
public:
    // How often the background check looks (the schedule decides whether to write).
    static constexpr int checkMilliseconds = 20000;
    // How often it looks for a new game, whose first write is not held back by the schedule.
    static constexpr int pictureCheckMilliseconds = 2000;

    Autosave(GameState& state, IClock& clock);
    ~Autosave() override;

    // How this run may use the folder.
    enum class Access {
        None,      // no folder asked for, or none to be had
        Owned,     // this run holds the lock: it offers, writes and removes the autosave
        ReadOnly,  // the lock cannot be made (a folder one may only read): the autosave is offered
        Elsewhere, // another running copy holds the lock: its game is neither offered nor touched
    };

    // Uses the folder and takes its lock; false (and inert, apart from offering what a read-only
    // folder holds) when it cannot.
    bool open(const QString& folder);
    bool isOpen() const { return lock_ != nullptr; }
    Access access() const { return access_; }
    AutosaveStore& store() { return store_; }
    AutosaveSchedule& schedule() { return schedule_; }
    // Whether the game is in full-screen mode (a saved game records it).
    void setFullScreenProbe(std::function<int()> probe) { fullScreen_ = std::move(probe); }
    // While this says so the background refresh waits: a game half made or half loaded is no
    // game to keep.
    void setHoldBack(std::function<bool()> holdBack) { holdBack_ = std::move(holdBack); }

    // The game an earlier run left; nothing once tracking began.
    std::optional<AutosaveStore::Files> interrupted() const;
    // The game on the board was just restored from these files: they hold it already, and its
    // picture file serves the writes to come.
    void continueFrom(const AutosaveStore::Files& files);
    // From now on the autosave follows the game on the board: the background refresh starts.
    // Until then an earlier run's autosave is left as it is.
    void startTracking();
    bool tracking() const { return tracking_; }

    // The program ends: a game under way is written at once (after any background write), and
    // without one the autosave goes; a game half made leaves it as it is. False when a game under
    // way cannot be kept: it could not be written, or the folder asked for cannot be used.
    bool writeNow();
    // The game was finished or given up: nothing is left to continue.
    void discard();
    // The background step: starts a write on another thread when one is due and the game changed.
    // Returns true when it started one.
    bool refresh();
    // Waits for a background write (tests, and before anything else touches the folder).
    void waitForWrite();
    // The picture file the autosave wrote for this very picture, complete and synced, with its
    // size; a write of it under way is waited for, being further along than a new one would be.
    // Nothing when there is none (no autosave in this run, or another picture).
    std::optional<SavedGameStore::PictureOnDisk> pictureOnDisk(const QImage& picture);
    // The picture of the game on the board when `path` names the very file the autosave wrote it
    // to (a saved game links it), as it was written: reading that file would give back these
    // pixels. A null picture otherwise.
    SavedGameFlow::KnownPicture pictureAt(const QString& path);
    int writesStarted() const { return writesStarted_; }

private:
    // A game as handed to the writer: its play, its picture (known by its cache key) and its
    // names; once written, the picture file that holds the picture.
    struct Kept {
        std::shared_ptr<const SavedGame> game;
        qint64 picture = 0;
        AutosaveNames names;
        std::optional<AutosaveStore::PictureFile> pictureFile;
        qint64 pictureBytes = -1;                                   // the picture file's size
        std::optional<FileIdentity> pictureIdentity = std::nullopt; // and which file it is, as written
    };
    bool gameUnderWay() const;
    Kept current() const;
    bool sameAsWritten(const Kept& game) const;
    // The picture file written for the game's picture, when there is one.
    std::optional<AutosaveStore::PictureFile> writtenPicture(const Kept& game) const;
    // The game on the board has a picture that no file holds yet, nor a write under way.
    bool pictureUnwritten() const;
    void collectWrite();

    GameState& state_;
    IClock& clock_;
    AutosaveStore store_;
    AutosaveSchedule schedule_;
    std::unique_ptr<QLockFile> lock_;
    Access access_ = Access::None;
    bool wanted_ = false; // open() was asked for a folder
    std::function<int()> fullScreen_;
    std::function<bool()> holdBack_;
    QTimer timer_;
    bool tracking_ = false;
    int writesStarted_ = 0;
    // The background write; it gives back the game once that is on the disk.
    std::future<std::optional<Kept>> writing_;
    qint64 writingPicture_ = 0; // the picture of the game being written
    qint64 pictureTried_ = 0;   // the last picture a write was started for
    qint64 pictureSeen_ = 0;    // the unwritten picture the last look found
    // Looks often for a game whose picture has no file yet, so a save soon finds one.
    QTimer pictureTimer_;
    // What the autosave on disk holds, to tell whether the game changed since.
    std::optional<Kept> written_;
};

// Whether two games hold the same play, whatever their clocks say.
bool samePlay(const SavedGame& a, const SavedGame& b);
