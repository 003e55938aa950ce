// Saving and loading a game of 10,816 elements (a 5000 x 5000 picture cut at element size 48:
// about 118 MB of text beside a 100 MB picture file), against creating the same game in the same
// run: times as ratios to creation, and the peak memory of each phase against creation's peak,
// each measured in a fresh process of this program (the highest resident size, reset before the
// phase where the game is made first, minus what the process held before the game existed).
//
//   creation: load the 5000 x 5000 picture file, stretch it to the cut (the cut dialog's OK),
//             generate every element, size the board and paint the window
//   save:     write the picture file and the text file (the text file alone is shown beside it)
//   store:    the save command's replace of a saved game through the store: both files written
//             and synced beside the earlier pair, renamed into place, the folder synced; and the
//             same with every sync left out, which tells what the syncing costs
//   load:     read both files and check them, build the elements and paint the window (the
//             load command through gameReady)
//
// Then the largest printed jigsaw, 54,000 elements (180 x 300 at element size 48), in the compact
// form: saving both files, reading and checking them as loading does before it builds anything,
// and the load dialog's summary (--benchmark_filter=54000 runs these alone).
//
// Dirty pages are written out before every timed run, so each starts from the same state of the
// page cache; the spread of the runs is printed as the machine's noise.

#include "bench/benchsupport.h"
#include "board/boardhost.h"
#include "board/boardrenderer.h"
#include "game/gamestate.h"
#include "game/savedgame.h"
#include "game/savedgamestore.h"
#include "game/savedgamesummary.h"
#include "model/generator.h"
#include "model/bmpreader.h"
#include "model/picture.h"
#include "model/picturereserve.h"
#include "model/randomtables.h"
#include "model/services.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <map>
#include <optional>
#include <thread>
#include <vector>
#include <string>

