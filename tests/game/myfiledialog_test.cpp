#include "game/widgets/myfiledialog.h"
#include "model/picture.h"
#include "ui/skin.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FileDialogTest : public testing::Test {
protected:
    QTemporaryDir dir;
    CMyFileDialog dialog{dir.path()};

    QString picture(const QString& name, int w, int h) {
        QImage image(w, h, QImage::Format_RGB888);
        image.fill(QColor(30, 120, 200));
        const QString path = dir.filePath(name);
        EXPECT_TRUE(writeBitmapFile(path, image));
        return path;
    }
    QString junk(const QString& name) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("BM this is no bitmap");
        return path;
    }
    void select(const QString& path) {
        dialog.selectionChanged(path);
        dialog.waitForPreview();
    }
    // What the panel paints, on a transparent image: untouched pixels keep alpha 0.
    QImage paintedPanel() const {
        QImage image(dialog.panel()->size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        dialog.paintPanel(painter);
        return image;
    }
};

TEST_F(FileDialogTest, TitleFiltersAndLabelsAsTheProgramHasThem) {
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Загрузить Картинку "));
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->itemText(0), QString::fromUtf8("Все файлы (*.*)"));
    EXPECT_EQ(types->itemText(1), QString::fromUtf8("Windows Bitmap  (*.bmp;*.dib)")); // two blanks
    // Every type the picture loader reads, bitmaps first; this one is selected.
    const QString all = types->itemText(2);
    EXPECT_TRUE(all.startsWith(QString::fromUtf8("Все картинки (*.bmp;*.dib;*."))) << all.toStdString();
    EXPECT_TRUE(all.contains(QLatin1String(";*.jpg;")) && all.contains(QLatin1String(";*.png;")));
    EXPECT_TRUE(all.endsWith(QLatin1Char(')')));
    EXPECT_EQ(dialog.selectedNameFilter(), all);
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"))->text(), "Look in");
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"))->text(), "File name");
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("fileTypeLabel"))->text(), "Files of type");
}

TEST_F(FileDialogTest, PatternsAreReadAsWindowsReadsThem) {
    EXPECT_EQ(CMyFileDialog::patternsOf(CMyFileDialog::filters().at(1)), QStringList({"*.bmp", "*.dib"}));
    // "*.*" is every file, photos included, even those without an extension.
    EXPECT_EQ(CMyFileDialog::patternsOf(CMyFileDialog::filters().at(0)), QStringList({"*"}));
    QStringList everyPicture;
    for (const QString& suffix : readablePictureSuffixes())
        everyPicture << QStringLiteral("*.") + suffix;
    EXPECT_EQ(CMyFileDialog::patternsOf(CMyFileDialog::filters().at(2)), everyPicture);
    auto* model = dialog.findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    EXPECT_EQ(model->nameFilters(), everyPicture);
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    types->setFocus();
    QTest::keyClick(types, Qt::Key_Up);
    EXPECT_EQ(dialog.selectedNameFilter(), CMyFileDialog::filters().at(1));
    EXPECT_EQ(model->nameFilters(), QStringList({"*.bmp", "*.dib"}));
    QTest::keyClick(types, Qt::Key_Up);
    EXPECT_EQ(dialog.selectedNameFilter(), CMyFileDialog::filters().at(0));
    EXPECT_EQ(model->nameFilters(), QStringList({"*"}));
}

TEST_F(FileDialogTest, FixedSizeWithThePanelBelowTheStandardControls) {
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.isSizeGripEnabled());
    EXPECT_EQ(dialog.panel()->size(), QSize(422, 151)); // 281 x 93 dialog units
    EXPECT_EQ(dialog.item(CMyFileDialog::pictureStaticId)->geometry(), QRect(233, 3, 179, 138));
    EXPECT_EQ(dialog.pictureRect(), QRect(240, 10, 165, 124));
    dialog.show();
    QApplication::processEvents();
    EXPECT_GE(dialog.panel()->y(), dialog.findChild<QWidget*>(QStringLiteral("fileTypeCombo"))->y());
}

