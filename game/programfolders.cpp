#include "game/programfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

// The build names these; the defaults serve a build that does not.
#ifndef PUZZLE_PROGRAM_NAME
#define PUZZLE_PROGRAM_NAME "brindlecot-puzzle"
#endif
#ifndef PUZZLE_APPLICATION_ID
#define PUZZLE_APPLICATION_ID "example.brindlecot.puzzle"
#endif
#ifndef PUZZLE_INSTALLED_DATA_PATH
#define PUZZLE_INSTALLED_DATA_PATH "../share/" PUZZLE_PROGRAM_NAME
#endif

namespace {

QString asFolder(const QString& path) {
    QString folder = QDir::cleanPath(path);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

QString ProgramFolders::programName() {
    return QStringLiteral(PUZZLE_PROGRAM_NAME);
}

QString ProgramFolders::applicationId() {
    return QStringLiteral(PUZZLE_APPLICATION_ID);
}

QString ProgramFolders::installedDataPath() {
    return QStringLiteral(PUZZLE_INSTALLED_DATA_PATH);
}

QString ProgramFolders::portableMarker() {
    return QStringLiteral("portable.txt");
}

ProgramFolders::Facts ProgramFolders::systemFacts() {
    Facts facts;
    facts.executableFolder = QCoreApplication::applicationDirPath();
    facts.dataLocation = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    facts.configLocation = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return facts;
}

const ProgramFolders& ProgramFolders::current() {
    static const ProgramFolders folders(systemFacts());
    return folders;
}

ProgramFolders::ProgramFolders(const Facts& facts) {
    const QDir executable(facts.executableFolder);
    const QString besideProgram = asFolder(executable.absolutePath());
    const QString installedData = executable.absoluteFilePath(installedDataPath());
    if (QFileInfo(executable.absoluteFilePath(portableMarker())).isFile()) {
        layout_ = Layout::Portable;
        dataFolder_ = besideProgram;
        playerFolder_ = besideProgram;
        configFolder_ = besideProgram;
        return;
    }
    if (QFileInfo(installedData).isDir()) {
        layout_ = Layout::Installed;
        dataFolder_ = asFolder(installedData);
    } else {
        layout_ = Layout::Unpacked;
        dataFolder_ = besideProgram;
    }
    playerFolder_ = asFolder(facts.dataLocation);
    configFolder_ = asFolder(facts.configLocation);
}
