#include "game/widgets/myfiledialog.h"

#include "model/picture.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/helpwindow.h"
#include "ui/skin.h"
#include "ui/skinbutton.h"
#include "ui/skincheckbox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPromise>
#include <QPushButton>
#include <QRegularExpression>
#include <QThreadPool>
#include <QWhatsThis>

#include <algorithm>

namespace {

// The panel ("template 144"), in dialog units: 281 x 93.
constexpr QRect kPanelDlu(0, 0, 281, 93);
constexpr QRect kPreviewButtonDlu(14, 13, 58, 9);
constexpr QRect kInfoDlu(77, 14, 67, 58);
constexpr QRect kPictureDlu(155, 2, 119, 85);
constexpr QRect kFrameDlu(4, 0, 272, 88);
constexpr int kHelpButtonDlu = 10;

const char* const kFilters[] = {"Все файлы (*.*)", "Windows Bitmap  (*.bmp;*.dib)"};
// The labels of the standard controls, as the program has always named them.
const char* const kLookIn = "Look in";
const char* const kFileName = "File name";
const char* const kFilesOfType = "Files of type";
// The buttons of the system's open dialog in a Russian interface.
const char* const kOpen = "&Открыть";
const char* const kCancel = "Отмена";

QString rememberedFolderValue;

QRect dlu(const QRect& r) {
    return Skin::dluRect(r.x(), r.y(), r.width(), r.height());
}

// The skin's palette with the file list's alternate rows and the tool buttons on the wooden face's
// colour; a disabled label is the face's colour.
QPalette fileDialogPalette(const QPalette& base) {
    QPalette pal = Skin::bevelledPalette(base);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::AlternateBase, QColor(246, 240, 230));
        pal.setColor(group, QPalette::Button, SkinColor::buttonInner);
    }
    pal.setColor(QPalette::Disabled, QPalette::WindowText, SkinColor::buttonInner);
    return pal;
}

// The template's own window: it paints the preview and answers help requests for its controls.
class PreviewPanel : public QWidget {
public:
    explicit PreviewPanel(CMyFileDialog* dialog) : QWidget(dialog), dialog_(dialog) {
        setObjectName(QStringLiteral("dialog%1").arg(CMyFileDialog::templateId));
        setFixedSize(dlu(kPanelDlu).size());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        dialog_->paintPanel(painter);
    }

    bool event(QEvent* e) override {
        if (e->type() == QEvent::WhatsThis || e->type() == QEvent::QueryWhatsThis) {
            auto* help = static_cast<QHelpEvent*>(e);
            const int topic = dialog_->helpTopic(controlAt(help->pos()), help->pos());
            if (topic == 0) {
                e->ignore();
                return true;
            }
            if (e->type() == QEvent::WhatsThis)
                HelpFile::showPopup(help->globalPos(), HelpFile::defaultPath(), topic, this);
            return true;
        }
        return QWidget::event(e);
    }

private:
    int controlAt(const QPoint& pos) const {
        for (QWidget* w = childAt(pos); w && w != this; w = w->parentWidget()) {
            const QVariant id = w->property("controlId");
            if (id.isValid())
                return id.toInt();
        }
        return 0;
    }

    CMyFileDialog* dialog_;
};

void registerControl(QWidget* control, int id) {
    control->setObjectName(QStringLiteral("control%1").arg(id));
    control->setProperty("controlId", id);
}

} // namespace

CMyFileDialog::CMyFileDialog(const QString& folder, QWidget* parent)
    : QFileDialog(parent), newestRequest_(std::make_shared<std::atomic<int>>(0)) {
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    setWindowTitle(loadString(Str::LoadPictureTitle));
    const QStringList names = filters();
    setNameFilters(names);
    // Qt collapses the two blanks of the second filter; the list shows the texts as they are.
    if (auto* types = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < types->count() && i < names.size(); ++i)
            types->setItemText(i, names.at(i));
        // The long list of every picture type would widen the dialog; the open list shows it whole.
        types->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        types->setMinimumContentsLength(int(names.at(1).size()));
    }
    selectNameFilter(names.at(allPicturesFilter));
    // A remembered folder removed since would leave Qt on the working folder: the usual one then.
    const bool remembered = !rememberedFolderValue.isEmpty() && QFileInfo(rememberedFolderValue).isDir();
    setDirectory(remembered ? rememberedFolderValue : folder);
    setLabelText(QFileDialog::LookIn, QString::fromUtf8(kLookIn));
    setLabelText(QFileDialog::FileName, QString::fromUtf8(kFileName));
    setLabelText(QFileDialog::FileType, QString::fromUtf8(kFilesOfType));
    setLabelText(QFileDialog::Accept, QString::fromUtf8(kOpen));
    setLabelText(QFileDialog::Reject, QString::fromUtf8(kCancel));

    frameBitmap_.at(devicePixelRatioF());
    buttonFace_.at(devicePixelRatioF());
    buildPanel();
    applySkin();
    applyPatterns();

    // The current item changes with clicks and keys; a name typed or completed in the file-name
    // field only selects the item, so the selection is watched as well.
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        if (path != selection_)
            selectionChanged(path);
    });
    if (auto* list = findChild<QAbstractItemView*>(QStringLiteral("listView"));
        list && list->selectionModel()) {
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
            const QStringList files = selectedFiles();
            const QString path = files.isEmpty() ? QString() : files.first();
            if (path != selection_ && QFileInfo(path).isFile())
                selectionChanged(path);
        });
    }
    connect(this, &QFileDialog::filterSelected, this, [this] { applyPatterns(); });
    connect(&watcher_, &QFutureWatcherBase::finished, this, &CMyFileDialog::previewRead);

    // The dialog keeps the size it opens with.
    setSizeGripEnabled(false);
    resize(sizeHint().expandedTo(QSize(panel_->width() + 24, 0)).expandedTo(QSize(600, 560)));
    setFixedSize(size());
}

