#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <optional>

class QFile;

// What stands at a path, a link not followed: only a regular file is a file of ours.
enum class FileKind { Missing, Regular, Other };
FileKind fileKind(const QString& path);

// Which file stands at a path (a link not followed) and how it was last left: two paths with the
// same identity name the same file, unchanged since the identity was taken.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// Nothing for anything but a regular file.
std::optional<FileIdentity> fileIdentity(const QString& path);
// The same for the file open at `fd`.
std::optional<FileIdentity> fileIdentity(int fd);

// Opens `file` (its name set) for reading, with any further `mode` flags, when it is a regular
// file, links followed. Anything else in its place (a pipe, a device, a folder) is refused at
// once: opening a pipe for reading would wait for a writer that never comes.
bool openRegularFile(QFile& file, QIODevice::OpenMode mode = {});

// The steps by which files reach the disk and take their places, each one reported done only
// once it is: a file written is synced before it is closed, and a folder whose entries changed is
// synced when the caller asks. Files are written fresh, never through a link that stood in their
// place. Tests (and the benchmarks) see each step through a hook.
class DurableFiles {
public:
    enum class Step { Write, SyncFile, SyncFolder, Rename, Remove, Link };
    enum class Outcome {
        Go,    // the step is taken
        Fail,  // the step fails and changes nothing
        Crash, // the step is taken, and then nothing more: as if the program were killed after it
        Skip,  // the step is left out and counts as done (what a step costs, in the benchmarks)
    };
    // Asked before each step; a Write step is one piece of `bytes` bytes on its way to the file.
    using Hook = std::function<Outcome(Step step, const QString& path, qint64 bytes)>;
    using Fill = std::function<bool(QIODevice& device)>;

    explicit DurableFiles(Hook hook = {}) : hook_(std::move(hook)) {}

    // Writes a new file at `path` with what `fill` writes, and syncs it. Whatever stood there
    // goes first; a write that fails leaves nothing at the path.
    bool write(const QString& path, const Fill& fill);
    // Renames a file over another in one step of the file system.
    bool rename(const QString& from, const QString& to);
    // Makes `to` a second name of the file `from` (on the same file system), whatever stood at
    // `to` going first. Safe only for files that are never written in place: a file of ours is
    // replaced by a rename, so each name keeps the bytes it had.
    bool link(const QString& from, const QString& to);
    // Removes a file or a link; true when nothing is left at the path.
    bool remove(const QString& path);
    // Puts the folder's entries on the disk: files made, renamed or removed in it stay after a
    // power cut.
    bool syncFolder(const QString& folder);
    // Replaces a file as a whole: written beside it (`path` + partSuffix()) and renamed over it,
    // so a reader finds the old file or the new one, never a part.
    bool replace(const QString& path, const Fill& fill);

    static QString partSuffix() { return QStringLiteral(".part"); }

    // A hook stopped the work as a crash would: every later step does nothing and fails.
    bool stopped() const { return stopped_; }

private:
    class Device;
    // Takes one step as the hook says: true when it was taken and worked, or was skipped.
    bool step(Step step, const QString& path, qint64 bytes, const std::function<bool()>& take);

    Hook hook_;
    bool stopped_ = false;
};
