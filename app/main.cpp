#include "app/commandline.h"
#include "app/puzzleapp.h"
#include "game/programfolders.h"
#include "res/resources.h"
#include "res/version.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    // The player's folders are named after the program, whatever its file is called.
    QCoreApplication::setApplicationName(ProgramFolders::programName());
    QCoreApplication::setApplicationVersion(programVersion());
    if (const std::optional<int> exitCode = CommandLine::run(argc, argv))
        return *exitCode;

    QApplication app(argc, argv);
    // Desktops find the window's menu entry and icon by it.
    QGuiApplication::setDesktopFileName(ProgramFolders::applicationId());
    // Windows opened before the main one is shown (the question about an interrupted game) carry
    // the program's icon too.
    QApplication::setWindowIcon(QIcon(iconResourcePath(128)));
    // The interface is Russian; Qt's own dialogs (file and colour choosers) follow when the
    // translation is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtTexts);
    CPuzzleApp puzzle;
    if (!puzzle.initInstance())
        return 0;
    return app.exec();
}