CMyFileDialog::~CMyFileDialog() {
    // A reading still under way finds no one to hand its result to.
    newestRequest_->fetch_add(1);
}

QStringList CMyFileDialog::filters() {
    QStringList patterns;
    for (const QString& suffix : readablePictureSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    const QString allPictures =
        loadString(Str::AllPictures).replace(QLatin1String("%s"), patterns.join(QLatin1Char(';')));
    return {QString::fromUtf8(kFilters[0]), QString::fromUtf8(kFilters[1]), allPictures};
}

QStringList CMyFileDialog::patternsOf(const QString& filter) {
    QString inside = filter;
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && filter.endsWith(QLatin1Char(')')))
        inside = filter.mid(open + 1, filter.size() - open - 2);
    QStringList patterns;
    for (QString p : inside.split(QRegularExpression(QStringLiteral("[; ]")), Qt::SkipEmptyParts))
        patterns.append(p == QLatin1String("*.*") ? QStringLiteral("*") : p);
    return patterns;
}

QString CMyFileDialog::rememberedFolder() {
    return rememberedFolderValue;
}

void CMyFileDialog::setRememberedFolder(const QString& folder) {
    rememberedFolderValue = folder;
}

QString CMyFileDialog::chosenFile() const {
    const QStringList files = selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

void CMyFileDialog::accept() {
    QFileDialog::accept();
    const QString file = chosenFile();
    if (result() == QDialog::Accepted && !file.isEmpty())
        rememberedFolderValue = QFileInfo(file).absolutePath();
}

void CMyFileDialog::buildPanel() {
    auto* panel = new PreviewPanel(this);
    panel_ = panel;

    previewButton_ = new CSkinCheckBox(
        QStringLiteral("&Просмотр"), [this] { return previewOn_; }, panel);
    previewButton_->setGeometry(dlu(kPreviewButtonDlu));
    registerControl(previewButton_, previewButtonId);
    connect(previewButton_, &QAbstractButton::clicked, this, &CMyFileDialog::togglePreview);

    infoStatic_ = new QLabel(QStringLiteral(" "), panel);
    infoStatic_->setGeometry(dlu(kInfoDlu));
    infoStatic_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    registerControl(infoStatic_, infoStaticId);

    // It only gives the preview its place; the panel paints there.
    pictureStatic_ = new QWidget(panel);
    // A bitmap static takes the size of its bitmap.
    pictureStatic_->setGeometry(
        QRect(dlu(kPictureDlu).topLeft(), frameBitmap_.image().deviceIndependentSize().toSize()));
    pictureStatic_->hide();
    registerControl(pictureStatic_, pictureStaticId);

    auto* frame = new QFrame(panel);
    frame->setGeometry(dlu(kFrameDlu));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    registerControl(frame, frameStaticId);
    // Beneath the other controls, so that clicks reach them.
    frame->lower();

    auto* help = new CSkinButton(QStringLiteral("?"), panel);
    help->setObjectName(QStringLiteral("contextHelpButton"));
    help->setFocusPolicy(Qt::NoFocus);
    help->setAutoDefault(false);
    help->setFace(buttonFace_);
    const int side = Skin::dluX(kHelpButtonDlu);
    // Where it does not cover the preview: in the panel's free bottom-left corner.
    const QRect free = dlu(QRect(14, 74, kHelpButtonDlu, kHelpButtonDlu));
    help->setGeometry(free.x(), free.y(), side, side);
    connect(help, &QPushButton::clicked, this, [] { QWhatsThis::enterWhatsThisMode(); });

    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, grid->rowCount(), 0, 1, grid->columnCount(), Qt::AlignHCenter);
    else
        panel->move(0, height());
}

