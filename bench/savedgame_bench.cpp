// Saving and loading a game of 10,816 elements (a 5000 x 5000 picture cut at element size 48,
// about 218 MB of text), against creating the same game in the same run: times as ratios to
// creation, and the peak memory of each phase against creation's peak, each measured in a fresh
// process of this program (the highest resident size, reset before the phase where the game is
// made first, minus what the process held before the game existed).
//
//   creation: stretch the loaded picture to the cut (the cut dialog's OK), turn it, generate
//             every element, size and draw the board
//   save:     write the picture file and the text file, as the save command does
//   load:     read both files and check them, build the elements, turn the picture and draw the
//             board (the load command through gameReady)

#include "bench/benchsupport.h"
#include "board/boardhost.h"
#include "board/boardrenderer.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "model/generator.h"
#include "model/picture.h"
#include "model/randomtables.h"
#include "model/services.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

constexpr int kRows = 104, kColumns = 104, kSize = 48; // 5000 / 48 rounded: 104
const QSize kScreen(1024, 768);

// The picture as loaded, 5000 x 5000; the cut stretches it to columns x size by rows x size.
QImage loadedPicture() {
    QImage picture(5000, 5000, QImage::Format_RGB888);
    QPainter p(&picture);
    QLinearGradient g(0, 0, picture.width(), picture.height());
    g.setColorAt(0, QColor(200, 40, 60));
    g.setColorAt(0.5, QColor(240, 220, 80));
    g.setColorAt(1, QColor(30, 120, 220));
    p.fillRect(picture.rect(), g);
    return picture;
}

std::unique_ptr<GameState> freshState() {
    auto state = std::make_unique<GameState>();
    state->screenWidth = kScreen.width();
    state->screenHeight = kScreen.height();
    state->background.loadTexture();
    return state;
}

// Creation as the player runs it: the cut stretches the picture, the worker turns it, then
// generation.
void create(GameState& state, QImage picture) {
    scalePicture(picture, kColumns * kSize, kRows * kSize);
    NullHost host;
    NullSound sound;
    NullCursor cursor;
    FixedClock clock;
    StandardRandom random;
    state.turnedPictures = {std::move(picture), QImage(), QImage(), QImage()};
    buildTurnedPictures(state.turnedPictures);
    BoardRenderer renderer(state, host, sound, cursor);
    GenerationRequest request{kRows, kColumns, kSize, state.cut};
    state.flags.elementsExist = 1;
    Generator(random, clock)
        .generate(request, state.puzzle, state.shapes, state.settings, state.turnedPictures, nullptr);
    const QSize board = boardSizeFor(kColumns, kRows, state.puzzle.geometry.bitmapSize, kScreen, kScreen);
    state.board.resize(board.width(), board.height(), kScreen.width(), kScreen.height());
    renderer.redrawBoard({.clearBackground = true, .playSound = true});
}

// Some blocks, so that membership lines are not all alike.
void joinSome(GameState& state) {
    Puzzle& p = state.puzzle;
    for (int i = 0; i + 1 < p.count(); i += 3) {
        Element& a = p.element(i);
        Element& b = p.element(i + 1);
        if (p.columnOf(i) + 1 >= p.columns || a.orientation != b.orientation)
            continue;
        // Joined where the edges meet in the picture: the right side in the element's turn.
        const int side = (1 + a.orientation) % 4, other = (side + 2) % 4;
        if (a.joinedNeighbour[side] != -1 || b.joinedNeighbour[other] != -1)
            continue;
        a.joinedNeighbour[side] = i + 1;
        b.joinedNeighbour[other] = i;
        a.alone = b.alone = 0;
        p.blocks.merge(i, i + 1);
    }
}

bool save(const GameState& state, const QString& folder) {
    return writeBitmapFile(folder + QStringLiteral("/game.bmp"), state.turnedPictures[0]) &&
           writeSavedGame(folder + QStringLiteral("/game.pzs"), state, 0);
}