TEST_F(FileDialogTest, SelectedBitmapIsDescribedAndDrawnCentredInTheFrame) {
    EXPECT_EQ(dialog.description(), " ");
    EXPECT_FALSE(dialog.previewLoaded());
    select(picture("small.bmp", 100, 50));
    EXPECT_TRUE(dialog.previewLoaded());
    EXPECT_EQ(dialog.previewWidth(), 100);
    EXPECT_EQ(dialog.previewHeight(), 50);
    EXPECT_EQ(dialog.description(),
              QString::fromUtf8("Формат     BMP\n\nШирина      100\n\nВысота      50\n\n"
                                "Цвет          24-бит"));
    const QRect drawn = dialog.drawnRect();
    EXPECT_EQ(drawn, QRect(240 + 32, 10 + 37, 100, 50));

    const QImage panel = paintedPanel();
    EXPECT_EQ(panel.pixelColor(drawn.center()), QColor(30, 120, 200));
    // The frame around it: its own top-left pixel at control 1035's corner.
    const QImage frame = Skin::bitmap(CMyFileDialog::frameBitmapId);
    EXPECT_EQ(panel.pixel(233, 3), frame.pixel(0, 0));
    EXPECT_EQ(panel.pixel(240, 10), frame.pixel(7, 7)); // the light field beside the picture
}

TEST_F(FileDialogTest, ABadSelectionEmptiesTheDescriptionButKeepsTheLastSize) {
    select(picture("wide.bmp", 800, 200));
    EXPECT_EQ(dialog.drawnRect(), QRect(240, 10 + 41, 165, 41));
    select(junk("junk.bmp"));
    EXPECT_EQ(dialog.description(), QString());
    EXPECT_FALSE(dialog.previewLoaded());
    EXPECT_EQ(dialog.previewWidth(), 800);
    EXPECT_EQ(dialog.previewHeight(), 200);
    EXPECT_TRUE(dialog.drawnRect().isEmpty());
    // The frame alone: its light field fills the picture rectangle.
    const QImage panel = paintedPanel();
    EXPECT_EQ(panel.pixel(322, 71), Skin::bitmap(CMyFileDialog::frameBitmapId).pixel(89, 68));
    select(dir.path());
    EXPECT_EQ(dialog.description(), QString());
}

TEST_F(FileDialogTest, TheNewestSelectionWins) {
    const QString first = picture("first.bmp", 300, 300);
    const QString second = picture("second.bmp", 40, 30);
    dialog.selectionChanged(first);
    dialog.selectionChanged(second);
    dialog.waitForPreview();
    EXPECT_EQ(dialog.previewWidth(), 40);
    EXPECT_EQ(dialog.previewHeight(), 30);
    // A late result of the first reading is not applied over it.
    QThreadPool::globalInstance()->waitForDone();
    QApplication::processEvents();
    EXPECT_EQ(dialog.previewWidth(), 40);
}

TEST_F(FileDialogTest, ToggleOffEmptiesAndDrawsNothingToggleOnLoadsTheSelection) {
    const QString path = picture("pic.bmp", 120, 90);
    select(path);
    QTest::mouseClick(dialog.item(CMyFileDialog::previewButtonId), Qt::LeftButton);
    EXPECT_FALSE(dialog.previewOn());
    EXPECT_EQ(dialog.description(), QString());
    const QImage off = paintedPanel();
    EXPECT_EQ(qAlpha(off.pixel(233, 3)), 0);
    EXPECT_EQ(qAlpha(off.pixel(322, 71)), 0);

    // While off, selections are not read: the last size stays.
    select(picture("other.bmp", 10, 10));
    EXPECT_EQ(dialog.previewWidth(), 120);
    EXPECT_EQ(dialog.description(), QString());

    dialog.togglePreview();
    dialog.waitForPreview();
    EXPECT_TRUE(dialog.previewOn());
    EXPECT_EQ(dialog.previewWidth(), 10);
    EXPECT_TRUE(dialog.description().contains(QString::fromUtf8("Ширина      10")));
}