void CMyFileDialog::applySkin() {
    setPalette(fileDialogPalette(palette()));
    setFont(Skin::objects().dialogFont);
    setAutoFillBackground(true);
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
        auto* painter = new SkinButtonPainter(buttonFace_, this);
        for (QAbstractButton* button : buttons->buttons())
            painter->paint(button);
    }
}

void CMyFileDialog::applyPatterns() {
    // Qt separates patterns by blanks only; the filters separate them by ';' as Windows does.
    if (auto* model = findChild<QFileSystemModel*>())
        model->setNameFilters(patternsOf(selectedNameFilter()));
}

void CMyFileDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    // Showing may bring Qt's own filter back.
    applyPatterns();
}

QWidget* CMyFileDialog::item(int id) const {
    return findChild<QWidget*>(QStringLiteral("control%1").arg(id));
}

QString CMyFileDialog::description() const {
    return infoStatic_->text();
}

QRect CMyFileDialog::pictureRect() const {
    return pictureStatic_->geometry().adjusted(frameBorder, frameBorder, -frameBorder, -frameBorder);
}

QRect CMyFileDialog::drawnRect() const {
    if (!previewOn_ || !previewLoaded_)
        return {};
    return previewDrawRect(previewWidth_, previewHeight_, pictureRect());
}

void CMyFileDialog::paintPanel(QPainter& painter) const {
    if (!previewOn_)
        return;
    const QPoint frameAt = pictureStatic_->geometry().topLeft();
    const QRect drawn = drawnRect();
    const QImage& frame = frameBitmap_.at(panel_->devicePixelRatioF());
    if (drawn.isEmpty()) {
        painter.drawImage(frameAt, frame);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(drawn, previewBitmap_);
    // The frame and its light field surround the picture without covering it.
    painter.setClipRegion(QRegion(panel_->rect()).subtracted(QRegion(drawn)));
    painter.drawImage(frameAt, frame);
    painter.setClipping(false);
}

int CMyFileDialog::helpTopic(int id, const QPoint& panelPos) const {
    switch (id) {
    case previewButtonId:
        return helpPreviewButton;
    case frameStaticId:
        return previewOn_ && pictureStatic_->geometry().contains(panelPos) ? helpPicture : 0;
    case infoStaticId:
        return previewOn_ ? helpInfo : 0;
    default:
        return 0;
    }
}

void CMyFileDialog::togglePreview() {
    previewOn_ = !previewOn_;
    previewButton_->update();
    if (previewOn_) {
        startPreview(selection_);
    } else {
        // A reading still under way must not fill the description again.
        newestRequest_->fetch_add(1);
        pending_ = false;
        infoStatic_->setText(QString());
    }
    panel_->update(pictureStatic_->geometry());
}

void CMyFileDialog::selectionChanged(const QString& path) {
    selection_ = path;
    if (previewOn_)
        startPreview(path);
}

void CMyFileDialog::startPreview(const QString& path) {
    const int request = newestRequest_->fetch_add(1) + 1;
    pendingRequest_ = request;
    pending_ = true;
    // Reduced for the screen's device pixels: drawn into the logical box, it stays sharp there.
    const QSize box = (QSizeF(pictureRect().size()) * std::max(1.0, devicePixelRatioF())).toSize();
    auto promise = std::make_shared<QPromise<PicturePreview>>();
    watcher_.setFuture(promise->future());
    promise->start();
    QThreadPool::globalInstance()->start([promise, newest = newestRequest_, request, path, box] {
        // A newer selection has come while this one waited: its reading would be thrown away.
        if (newest->load() == request)
            promise->addResult(loadPreview(path, box));
        promise->finish();
    });
}

void CMyFileDialog::waitForPreview() {
    if (!pending_)
        return;
    watcher_.waitForFinished();
    previewRead();
}

void CMyFileDialog::previewRead() {
    if (!pending_ || newestRequest_->load() != pendingRequest_ || !watcher_.isFinished())
        return;
    pending_ = false;
    const QFuture<PicturePreview> future = watcher_.future();
    const PicturePreview preview = future.resultCount() > 0 ? future.result() : PicturePreview();
    if (preview.ok) {
        previewBitmap_ = preview.image;
        previewWidth_ = preview.width;
        previewHeight_ = preview.height;
        infoStatic_->setText(QString::asprintf(loadString(Str::PictureInfo).toUtf8().constData(),
                                               preview.format.toUpper().constData(), preview.width,
                                               preview.height, preview.bitsPerPixel));
        previewLoaded_ = true;
    } else {
        // The last good bitmap and its size stay; only the frame is shown.
        infoStatic_->setText(QString());
        previewLoaded_ = false;
    }
    panel_->update(pictureStatic_->geometry());
}
