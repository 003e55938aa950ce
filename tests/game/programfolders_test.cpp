#include "game/programfolders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A fake machine: an executable folder laid out as a build folder, a portable copy or an
// installation, and the player's folders as the system would name them.
class ProgramFoldersTest : public testing::Test {
protected:
    QTemporaryDir root;

    QString path(const QString& relative) const { return QDir::cleanPath(root.filePath(relative)); }
    void makeFolder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }
    void makeFile(const QString& relative) {
        QFile file(path(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    // An installation under `prefix`: the executable in bin/, the program's files where the
    // build tells the executable to look for them.
    QString install(const QString& prefix) {
        const QString bin = prefix + QStringLiteral("/bin");
        makeFolder(bin);
        const QString data = QDir(path(bin)).absoluteFilePath(ProgramFolders::installedDataPath());
        EXPECT_TRUE(QDir().mkpath(data));
        return bin;
    }
    ProgramFolders::Facts facts(const QString& executableFolder, const QString& home) const {
        return {path(executableFolder), path(home + QStringLiteral("/.local/share/brindlecot-puzzle")),
                path(home + QStringLiteral("/.config/brindlecot-puzzle"))};
    }
};

TEST_F(ProgramFoldersTest, BuildFolderKeepsEverythingBesideTheProgram) {
    makeFolder(QStringLiteral("build/pictures"));
    makeFile(QStringLiteral("build/") + ProgramFolders::portableMarker());
    const ProgramFolders folders(facts(QStringLiteral("build"), QStringLiteral("home/ann")));
    EXPECT_EQ(folders.layout(), ProgramFolders::Layout::Portable);
    const QString build = path(QStringLiteral("build")) + QLatin1Char('/');
    EXPECT_EQ(folders.dataFolder(), build);
    EXPECT_EQ(folders.helpFile(), build + QStringLiteral("quix.hlp"));
    EXPECT_EQ(folders.soundFile(), build + QStringLiteral("congratu.wav"));
    EXPECT_EQ(folders.picturesFolder(), build + QStringLiteral("pictures"));
    EXPECT_EQ(folders.saveFolder(), build + QStringLiteral("Save"));
    EXPECT_EQ(folders.playerFolder(), build);
    EXPECT_EQ(folders.configFolder(), build);
}

// Any prefix and any staging root: the program's files are found from the executable alone, and
// the player's files go to the player's folders, never beside the executable, whether the
// executable's folder is writable (as it is for root) or not.
TEST_F(ProgramFoldersTest, InstalledProgramReadsFromShareAndKeepsThePlayersFilesAtHome) {
    for (const QString& prefix :
         {QStringLiteral("usr"), QStringLiteral("stage/tmp/opt/puzzle"), QStringLiteral("usr/local")}) {
        const QString bin = install(prefix);
        for (const QString& home : {QStringLiteral("home/ann"), QStringLiteral("root")}) {
            for (const bool readOnly : {false, true}) {
                QFile::setPermissions(path(bin),
                                      readOnly ? QFile::ReadOwner | QFile::ExeOwner
                                               : QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                const ProgramFolders folders(facts(bin, home));
                const std::string where = (prefix + QLatin1Char(' ') + home).toStdString();
                EXPECT_EQ(folders.layout(), ProgramFolders::Layout::Installed) << where;
                EXPECT_EQ(folders.dataFolder(),
                          path(prefix + QStringLiteral("/share/brindlecot-puzzle/")) + QLatin1Char('/'))
                    << where;
                EXPECT_EQ(folders.saveFolder(),
                          path(home + QStringLiteral("/.local/share/brindlecot-puzzle/Save")))
                    << where;
                EXPECT_EQ(folders.configFolder(),
                          path(home + QStringLiteral("/.config/brindlecot-puzzle")) + QLatin1Char('/'))
                    << where;
                EXPECT_FALSE(folders.saveFolder().startsWith(path(bin))) << where;
                EXPECT_FALSE(folders.configFolder().startsWith(path(bin))) << where;
            }
        }
        QFile::setPermissions(path(bin), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

TEST_F(ProgramFoldersTest, MarkerMakesAnyFolderPortableAndOnlyTheMarker) {
    const QString bin = install(QStringLiteral("usb/puzzle"));
    // Saved games beside an installed program are not enough to make it portable.
    makeFolder(bin + QStringLiteral("/Save"));
    EXPECT_EQ(ProgramFolders(facts(bin, QStringLiteral("home/ann"))).layout(),
              ProgramFolders::Layout::Installed);

    makeFile(bin + QStringLiteral("/") + ProgramFolders::portableMarker());
    const ProgramFolders folders(facts(bin, QStringLiteral("home/ann")));
    EXPECT_EQ(folders.layout(), ProgramFolders::Layout::Portable);
    EXPECT_EQ(folders.saveFolder(), path(bin + QStringLiteral("/Save")));

    // A folder by the marker's name is no marker.
    makeFolder(QStringLiteral("odd/") + ProgramFolders::portableMarker());
    EXPECT_EQ(ProgramFolders(facts(QStringLiteral("odd"), QStringLiteral("home/ann"))).layout(),
              ProgramFolders::Layout::Unpacked);
}

TEST_F(ProgramFoldersTest, LoneExecutableLooksBesideItselfButSavesAtHome) {
    makeFolder(QStringLiteral("downloads"));
    const ProgramFolders folders(facts(QStringLiteral("downloads"), QStringLiteral("home/ann")));
    EXPECT_EQ(folders.layout(), ProgramFolders::Layout::Unpacked);
    EXPECT_EQ(folders.helpFile(), path(QStringLiteral("downloads/quix.hlp")));
    EXPECT_EQ(folders.saveFolder(), path(QStringLiteral("home/ann/.local/share/brindlecot-puzzle/Save")));
}

} // namespace
