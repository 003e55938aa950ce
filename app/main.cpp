#include "app/puzzleapp.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    CPuzzleApp puzzle;
    if (!puzzle.initInstance())
        return 0;
    return app.exec();
}
