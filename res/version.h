#pragma once

#include <QString>

// The program's version, taken from the project's version when it is built: "1.8".
QString programVersion();
// The version as the windows show it, a test release: "1.8 Test".
QString shownVersion();
