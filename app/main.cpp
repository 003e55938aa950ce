#include "app/puzzleapp.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
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