TEST_F(FileDialogTest, ContextHelpDependsOnThePreviewAndThePoint) {
    const QPoint inPicture = dialog.pictureRect().center();
    const QPoint outside(20, 120);
    EXPECT_EQ(dialog.helpTopic(1004, outside), 8192);
    EXPECT_EQ(dialog.helpTopic(1026, inPicture), 8194);
    EXPECT_EQ(dialog.helpTopic(1026, outside), 0);
    EXPECT_EQ(dialog.helpTopic(1021, outside), 8193);
    dialog.togglePreview();
    EXPECT_EQ(dialog.helpTopic(1004, outside), 8192);
    EXPECT_EQ(dialog.helpTopic(1026, inPicture), 0);
    EXPECT_EQ(dialog.helpTopic(1021, outside), 0);
}

TEST_F(FileDialogTest, OkAndCancelAreTheWoodenButtons) {
    dialog.show();
    QApplication::processEvents();
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    for (QAbstractButton* button : buttons->buttons()) {
        const QImage image = button->grab().toImage();
        // The outer frame's light top-left edge and dark bottom-right edge of the skin.
        EXPECT_EQ(image.pixelColor(1, 0), SkinColor::buttonLight) << button->text().toStdString();
        EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), SkinColor::buttonDark);
    }
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QString::fromUtf8("Отмена"));
}

TEST_F(FileDialogTest, AcceptedFileIsChosenAndItsFolderRemembered) {
    const QString path = picture("chosen.bmp", 20, 20);
    dialog.selectFile(path);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QFileInfo(dialog.chosenFile()).canonicalFilePath(), QFileInfo(path).canonicalFilePath());
    EXPECT_EQ(QDir(CMyFileDialog::rememberedFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
    CMyFileDialog next(QStringLiteral("/"));
    EXPECT_EQ(QDir(next.directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
}

// A first game without a manual: opened on the sample pictures, the dialog lists them all and
// nothing else, whatever the letter case of their names. A folder remembered by an earlier test
// has been removed since, which must not take the dialog elsewhere.
TEST(FileDialogFirstOpening, ListsEverySamplePictureAndNoOtherFile) {
    const QDir samples(QStringLiteral(PUZZLE_SOURCE_DIR "/res/samples"));
    QTemporaryDir dir;
    QStringList expected;
    for (const QString& name : samples.entryList(QDir::Files)) {
        ASSERT_TRUE(QFile::copy(samples.filePath(name), dir.filePath(name)));
        expected << name;
    }
    ASSERT_GE(expected.size(), 3);
    ASSERT_TRUE(QFile::copy(samples.filePath(expected.first()), dir.filePath(QStringLiteral("SHOUTED.JPG"))));
    expected << QStringLiteral("SHOUTED.JPG");
    QFile notes(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a picture");
    notes.close();

    {
        QTemporaryDir gone;
        CMyFileDialog::setRememberedFolder(gone.path());
    }
    CMyFileDialog dialog(dir.path());
    CMyFileDialog::setRememberedFolder(QString());
    dialog.show();
    auto* list = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    ASSERT_NE(list, nullptr);
    QStringList listed;
    const bool loaded = QTest::qWaitFor([&] {
        listed.clear();
        const QModelIndex folder = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(folder); ++row) {
            const QModelIndex entry = list->model()->index(row, 0, folder);
            if (entry.flags() & Qt::ItemIsEnabled)
                listed << entry.data().toString();
        }
        return listed.size() >= expected.size();
    });
    EXPECT_TRUE(loaded);
    listed.sort();
    expected.sort();
    EXPECT_EQ(listed, expected);
}

} // namespace
