#pragma once

#include "game/pictureflow.h"
#include "model/cutcalculator.h"
#include "ui/skindialog.h"

class IMessageBox;
class QLabel;
class QLineEdit;

// Dialog 150, "Разрезка Картинки": how the loaded picture is cut. Picture size, element size,
// columns and rows stay consistent while the player types (the arithmetic is CutCalculator's);
// the four shape options show a sample element.
//
// Every change the player makes runs its handler once: values written back to the fields never
// run the handlers again.
class CCutDialog : public CSkinDialog {
    Q_OBJECT
public:
    static constexpr int templateId = 150;
    enum Control {
        widthLabel = 1026,
        widthEdit = 1037,
        heightLabel = 1027,
        heightEdit = 1038,
        keepRatioBox = 1041,
        iconStatic = 1064,
        sizeBitmap = 1065,
        sizeCombo = 1043,
        columnsLabel = 1092,
        columnsEdit = 1042,
        rowsLabel = 1093,
        rowsEdit = 1039,
        resultWidthLabel = 1036,
        resultHeightLabel = 1047,
        rotateBox = 1045,
        shiftBox = 1048,
        mosaicBox = 1046,
        squareBox = 1044,
        previewStatic = 1094,
        // Below the template's controls: how many elements the cut makes.
        elementCountText = 1095,
    };
    static constexpr int sizeBitmapId = 252;
    static constexpr int previewSide = 67;

    CCutDialog(int pictureWidth, int pictureHeight, int lastElementSize, QWidget* parent = nullptr);

    // Where the program's message boxes go (the frame's); without one the dialog shows its own.
    void setMessageBox(IMessageBox* messages) { messages_ = messages; }
    // The shape options the dialog opens with (before it is shown).
    void setShapeOptions(const CutChoice& options);
    // The player's choice: counts, element size and shape options.
    CutChoice choice() const;

    bool keepRatio() const { return keepRatio_; }
    int previewBitmapId() const { return previewBitmapId_; }
    // How many times the values were recomputed from a player's change.
    int recomputations() const { return recomputations_; }

    // The framework's warning for a field that does not hold an integer.
    static QString integerWarning();

public slots:
    void accept() override;

protected:
    bool event(QEvent* event) override;
    void initDialog() override;

private:
    IMessageBox* messages_ = nullptr;
    QLineEdit* edit(int id) const;
    // Data exchange: fields to values in the framework's order (columns, height, rows, width),
    // stopping with a warning at the first field that is not an integer; and values to fields.
    bool readAll();
    void writeAll();
    bool readInt(int id, int& value);
    // The line below the controls: rows x columns elements.
    QString elementCountLine() const;
    // Both result labels from the current counts and size.
    void refreshResults();

    void widthChanged();
    void heightChanged();
    void columnsChanged();
    void rowsChanged();
    void sizeChosen(int index);
    void flagClicked(int id);
    void choosePreview();
    // The icon, the size bitmap and the sample for the ratio of the dialog's screen.
    void showArt();

    CutCalculator calc_;
    int pictureWidth_;
    int pictureHeight_;
    int lastElementSize_;
    QString widthText_;
    QString heightText_;
    QString resultWidthText_;
    QString resultHeightText_;
    bool keepRatio_ = true;
    bool squareBase_ = true;
    bool shiftKnobs_ = true;
    bool rotateElements_ = true;
    bool mosaic_ = false;
    int previewBitmapId_ = 0;
    int recomputations_ = 0;
};
