#include "model/durablefile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

FileKind fileKind(const QString& path) {
    struct stat st {};
    if (::lstat(native(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileKind::Missing : FileKind::Other;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
}

namespace {

std::optional<FileIdentity> identityOf(const struct stat& st) {
    if (!S_ISREG(st.st_mode))
        return std::nullopt;
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                        qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

} // namespace

std::optional<FileIdentity> fileIdentity(const QString& path) {
    struct stat st {};
    if (::lstat(native(path).constData(), &st) != 0)
        return std::nullopt;
    return identityOf(st);
}

std::optional<FileIdentity> fileIdentity(int fd) {
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return std::nullopt;
    return identityOf(st);
}

bool openRegularFile(QFile& file, QIODevice::OpenMode mode) {
    // Opened without waiting, then looked at: a pipe opened this way returns at once.
    const int fd = ::open(native(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        !file.open(fd, QIODevice::ReadOnly | mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// A file whose every write passes the hook.
class DurableFiles::Device : public QFile {
public:
    Device(DurableFiles& files, const QString& path) : QFile(path), files_(files), path_(path) {}

protected:
    qint64 writeData(const char* data, qint64 size) override {
        // The path as given: a file opened from its handle no longer knows its name.
        const bool written =
            files_.step(Step::Write, path_, size, [&] { return QFile::writeData(data, size) == size; });
        return written ? size : -1;
    }

private:
    DurableFiles& files_;
    QString path_;
};

bool DurableFiles::step(Step s, const QString& path, qint64 bytes, const std::function<bool()>& take) {
    if (stopped_)
        return false;
    const Outcome outcome = hook_ ? hook_(s, path, bytes) : Outcome::Go;
    if (outcome == Outcome::Fail)
        return false;
    if (outcome == Outcome::Skip)
        return true;
    const bool worked = take();
    if (outcome == Outcome::Crash)
        stopped_ = true;
    return worked && !stopped_;
}

bool DurableFiles::write(const QString& path, const Fill& fill) {
    // A link or a leftover in the file's place goes; the new file is made, never opened through it.
    if (!remove(path))
        return false;
    const int fd =
        ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    Device file(*this, path);
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        ::unlink(native(path).constData());
        return false;
    }
    bool ok = fill(file) && file.flush();
    ok = ok && step(Step::SyncFile, path, 0, [fd] { return ::fsync(fd) == 0; });
    file.close();
    ok = ok && file.error() == QFileDevice::NoError;
    if (!ok && !stopped_)
        ::unlink(native(path).constData());
    return ok;
}

bool DurableFiles::rename(const QString& from, const QString& to) {
    return step(Step::Rename, to, 0,
                [&] { return ::rename(native(from).constData(), native(to).constData()) == 0; });
}

bool DurableFiles::link(const QString& from, const QString& to) {
    return remove(to) && step(Step::Link, to, 0,
                              [&] { return ::link(native(from).constData(), native(to).constData()) == 0; });
}

bool DurableFiles::remove(const QString& path) {
    return step(Step::Remove, path, 0, [&] {
        return ::unlink(native(path).constData()) == 0 || errno == ENOENT || errno == ENOTDIR;
    });
}

bool DurableFiles::syncFolder(const QString& folder) {
    return step(Step::SyncFolder, folder, 0, [&] {
        const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool synced = ::fsync(fd) == 0;
        ::close(fd);
        return synced;
    });
}

bool DurableFiles::replace(const QString& path, const Fill& fill) {
    const QString part = path + partSuffix();
    if (write(part, fill) && rename(part, path) && syncFolder(QFileInfo(path).absolutePath()))
        return true;
    if (!stopped_)
        remove(part);
    return false;
}
