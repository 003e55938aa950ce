#include "fakes.h"
#include "filebytes.h"
#include "game/autosave.h"
#include "game/playersettings.h"
#include "game/recordstore.h"
#include "game/savedgame.h"
#include "game/savedgamestore.h"
#include "model/picture.h"
#include "res/stringids.h"
#include "res/strings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A pipe in a file's place. A reader that blocks on it is let go after a while by opening the
// other end, and the pipe remembers that it had to.
class Pipe {
public:
    explicit Pipe(const QString& path) : path_(QFile::encodeName(path)) {
        made_ = ::mkfifo(path_.constData(), 0644) == 0;
        watcher_ = std::thread([this] {
            std::unique_lock lock(mutex_);
            if (done_.wait_for(lock, std::chrono::seconds(3), [this] { return finished_; }))
                return;
            // A reader is waiting in open(): a writer that comes and goes releases it.
            const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                blocked_ = true;
                ::close(fd);
            }
        });
    }
    ~Pipe() { release(); }
    bool made() const { return made_; }
    // Whether anything waited on the pipe so far.
    bool blocked() {
        release();
        return blocked_;
    }

private:
    void release() {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        if (watcher_.joinable())
            watcher_.join();
    }

    QByteArray path_;
    bool made_ = false;
    std::atomic<bool> blocked_{false};
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread watcher_;
};

} // namespace

// A pipe in place of any file the program reads (the index of saved games, a saved game's
// picture and text, the autosave's files, the records, the settings) is refused at once, the
// readers that report report it as damaged, and the writers replace it.
TEST(NonRegularFiles, APipeInPlaceOfAnyFileIsReportedNotWaitedOn) {
    QTemporaryDir dir;
    FakeServices fakes;
    SavedGameStore store(fakes.messages, fakes.cursor);
    store.setFolder(dir.path());

    {
        Pipe pipe(store.indexPath());
        ASSERT_TRUE(pipe.made());
        store.readIndex();
        EXPECT_FALSE(pipe.blocked());
        ASSERT_EQ(fakes.messages.shown.size(), 1);
        EXPECT_EQ(fakes.messages.shown[0].text,
                  loadString(Str::BadSavedGamesIndex)
                      .replace(QLatin1String("%s"), QDir::toNativeSeparators(store.indexPath())));
        store.appendName(QStringLiteral("g"));
        EXPECT_TRUE(store.writeIndex()) << "the pipe is replaced";
    }
    for (const QString& path :
         {store.picturePath(QStringLiteral("g")), store.gamePath(QStringLiteral("g"))}) {
        Pipe pipe(path);
        EXPECT_EQ(loadPicture(path).error, PictureError::CannotOpen);
        SavedGame game;
        EXPECT_EQ(readSavedGameFile(path, game), SavedGameError::CannotOpen);
        EXPECT_EQ(AutosaveStore::readNames(path), AutosaveNames{});
        EXPECT_FALSE(pipe.blocked());
        QFile::remove(path);
    }
    {
        RecordStore records;
        records.setFolder(dir.path());
        Pipe pipe(records.path());
        EXPECT_EQ(records.read(), RecordStore::ReadStatus::Damaged);
        EXPECT_TRUE(records.notAFile());
        EXPECT_TRUE(records.write()) << "the pipe holds no times to keep and is replaced";
        EXPECT_FALSE(pipe.blocked());
        EXPECT_EQ(records.read(), RecordStore::ReadStatus::Read);
        EXPECT_FALSE(QFile::exists(records.damagedCopyPath()));
    }
    {
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        Pipe pipe(path);
        SettingsFile file(path);
        PlayerSettings read;
        file.load(read);
        EXPECT_EQ(read, PlayerSettings());
        PlayerSettings changed;
        changed.settings.captureArea = 9;
        EXPECT_TRUE(file.save(changed)) << "replaced, never read";
        EXPECT_FALSE(pipe.blocked());
        file.load(read);
        EXPECT_EQ(read.settings.captureArea, 9);
    }
}

// A records file far beyond what the reader reads (a sparse gigabyte) is kept aside only as
// far as it is read; a settings file beyond what is read is replaced whole when a setting is
// written, and the next start reads it.
TEST(NonRegularFiles, OversizedFilesCostNoMoreThanTheReaderReads) {
    QTemporaryDir dir;
    RecordStore records;
    records.setFolder(dir.path());
    {
        QFile huge(records.path());
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.write("[RECORDS]\n"));
        ASSERT_TRUE(huge.resize(qint64(1) << 30));
    }
    EXPECT_EQ(records.read(), RecordStore::ReadStatus::Damaged);
    ASSERT_TRUE(records.write());
    const QFileInfo copy(records.damagedCopyPath());
    EXPECT_GT(copy.size(), 0);
    EXPECT_LE(copy.size(), RecordStore::maxFileBytes);
    EXPECT_TRUE(readAll(records.damagedCopyPath()).startsWith("[RECORDS]\n"));

    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    {
        QFile huge(path);
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.write("[settings]\ncaptureArea=7\n"));
        ASSERT_TRUE(huge.resize(SettingsFile::maxFileSize * 800));
    }
    SettingsFile file(path);
    PlayerSettings read;
    file.load(read);
    EXPECT_EQ(read, PlayerSettings()) << "too large to be ours";
    PlayerSettings changed;
    changed.settings.captureArea = 8;
    ASSERT_TRUE(file.save(changed));
    EXPECT_LT(QFileInfo(path).size(), SettingsFile::maxFileSize);
    file.load(read);
    EXPECT_EQ(read, changed);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList{RecordStore::damagedFileName(), RecordStore::fileName(),
                           QStringLiteral("settings.ini")}));
}