namespace {

std::map<std::string, std::vector<double>> runs;
double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
void record(const std::string& name, double s) {
    runs[name].push_back(s);
}
double best(const std::string& name) {
    const auto& r = runs[name];
    return r.empty() ? 0 : *std::min_element(r.begin(), r.end());
}
double worst(const std::string& name) {
    const auto& r = runs[name];
    return r.empty() ? 0 : *std::max_element(r.begin(), r.end());
}

constexpr int kRows = 104, kColumns = 104, kSize = 48; // 5000 / 48 rounded: 104
const QSize kScreen(1024, 768);

// The picture the player loads, 5000 x 5000, written once as a bitmap file.
void writeSourcePicture(const QString& path) {
    QImage picture(5000, 5000, QImage::Format_RGB32);
    QPainter p(&picture);
    QLinearGradient g(0, 0, picture.width(), picture.height());
    g.setColorAt(0, QColor(200, 40, 60));
    g.setColorAt(0.5, QColor(240, 220, 80));
    g.setColorAt(1, QColor(30, 120, 220));
    p.fillRect(picture.rect(), g);
    p.end();
    writeBitmapFile(path, picture);
}

std::unique_ptr<GameState> freshState() {
    auto state = std::make_unique<GameState>();
    state->screenWidth = kScreen.width();
    state->screenHeight = kScreen.height();
    state->background.loadTexture();
    return state;
}

// gameReady and the first paint of the window, at 100 % from the board's origin.
void paintWindow(GameState& state, BoardRenderer& renderer) {
    state.board.setView(kScreen, 1.0);
    renderer.redrawBoard({.clearBackground = true, .playSound = true});
    QImage window(kScreen, QImage::Format_RGB32);
    QPainter painter(&window);
    renderer.paint(painter, QRegion(window.rect()));
}

// Creation as the player runs it: the picture is loaded, the cut stretches it, the worker turns
// it, then generation.
bool create(GameState& state, const QString& folder) {
    NullHost host;
    NullSound sound;
    NullCursor cursor;
    FixedClock clock;
    StandardRandom random;
    QImage picture = loadPicture(folder + QStringLiteral("/source.bmp")).picture;
    if (!scalePicture(picture, kColumns * kSize, kRows * kSize))
        return false;
    state.picture = std::move(picture);
    BoardRenderer renderer(state, host, sound, cursor);
    GenerationRequest request{kRows, kColumns, kSize, state.cut};
    Generator(random, clock).generate(request, state.puzzle, state.shapes, state.settings, nullptr);
    const QSize board = boardSizeFor(kColumns, kRows, state.puzzle.geometry.bitmapSize, kScreen, kScreen);
    state.board.resize(board.width(), board.height(), kScreen.width(), kScreen.height());
    paintWindow(state, renderer);
    return true;
}

// Some blocks, so that membership lines are not all alike: pairs joined on complementary sides,
// as tolerant assembly joins them.
void joinSome(GameState& state) {
    Puzzle& p = state.puzzle;
    for (int i = 0; i + 1 < p.count(); i += 3) {
        Element& a = p.element(i);
        Element& b = p.element(i + 1);
        if (a.orientation != b.orientation)
            continue; // the same pairs as ever, so that the figures stay comparable between runs
        for (int side = 0; side < 4; ++side) {
            const int other = (side + 2) % 4;
            if (a.edgeSign[side] == 0 || a.edgeSign[side] != -b.edgeSign[other] ||
                a.edgeShift[side] != -b.edgeShift[other] || a.joinedNeighbour[side] != -1 ||
                b.joinedNeighbour[other] != -1)
                continue;
            a.joinedNeighbour[side] = i + 1;
            b.joinedNeighbour[other] = i;
            p.blocks.merge(i, i + 1);
            break;
        }
    }
}

bool save(const GameState& state, const QString& folder) {
    return writeBitmapFile(folder + QStringLiteral("/game.bmp"), state.picture) &&
           writeSavedGame(folder + QStringLiteral("/game.pzs"), state, 0);
}

class NullMessages : public IMessageBox {
public:
    int messageBox(const QString&, MessageKind, int) override { return MessageResult::Yes; }
    bool askStandardYesNo(const QString&, const QString&) override { return true; }
};

// A save under a listed name, as the save command makes it; `sync` false leaves the syncs out.
bool storeSave(const GameState& state, const QString& folder, bool sync) {
    NullMessages messages;
    NullCursor cursor;
    SavedGameStore store(messages, cursor);
    store.setFolder(folder);
    if (!sync)
        store.setStepHook([](DurableFiles::Step step, const QString&, qint64) {
            return step == DurableFiles::Step::SyncFile || step == DurableFiles::Step::SyncFolder
                       ? DurableFiles::Outcome::Skip
                       : DurableFiles::Outcome::Go;
        });
    store.readIndex();
    if (store.find(QStringLiteral("game")) < 0)
        store.appendName(QStringLiteral("game"));
    return store.save(QStringLiteral("game"), state.picture,
                      [&state](QIODevice& device) { return writeSavedGameTo(device, state, 0); });
}

// The load command: read and check both files, build the elements; then gameReady draws the
// window.
bool load(GameState& state, const QString& folder) {
    auto t = std::chrono::steady_clock::now(); // the parts are printed too
    SavedGameFiles files =
        readSavedGameFiles(folder + QStringLiteral("/game.bmp"), folder + QStringLiteral("/game.pzs"));
    record("  read and check both files", seconds(t));
    t = std::chrono::steady_clock::now();
    if (!files.picture.ok() || files.error != SavedGameError::None ||
        !pictureFitsSavedGame(files.game, files.picture.picture))
        return false;
    installSavedGame(files.game, files.picture.picture, state, kScreen, nullptr);
    record("  build the elements", seconds(t));
    t = std::chrono::steady_clock::now();
    files = SavedGameFiles();
    NullHost host;
    NullSound sound;
    NullCursor cursor;
    BoardRenderer renderer(state, host, sound, cursor);
    paintWindow(state, renderer);
    record("  draw the window", seconds(t));
    return true;
}

QString folder;

void BM_Create(benchmark::State& bs) {
    for (auto _ : bs) {
        auto state = freshState();
        sync();
        const auto start = std::chrono::steady_clock::now();
        if (!create(*state, folder))
            bs.SkipWithError("creation failed");
        record("create", seconds(start));
    }
}

void BM_Save(benchmark::State& bs) {
    auto state = freshState();
    create(*state, folder);
    joinSome(*state);
    for (auto _ : bs) {
        sync();
        auto start = std::chrono::steady_clock::now();
        if (!save(*state, folder))
            bs.SkipWithError("save failed");
        record("save", seconds(start));
        sync();
        start = std::chrono::steady_clock::now();
        writeSavedGame(folder + QStringLiteral("/text-only.pzs"), *state, 0);
        record("save text", seconds(start));
    }
    bs.counters["MB"] = double(QFile(folder + QStringLiteral("/game.pzs")).size()) / 1e6;
}

void BM_StoreSave(benchmark::State& bs) {
    auto state = freshState();
    create(*state, folder);
    joinSome(*state);
    const QString store = folder + QStringLiteral("/Save");
    QDir().mkpath(store);
    storeSave(*state, store, false); // the earlier save that each run replaces
    for (auto _ : bs) {
        for (const bool synced : {true, false}) {
            sync();
            const auto start = std::chrono::steady_clock::now();
            if (!storeSave(*state, store, synced))
                bs.SkipWithError("store save failed");
            record(synced ? "store, synced" : "store, no sync", seconds(start));
        }
    }
}

void BM_Load(benchmark::State& bs) {
    for (auto _ : bs) {
        auto state = freshState();
        sync();
        const auto start = std::chrono::steady_clock::now();
        if (!load(*state, folder))
            bs.SkipWithError("load failed");
        record("load", seconds(start));
    }
}

// The load dialog's summary of the saved game: the head of the text file, its records walked past
// their membership lines, and a reduced copy of the picture file. Runs after Save, whose files it
// reads; the page cache holds them, as it does when the player opens the dialog after saving.
void BM_Summary(benchmark::State& bs) {
    for (auto _ : bs) {
        const auto start = std::chrono::steady_clock::now();
        const SavedGameSummary summary = readSavedGameSummary(
            folder + QStringLiteral("/game.bmp"), folder + QStringLiteral("/game.pzs"), QSize(156, 100));
        record("summary", seconds(start));
        if (!summary.ok || summary.game.count() != kRows * kColumns)
            bs.SkipWithError("summary failed");
        bs.counters["joined"] = summary.game.joined;
    }
}

// The largest printed jigsaw, 54,000 elements (180 x 300 at element size 48, a 14,400 x 8,640
// picture), saved in the compact form: the game's state is built without element bitmaps (which
// would take more memory than the machine has), so creation is not timed here.
constexpr int kBigRows = 180, kBigColumns = 300;

GameState& bigGame() {
    static std::unique_ptr<GameState> state = [] {
        auto s = freshState();
        bitmapFreeGame(*s, kBigRows, kBigColumns, kSize);
        QImage picture(kBigColumns * kSize, kBigRows * kSize, QImage::Format_RGB888);
        picture.fill(QColor(40, 90, 160));
        QPainter p(&picture);
        for (int x = 0; x < picture.width(); x += 97)
            p.fillRect(x, 0, 40, picture.height(), QColor(x % 255, 200, 50));
        p.end();
        s->picture = std::move(picture);
        return s;
    }();
    return *state;
}

void BM_SaveBig(benchmark::State& bs) {
    GameState& state = bigGame();
    for (auto _ : bs) {
        sync();
        auto start = std::chrono::steady_clock::now();
        if (!writeBitmapFile(folder + QStringLiteral("/big.bmp"), state.picture) ||
            !writeSavedGame(folder + QStringLiteral("/big.pzs"), state, 0))
            bs.SkipWithError("save failed");
        record("54000 save", seconds(start));
        sync();
        start = std::chrono::steady_clock::now();
        writeSavedGame(folder + QStringLiteral("/big-text.pzs"), state, 0);
        record("54000 save text", seconds(start));
    }
    bs.counters["MB"] = double(QFile(folder + QStringLiteral("/big.pzs")).size()) / 1e6;
}

// Reading and checking both files, as the load command does before it builds anything; and the
// text file alone.
void BM_ReadBig(benchmark::State& bs) {
    for (auto _ : bs) {
        sync();
        auto start = std::chrono::steady_clock::now();
        const SavedGameFiles files =
            readSavedGameFiles(folder + QStringLiteral("/big.bmp"), folder + QStringLiteral("/big.pzs"));
        record("54000 read and check both files", seconds(start));
        if (!files.picture.ok() || files.error != SavedGameError::None ||
            !pictureFitsSavedGame(files.game, files.picture.picture) ||
            files.game.count() != kBigRows * kBigColumns)
            bs.SkipWithError("read failed");
        start = std::chrono::steady_clock::now();
        SavedGame text;
        if (readSavedGameFile(folder + QStringLiteral("/big.pzs"), text) != SavedGameError::None)
            bs.SkipWithError("text refused");
        record("54000 read and check the text", seconds(start));
        // As the autosave is continued: the picture file's fingerprint taken as it is read.
        sync();
        start = std::chrono::steady_clock::now();
        const SavedGameFiles kept = readSavedGameFiles(folder + QStringLiteral("/big.bmp"),
                                                       folder + QStringLiteral("/big.pzs"), true);
        record("54000 read both, fingerprinted", seconds(start));
        if (kept.pictureFingerprint.isEmpty())
            bs.SkipWithError("no fingerprint");
    }
}

void BM_SummaryBig(benchmark::State& bs) {
    for (auto _ : bs) {
        const auto start = std::chrono::steady_clock::now();
        const SavedGameSummary summary = readSavedGameSummary(
            folder + QStringLiteral("/big.bmp"), folder + QStringLiteral("/big.pzs"), QSize(156, 100));
        record("54000 summary", seconds(start));
        if (!summary.ok || summary.game.count() != kBigRows * kBigColumns)
            bs.SkipWithError("summary failed");
        bs.counters["joined"] = summary.game.joined;
    }
}

// Creation against loading at 54,000 elements, in one run of this process. Creation starts from
// the picture in memory, as the cut dialog's OK finds it (a photo-like 14,400 x 8,640 picture
// read from a JPEG file); the game made is saved (picture and compact text) and a different game's
// load is timed while the created game is still held: the program gives up the game under way
// once the loaded one has been read and checked.
void BM_CreateAndLoadBig(benchmark::State& bs) {
    const QString jpeg = folder + QStringLiteral("/lake54k.jpg");
    if (!QFile::exists(jpeg)) {
        QImage photo(kBigColumns * kSize, kBigRows * kSize, QImage::Format_RGB32);
        QPainter p(&photo);
        QLinearGradient g(0, 0, photo.width(), photo.height());
        g.setColorAt(0, QColor(30, 80, 160));
        g.setColorAt(1, QColor(60, 160, 70));
        p.fillRect(photo.rect(), g);
        for (int k = 0; k < 4000; ++k)
            p.fillRect((k * 7919) % photo.width(), (k * 104729) % photo.height(), 90, 60,
                       QColor::fromHsv(k % 360, 120, 200));
        p.end();
        photo.save(jpeg, "JPEG", 85);
    }
    int run = 0;
    for (auto _ : bs) {
        NullHost host;
        NullSound sound;
        NullCursor cursor;
        FixedClock clock;
        StandardRandom random;
        auto created = freshState();
        QImage picture = loadPicture(jpeg).picture;
        sync();
        auto start = std::chrono::steady_clock::now();
        if (!scalePicture(picture, kBigColumns * kSize, kBigRows * kSize))
            bs.SkipWithError("scale failed");
        created->picture = std::move(picture);
        {
            BoardRenderer renderer(*created, host, sound, cursor);
            GenerationRequest request{kBigRows, kBigColumns, kSize, created->cut};
            Generator(random, clock)
                .generate(request, created->puzzle, created->shapes, created->settings, nullptr);
            const QSize board =
                boardSizeFor(kBigColumns, kBigRows, created->puzzle.geometry.bitmapSize, kScreen, kScreen);
            created->board.resize(board.width(), board.height(), kScreen.width(), kScreen.height());
            paintWindow(*created, renderer);
        }
        record("54000 create", seconds(start));
        const QString bmp = folder + QStringLiteral("/made.bmp"), pzs = folder + QStringLiteral("/made.pzs");
        if (!writeBitmapFile(bmp, created->picture) || !writeSavedGame(pzs, *created, 0))
            bs.SkipWithError("save failed");
        // As the load dialog reads the chosen game's files ahead while the player looks at it, for
        // a second and a half; in every other run, without.
        const bool ready = ++run % 2 == 0;
        PictureReserve reserve;
        std::optional<SavedGameText> text;
        if (ready) {
            reserve.prepareFile(bmp);
            auto ahead = std::async(std::launch::async, [&pzs] { return readSavedGameText(pzs); });
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            text = ahead.get();
        }
        const std::string load = ready ? "54000 load, files read ahead" : "54000 load";
        sync();
        start = std::chrono::steady_clock::now();
        SavedGameFiles files = readSavedGameFiles(bmp, pzs, false, &reserve, std::move(text));
        record(load + ", read and check both files", seconds(start));
        if (!files.picture.ok() || files.error != SavedGameError::None ||
            !pictureFitsSavedGame(files.game, files.picture.picture)) {
            bs.SkipWithError("load failed");
            continue;
        }
        auto t = std::chrono::steady_clock::now();
        // The game under way given up once the loaded one has been checked, its picture's memory
        // and its elements returned on another thread as the program does.
        BackgroundRelease release(BackgroundRelease::afterNextDrawing);
        release.release({std::exchange(created->picture, QImage())},
                        std::make_shared<Puzzle>(std::move(created->puzzle)));
        created.reset();
        record(load + ", give up the game before", seconds(t));
        t = std::chrono::steady_clock::now();
        auto loaded = freshState();
        installSavedGame(files.game, files.picture.picture, *loaded, kScreen, nullptr, files.built.get());
        files = SavedGameFiles();
        record(load + ", build the elements", seconds(t));
        t = std::chrono::steady_clock::now();
        {
            BoardRenderer renderer(*loaded, host, sound, cursor);
            paintWindow(*loaded, renderer);
        }
        record(load + ", draw the window", seconds(t));
        record(load, seconds(start));
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
        create(*state, dir);
    } else if (phase == "save") {
        create(*state, dir);
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
    writeSourcePicture(folder + QStringLiteral("/source.bmp"));
    benchmark::RegisterBenchmark("Create/10816", BM_Create)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Save/10816", BM_Save)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Summary/10816", BM_Summary)->Unit(benchmark::kMillisecond)->Iterations(5);
    benchmark::RegisterBenchmark("Load/10816", BM_Load)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("StoreSave/10816", BM_StoreSave)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(3);
    benchmark::RegisterBenchmark("Save/54000", BM_SaveBig)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("Read/54000", BM_ReadBig)->Unit(benchmark::kMillisecond)->Iterations(3);
    benchmark::RegisterBenchmark("CreateAndLoad/54000", BM_CreateAndLoadBig)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(4);
    benchmark::RegisterBenchmark("Summary/54000", BM_SummaryBig)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();

    if (!runs["54000 save"].empty() || !runs["54000 create"].empty()) {
        std::printf("\n54000 elements (compact form), best of the runs (slowest in brackets):\n");
        for (const char* phase :
             {"54000 save", "54000 save text", "54000 read and check both files",
              "54000 read both, fingerprinted", "54000 read and check the text", "54000 summary"})
            std::printf("  %-33s %6.3f s (%6.3f)\n", phase, best(phase), worst(phase));
        if (!runs["54000 create"].empty()) {
            const double create = best("54000 create");
            std::printf("  %-33s %6.3f s (%6.3f)\n", "54000 create", create, worst("54000 create"));
            for (const std::string load : {"54000 load", "54000 load, files read ahead"}) {
                std::printf("  %-33s %6.3f s (%6.3f)  ratio %.2f (%.2f)\n", load.c_str(), best(load),
                            worst(load), best(load) / create, worst(load) / create);
                for (const char* part : {", read and check both files", ", give up the game before",
                                         ", build the elements", ", draw the window"})
                    std::printf("    %-31s %6.3f s\n", part + 2, best(load + part));
            }
        }
        std::printf("  text file %.2f MB, picture file %.0f MB\n",
                    double(QFile(folder + QStringLiteral("/big.pzs")).size()) / 1e6,
                    double(QFile(folder + QStringLiteral("/big.bmp")).size()) / 1e6);
    }
    // The phases of 10,816 elements, and their peak memory, when they ran.
    if (runs["create"].empty())
        return 0;
    const double create = best("create");
    std::printf("\n10816 elements, best of three runs (slowest in brackets):\n");
    std::printf("  create            %5.3f s (%5.3f)\n", create, worst("create"));
    for (const char* phase : {"save", "save text", "load", "store, synced", "store, no sync"})
        std::printf("  %-17s %5.3f s (%5.3f)  ratio %.2f (%.2f)\n", phase, best(phase), worst(phase),
                    best(phase) / create, worst(phase) / create);
    std::printf("  summary           %5.3f s (%5.3f)\n", best("summary"), worst("summary"));
    for (const char* part : {"  read and check both files", "  build the elements",
                             "  wait for the turned picture", "  draw the board"})
        std::printf("  %-29s %5.3f s\n", part, best(part));
    std::printf("  syncing costs a replacing save %5.3f s (best against best)\n",
                best("store, synced") - best("store, no sync"));
    std::fflush(stdout);
    const long createKb = peakInChild(argv[0], "create");
    const long saveKb = peakInChild(argv[0], "save");
    const long loadKb = peakInChild(argv[0], "load");
    std::printf("peak memory: create %.0f MiB; save %.0f MiB, ratio %.2f; load %.0f MiB, ratio %.2f\n",
                createKb / 1024.0, saveKb / 1024.0, double(saveKb) / createKb, loadKb / 1024.0,
                double(loadKb) / createKb);
    return 0;
}
