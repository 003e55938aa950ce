#include "app/commandline.h"

#include "game/autosave.h"
#include "game/programfolders.h"
#include "game/recordstore.h"
#include "model/picture.h"
#include "ui/helpwindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>

#include <cstdio>

namespace {

const char* const kConsoleOptions[] = {"--help", "-h", "--help-all", "--version", "-v", "--folders"};

bool asksForConsole(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : kConsoleOptions)
            if (qstrcmp(argv[i], option) == 0)
                return true;
    return false;
}

QString line(const char* what, const QString& path, const QString& remark = {}) {
    QString text =
        QStringLiteral("%1 %2").arg(QString::fromLatin1(what), -9).arg(QDir::toNativeSeparators(path));
    if (!remark.isEmpty())
        text += QStringLiteral(" (%1)").arg(remark);
    return text + QLatin1Char('\n');
}

// The sample pictures a player would see in the picture dialog, checked as far as their headers.
int readablePictures(const QString& folder) {
    QStringList patterns;
    for (const QString& suffix : readablePictureSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    int count = 0;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Readable)) {
        QImageReader reader(dir.filePath(name));
        reader.setDecideFormatFromContent(true);
        if (reader.size().isValid())
            ++count;
    }
    return count;
}

} // namespace

namespace CommandLine {

bool folderReport(const ProgramFolders& folders, QString& report) {
    static const char* const kLayouts[] = {"portable", "installed", "unpacked"};
    report = line("layout", QString::fromLatin1(kLayouts[int(folders.layout())]));
    report += line("data", folders.dataFolder());

    QString html, error;
    const bool helpOk = HelpFile::read(folders.helpFile(), html, error) &&
                        !HelpFile::topicFromHtml(html, HelpFile::contentsTopic).isEmpty();
    report += line("help", folders.helpFile(), helpOk ? QString() : QStringLiteral("missing"));
    const bool soundOk = QFileInfo(folders.soundFile()).isReadable();
    report += line("sound", folders.soundFile(), soundOk ? QString() : QStringLiteral("missing"));
    const int pictures = readablePictures(folders.picturesFolder());
    report += line("pictures", folders.picturesFolder(),
                   pictures > 0 ? QStringLiteral("%1 pictures").arg(pictures) : QStringLiteral("none"));
    report += line("saves", folders.saveFolder());
    report += line("records", folders.playerFolder() + RecordStore::fileName());
    report += line("autosave", folders.playerFolder() + AutosaveStore::folderName() + QLatin1Char('/'));
    report += line("settings", folders.configFolder());
    return helpOk && soundOk && pictures > 0;
}

std::optional<int> run(int& argc, char** argv) {
    if (!asksForConsole(argc, argv))
        return std::nullopt;
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Puzzle from Brindlecot: a jigsaw-puzzle game."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption foldersOption(
        QStringLiteral("folders"),
        QStringLiteral("Print where the program reads its files and keeps saved games and settings."));
    parser.addOption(foldersOption);
    parser.process(app); // --help, --version and unknown options end here
    QString report;
    const bool complete = folderReport(ProgramFolders::current(), report);
    std::fputs(report.toLocal8Bit().constData(), stdout);
    return complete ? 0 : 1;
}

} // namespace CommandLine
