#pragma once

#include "model/generator.h"
#include "res/stringids.h"
#include "ui/skin.h"

#include <QDialog>
#include <QImage>
#include <QPointer>

class QLabel;
class QProgressBar;

// "Секундочку...": a strip of wooden blocks and a percentage while many elements are made or a
// game is read. The owner stays disabled while it exists.
class CProgressDialog : public QDialog, public IProgress {
    Q_OBJECT
public:
    static constexpr int templateId = 113;
    static constexpr int percentId = 1004;
    static constexpr int barId = 1003;
    static constexpr int blockBitmap = 282;

    explicit CProgressDialog(QWidget* owner, int captionId = Str::WaitCaption);
    ~CProgressDialog() override;

    void setCaption(const QString& caption) { setWindowTitle(caption); }

    // IProgress
    void begin(int low, int high, int step) override;
    void setPosition(int position) override;
    void end() override;

    int blocksDrawn() const { return blocks_; }
    QString percentText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<QWidget> owner_;
    // Disabling the owner takes the keyboard from the widget that had it; it gets it back.
    QPointer<QWidget> ownerFocus_;
    bool disabledOwner_ = false;
    int low_ = 0, high_ = 100, step_ = 10, position_ = 0, blocks_ = 0;
    ScreenBitmap block_{blockBitmap};
    QRect strip_;
    QLabel* percent_ = nullptr;
    QProgressBar* bar_ = nullptr;
};
