#include "res/version.h"

// The build passes the project's version; a build without it still names a version.
#ifndef PUZZLE_VERSION
#define PUZZLE_VERSION "0"
#endif

QString programVersion() {
    return QStringLiteral(PUZZLE_VERSION);
}

QString shownVersion() {
    return programVersion() + QStringLiteral(" Test");
}