// The load command: read and check both files, then install, turn the picture and draw.
bool load(GameState& state, const QString& folder) {
    LoadResult picture = loadPicture(folder + QStringLiteral("/game.bmp"));
    SavedGame game;
    if (!picture.ok() ||
        readSavedGameFile(folder + QStringLiteral("/game.pzs"), game) != SavedGameError::None ||
        !pictureFitsSavedGame(game, picture.picture))
        return false;
    installSavedGame(game, picture.picture, state, kScreen, nullptr);
    picture.picture = QImage();
    game = SavedGame();
    buildTurnedPictures(state.turnedPictures);
    NullHost host;
    NullSound sound;
    NullCursor cursor;
    BoardRenderer(state, host, sound, cursor)
        .redrawBoard(
            {.clearBackground = true, .playSound = true, .rebuildBitmaps = true, .rebuildRegions = true});
    return true;
}

std::map<std::string, double> bestSeconds;
QString folder;

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
void record(const std::string& name, double s) {
    auto [it, fresh] = bestSeconds.emplace(name, s);
    if (!fresh)
        it->second = std::min(it->second, s);
}

void BM_Create(benchmark::State& bs) {
    const QImage picture = loadedPicture();
    for (auto _ : bs) {
        auto state = freshState();
        const auto start = std::chrono::steady_clock::now();
        create(*state, picture);
        record("create", seconds(start));
    }
}

void BM_Save(benchmark::State& bs) {
    auto state = freshState();
    create(*state, loadedPicture());
    joinSome(*state);
    for (auto _ : bs) {
        auto start = std::chrono::steady_clock::now();
        if (!save(*state, folder))
            bs.SkipWithError("save failed");
        record("save", seconds(start));
        start = std::chrono::steady_clock::now();
        writeSavedGame(folder + QStringLiteral("/text-only.pzs"), *state, 0);
        record("save text", seconds(start));
    }
    bs.counters["MB"] = double(QFile(folder + QStringLiteral("/game.pzs")).size()) / 1e6;
}

void BM_Load(benchmark::State& bs) {
    for (auto _ : bs) {
        auto state = freshState();
        const auto start = std::chrono::steady_clock::now();
        if (!load(*state, folder))
            bs.SkipWithError("load failed");
        record("load", seconds(start));
    }
}

long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    return -1;
}

void resetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// One phase in this fresh process: its peak resident size above what the process held before
// the game existed, in KiB.
long peakOf(const std::string& phase, const QString& dir) {
    auto state = freshState();
    const long before = statusKb("VmRSS:");
    resetPeak();
    if (phase == "create") {
        create(*state, loadedPicture());
    } else if (phase == "save") {
        create(*state, loadedPicture());
        joinSome(*state);
        resetPeak(); // the peak of the save alone, with the whole game held
        save(*state, dir);
    } else {
        load(*state, dir);
    }
    return statusKb("VmHWM:") - before;
}

long peakInChild(const char* self, const char* phase) {
    const std::string command = std::string(self) + " --peak " + phase + " " + folder.toStdString();
    long kb = -1;
    if (FILE* child = popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%ld", &kb) != 1)
            kb = -1;
        pclose(child);
    }
    return kb;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc == 4 && std::strcmp(argv[1], "--peak") == 0) {
        std::printf("%ld\n", peakOf(argv[2], QString::fromLocal8Bit(argv[3])));
        return 0;
    }
    QTemporaryDir dir;
    folder = dir.path();
    benchmark::RegisterBenchmark("Create/10816", BM_Create)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("Save/10816", BM_Save)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::RegisterBenchmark("Load/10816", BM_Load)->Unit(benchmark::kMillisecond)->Iterations(2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    const double create = bestSeconds["create"];
    std::printf("\n10816 elements, best of two runs each:\n");
    std::printf("  create %6.2f s\n", create);
    std::printf("  save   %6.2f s  ratio %.2f  (the text file alone %.2f s, ratio %.2f)\n",
                bestSeconds["save"], bestSeconds["save"] / create, bestSeconds["save text"],
                bestSeconds["save text"] / create);
    std::printf("  load   %6.2f s  ratio %.2f\n", bestSeconds["load"], bestSeconds["load"] / create);
    std::fflush(stdout);
    const long createKb = peakInChild(argv[0], "create");
    const long saveKb = peakInChild(argv[0], "save");
    const long loadKb = peakInChild(argv[0], "load");
    std::printf("peak memory: create %.0f MiB; save %.0f MiB, ratio %.2f; load %.0f MiB, ratio %.2f\n",
                createKb / 1024.0, saveKb / 1024.0, double(saveKb) / createKb, loadKb / 1024.0,
                double(loadKb) / createKb);
    return 0;
}
