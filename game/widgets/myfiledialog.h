#pragma once

#include "game/picturepreview.h"
#include "ui/skin.h"

#include <QFileDialog>
#include <QFutureWatcher>
#include <QImage>

#include <atomic>
#include <memory>

class CSkinCheckBox;
class QLabel;
class QWidget;

// The dialog with which the player picks a picture file: Qt's own file dialog in the program's
// look, with a panel below it that shows the selected picture in a wooden frame, its format,
// size and colour depth, and a "&Просмотр" toggle. It cannot be resized.
//
// Previews are read on a worker thread, so a huge file never holds up the dialog; the newest
// selection wins and older results are dropped.
class CMyFileDialog : public QFileDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 144;
    static constexpr int previewButtonId = 1004;
    static constexpr int infoStaticId = 1021;
    static constexpr int frameStaticId = 1026;
    static constexpr int pictureStaticId = 1035;
    static constexpr int frameBitmapId = 183;
    static constexpr int helpPreviewButton = 8192;
    static constexpr int helpInfo = 8193;
    static constexpr int helpPicture = 8194;
    // The frame's border: the picture rectangle lies this far inside control 1035.
    static constexpr int frameBorder = 7;

    // Opens on `folder`, or on the folder of the last choice made in this program run.
    CMyFileDialog(const QString& folder, QWidget* parent = nullptr);
    ~CMyFileDialog() override;

    // The filters, in order: every file, Windows bitmaps, and every picture the game reads, which
    // is selected when the dialog opens.
    static QStringList filters();
    static constexpr int allPicturesFilter = 2;
    // The file patterns of a filter text, as Windows reads them: separated by ';' (or blanks),
    // and "*.*" meaning every file.
    static QStringList patternsOf(const QString& filter);
    // The folder the next dialog opens on (empty until a file was chosen).
    static QString rememberedFolder();
    // Where the next dialog opens (the folder an earlier run of the program remembered).
    static void setRememberedFolder(const QString& folder);

    // The chosen file after OK (empty otherwise).
    QString chosenFile() const;

    bool previewOn() const { return previewOn_; }
    bool previewLoaded() const { return previewLoaded_; }
    int previewWidth() const { return previewWidth_; }
    int previewHeight() const { return previewHeight_; }
    QString description() const;
    // Control 1035's rectangle shrunk by the frame's border, in the panel's coordinates.
    QRect pictureRect() const;
    // Where the preview is drawn now; empty while none is shown.
    QRect drawnRect() const;
    QWidget* panel() const { return panel_; }
    QWidget* item(int id) const;

    // The "&Просмотр" toggle, as a click on it.
    void togglePreview();
    // The selection changed (Qt's currentChanged): reads its preview when the preview is on.
    void selectionChanged(const QString& path);
    // Waits until the preview being read has been applied (tests, and nothing else).
    void waitForPreview();

    // Draws the panel: the preview and the frame around it (or nothing while the preview is off).
    void paintPanel(QPainter& painter) const;
    // The help topic for a request on control `id` at `panelPos`; 0 = not handled.
    int helpTopic(int id, const QPoint& panelPos) const;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildPanel();
    void applySkin();
    void applyPatterns();
    void startPreview(const QString& path);
    void previewRead();

    QImage previewBitmap_;
    mutable ScreenBitmap frameBitmap_{frameBitmapId}; // for the screen the dialog shows on
    ScreenBitmap buttonFace_{SkinBitmap::buttonFace};
    int previewWidth_ = 0;
    int previewHeight_ = 0;
    bool previewLoaded_ = false;
    bool previewOn_ = true;
    QString selection_;

    QWidget* panel_ = nullptr;
    QWidget* pictureStatic_ = nullptr;
    QLabel* infoStatic_ = nullptr;
    CSkinCheckBox* previewButton_ = nullptr;

    QFutureWatcher<PicturePreview> watcher_;
    std::shared_ptr<std::atomic<int>> newestRequest_;
    int pendingRequest_ = 0;
    bool pending_ = false;
};
