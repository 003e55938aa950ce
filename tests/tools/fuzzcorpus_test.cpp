// A short replay of the fuzzers' seed files through the very checks the fuzzers run, so that
// what they promise holds in every ordinary build (the fuzzers themselves need clang).

#include "tools/fuzzpicture/pictureentry.h"
#include "tools/fuzzsavedgame/savedgameentry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

template <class Check> int replay(const char* folder, Check check) {
    const QDir dir(QStringLiteral(PUZZLE_SOURCE_DIR "/") + QLatin1String(folder));
    int files = 0;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const char* problem = check(file.readAll());
        EXPECT_EQ(problem, nullptr) << name.toStdString() << ": " << (problem ? problem : "");
        ++files;
    }
    return files;
}

TEST(FuzzSeeds, PictureSeedsKeepTheLoadersPromises) {
    EXPECT_GE(replay("tools/fuzzpicture/corpus", fuzzpicture::checkInput), 20);
}

TEST(FuzzSeeds, SavedGameSeedsKeepTheReadersPromises) {
    EXPECT_GE(replay("tools/fuzzsavedgame/corpus", fuzzsavedgame::checkInput), 40);
}

} // namespace
