#include "app/puzzleapp.h"

#include "app/mainframe.h"
#include "app/qtservices.h"
#include "res/strings.h"
#include "ui/messageboxes.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr int kDepthQuestion = 57668;
} // namespace

CPuzzleApp::CPuzzleApp() = default;
CPuzzleApp::~CPuzzleApp() = default;

bool CPuzzleApp::checkDisplay(const IScreen& screen, IMessageBox& messages) {
    const int depth = screen.depth();
    if (depth > 8)
        return true;
    const QSize size = screen.size();
    const QString text = QString::asprintf(loadString(kDepthQuestion).toUtf8().constData(), size.width(),
                                           size.height(), depth);
    return messages.askStandardYesNo(QStringLiteral("Puzzle"), text);
}

bool CPuzzleApp::initInstance() {
    screen_ = std::make_unique<QtScreen>();
    clock_ = std::make_unique<QtClock>();
    cursor_ = std::make_unique<QtCursor>();
    sound_ = std::make_unique<QtSound>();
    messages_ = createProgramMessageBox(sound_.get());
    if (!checkDisplay(*screen_, *messages_))
        return false;
    FrameServices services{messages_.get(), sound_.get(), clock_.get(), screen_.get(), cursor_.get()};
    frame_ = std::make_unique<CMainFrame>(services);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        // A new resolution (or colour depth, read with it) made from outside while we run.
        QObject::connect(screen, &QScreen::geometryChanged, frame_.get(), [this] {
            const QSize size = screen_->size();
            frame_->displayChange(size.width(), size.height(), screen_->depth());
        });
    }
    frame_->onCreate();
    frame_->show();
    return true;
}
