#include "modal.h"
#include "res/resources.h"
#include "ui/cutdialog.h"
#include "ui/skin.h"
#include "ui/skincheckbox.h"
#include "ui/skincombobox.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The dialog as the player sees it, driven through its own controls.
class CutDialogTest : public testing::Test {
protected:
    // Opens with the shape options the program starts with, as the cut command hands them over.
    void open(int width, int height, int size) {
        dialog = std::make_unique<CCutDialog>(width, height, size);
        dialog->setShapeOptions(CutChoice());
        dialog->show();
        QApplication::processEvents();
    }
    QLineEdit* edit(int id) const { return dialog->findChild<QLineEdit*>(CSkinDialog::controlName(id)); }
    QString label(int id) const { return dialog->findChild<QLabel*>(CSkinDialog::controlName(id))->text(); }
    CSkinComboBox* combo() const { return dialog->findChild<CSkinComboBox*>(CSkinDialog::controlName(1043)); }
    void click(int id) const {
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(CSkinDialog::controlName(id)), Qt::LeftButton);
    }
    // Replaces the field's text as a player would: select it all and type over it.
    void type(int id, const QString& text) const {
        QLineEdit* field = edit(id);
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Backspace);
        else
            QTest::keyClicks(field, text);
    }
    void chooseSize(int size) const {
        const int target = CutCalculator::selectionFor(size);
        while (combo()->currentIndex() < target)
            QTest::keyClick(combo(), Qt::Key_Down);
        while (combo()->currentIndex() > target)
            QTest::keyClick(combo(), Qt::Key_Up);
    }
    // The text of the warning box the next action opens (closing it), or empty.
    static std::shared_ptr<QString> expectWarning() {
        auto text = std::make_shared<QString>();
        onNextModal([text](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            *text = box->text();
            box->accept();
        });
        return text;
    }

    std::unique_ptr<CCutDialog> dialog;
};

TEST_F(CutDialogTest, OpensWithCountsRoundedHalfUpAndTheLabelsFilledIn) {
    open(640, 480, 64);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Разрезка Картинки"));
    // The template's 210 units and a line for the number of elements below.
    EXPECT_EQ(dialog->size(), QSize(450, 361));
    EXPECT_EQ(edit(1037)->text(), "640");
    EXPECT_EQ(edit(1038)->text(), "480");
    EXPECT_EQ(edit(1042)->text(), "10");
    EXPECT_EQ(edit(1039)->text(), "8"); // 7.5 goes up
    EXPECT_EQ(label(1026), QString::fromUtf8("&ширина    640"));
    EXPECT_EQ(label(1027), QString::fromUtf8("&высота   480")); // three blanks, from the string table
    EXPECT_EQ(label(1036), QString::fromUtf8("ширина картинки   640"));
    EXPECT_EQ(label(1047), QString::fromUtf8("высота картинки   512"));
    EXPECT_TRUE(dialog->keepRatio());
    EXPECT_EQ(dialog->recomputations(), 0); // filling the fields ran no handler

    ASSERT_EQ(combo()->count(), 25);
    for (int i = 0; i < 25; ++i) {
        EXPECT_EQ(combo()->itemText(i), QString::number(CutCalculator::sizeAt(i)));
        EXPECT_EQ(combo()->itemData(i).toInt(), CutCalculator::sizeAt(i));
    }
    EXPECT_EQ(combo()->currentText(), "64");
}

TEST_F(CutDialogTest, ASizeOffTheListLeavesNoSelection) {
    open(640, 480, 100);
    EXPECT_EQ(combo()->currentIndex(), -1);
    EXPECT_EQ(edit(1042)->text(), "6"); // 6.4 with the size itself as divisor
}

TEST_F(CutDialogTest, ChoosingAnElementSizeRecountsFromThePictureSize) {
    open(640, 480, 64);
    chooseSize(96);
    EXPECT_EQ(edit(1042)->text(), "7"); // 6.67
    EXPECT_EQ(edit(1039)->text(), "5"); // 5.0
    EXPECT_EQ(edit(1037)->text(), "640");
    EXPECT_EQ(label(1036), QString::fromUtf8("ширина картинки   672"));
    EXPECT_EQ(label(1047), QString::fromUtf8("высота картинки   480"));
    EXPECT_EQ(dialog->choice().elementSize, 96);
    EXPECT_EQ(dialog->recomputations(), 4); // one per step through the list
}

TEST_F(CutDialogTest, KeepRatioCarriesTheHeightAndEachKeystrokeRecomputesOnce) {
    open(640, 480, 64);
    type(1037, "800");
    EXPECT_EQ(edit(1038)->text(), "600");
    EXPECT_EQ(edit(1042)->text(), "13"); // 12.5 goes up
    EXPECT_EQ(edit(1039)->text(), "9");  // 9.375
    EXPECT_EQ(label(1036), QString::fromUtf8("ширина картинки   832"));
    EXPECT_EQ(label(1047), QString::fromUtf8("высота картинки   576"));
    // "8", "80", "800": the height written back did not run its own handler.
    EXPECT_EQ(dialog->recomputations(), 3);
    EXPECT_EQ(edit(1037)->cursorPosition(), 3); // the field being typed in was left alone

    type(1038, "240");
    EXPECT_EQ(edit(1037)->text(), "320");
    EXPECT_EQ(dialog->recomputations(), 6);
    // The labels of the picture's own size keep what it was at opening.
    EXPECT_EQ(label(1026), QString::fromUtf8("&ширина    640"));
}

TEST_F(CutDialogTest, WithKeepRatioClearedTheOtherSideStays) {
    open(640, 480, 64);
    click(1041);
    EXPECT_FALSE(dialog->keepRatio());
    EXPECT_EQ(dialog->recomputations(), 0); // the click itself recomputes nothing
    type(1037, "800");
    EXPECT_EQ(edit(1038)->text(), "480");
    EXPECT_EQ(edit(1039)->text(), "8");
    EXPECT_EQ(edit(1042)->text(), "13");
}

TEST_F(CutDialogTest, TypedCountsChangeOnlyTheirOwnResult) {
    open(640, 480, 64);
    type(1042, "12");
    EXPECT_EQ(label(1036), QString::fromUtf8("ширина картинки   768"));
    EXPECT_EQ(label(1047), QString::fromUtf8("высота картинки   512"));
    EXPECT_EQ(edit(1037)->text(), "640");
    EXPECT_EQ(edit(1039)->text(), "8");
    type(1039, "3");
    EXPECT_EQ(label(1047), QString::fromUtf8("высота картинки   192"));
    EXPECT_EQ(edit(1042)->text(), "12");
    EXPECT_EQ(dialog->recomputations(), 3);
}

TEST_F(CutDialogTest, ZeroColumnsOrRowsOnOkShowTheWarningAndSelectTheField) {
    open(640, 480, 64);
    type(1042, "0");
    auto text = expectWarning();
    click(1);
    EXPECT_EQ(*text, QString::fromUtf8("Введите положительное число."));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->focusWidget(), edit(1042));
    EXPECT_EQ(edit(1042)->selectedText(), "0");

    type(1042, "10");
    type(1039, "0");
    text = expectWarning();
    click(1);
    EXPECT_EQ(*text, QString::fromUtf8("Введите положительное число."));
    EXPECT_EQ(dialog->focusWidget(), edit(1039));
    EXPECT_EQ(edit(1039)->selectedText(), "0");

    type(1039, "4");
    click(1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->choice().columns, 10);
    EXPECT_EQ(dialog->choice().rows, 4);
}

TEST_F(CutDialogTest, AnEmptyFieldIsIgnoredWhileTypingButFailsTheIntegerCheck) {
    open(640, 480, 64);
    type(1042, "");
    EXPECT_EQ(dialog->recomputations(), 0);
    EXPECT_EQ(edit(1042)->text(), "");

    // Another edit reads every field: the empty one stops the reading with the warning, and the
    // values before it are written back, so the width being typed reverts.
    auto text = expectWarning();
    type(1037, "7");
    EXPECT_EQ(*text, CCutDialog::integerWarning());
    EXPECT_EQ(edit(1037)->text(), "640");
    EXPECT_EQ(edit(1042)->text(), "10");

    // On OK the last values read are positive, so the integer check of the empty field speaks.
    type(1039, "");
    text = expectWarning();
    click(1);
    EXPECT_EQ(*text, CCutDialog::integerWarning());
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->focusWidget(), edit(1039));
}

TEST_F(CutDialogTest, HugeTypedSizesNeitherOverflowNorWrap) {
    open(640, 480, 320);
    type(1042, "2000000000");
    EXPECT_EQ(label(1036), QString::fromUtf8("ширина картинки   640000000000"));
    // Past the range of int the field no longer holds an integer: the warning, and the width
    // goes back to the last one read.
    auto text = expectWarning();
    type(1037, "9999999999");
    EXPECT_EQ(*text, CCutDialog::integerWarning());
    EXPECT_EQ(edit(1037)->text(), "999999999");
}

TEST_F(CutDialogTest, SampleBitmapFollowsTheShapeOptions) {
    open(640, 480, 64);
    auto* preview = dialog->findChild<QLabel*>(CSkinDialog::controlName(1094));
    auto shows = [&](int id) {
        EXPECT_EQ(dialog->previewBitmapId(), id);
        EXPECT_EQ(preview->pixmap().toImage().convertToFormat(QImage::Format_RGB32), loadBitmapResource(id))
            << id;
    };
    EXPECT_EQ(preview->size(), QSize(67, 67));
    shows(315); // bowed base, shifted knobs: the options the program starts with
    click(1046);
    shows(317);
    click(1044);
    shows(319);
    click(1048);
    shows(319); // a square mosaic has no tabs to shift
    click(1046);
    shows(316);
    click(1048);
    shows(320);
    click(1044);
    click(1048);
    shows(321);
    click(1045); // turning changes nothing in the sample
    shows(321);

    const CutChoice c = dialog->choice();
    EXPECT_FALSE(c.squareBase);
    EXPECT_FALSE(c.shiftKnobs);
    EXPECT_FALSE(c.rotateElements);
    EXPECT_FALSE(c.mosaic);
}

TEST_F(CutDialogTest, CheckBoxesShowTheFlagsTheCallerSet) {
    dialog = std::make_unique<CCutDialog>(640, 480, 64);
    CutChoice options;
    options.squareBase = true;
    options.shiftKnobs = false;
    options.rotateElements = false;
    options.mosaic = true;
    dialog->setShapeOptions(options);
    dialog->ensureInitialized();
    auto on = [&](int id) {
        return dialog->findChild<CSkinCheckBox*>(CSkinDialog::controlName(id))->flagOn();
    };
    EXPECT_TRUE(on(1044));
    EXPECT_FALSE(on(1048));
    EXPECT_FALSE(on(1045));
    EXPECT_TRUE(on(1046));
    EXPECT_TRUE(on(1041));
    EXPECT_EQ(dialog->previewBitmapId(), 319);
}

TEST_F(CutDialogTest, TabOrderAndContextHelpFollowTheTemplate) {
    open(640, 480, 64);
    const int order[] = {1037, 1038, 1041, 1043, 1042, 1039, 1045, 1048, 1046, 1044, 1, 2};
    QWidget* w = edit(1037);
    for (int id : order) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->property("controlId").toInt(), id);
        do
            w = w->nextInFocusChain();
        while (w && (w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus);
    }
    const std::pair<int, int> topics[] = {{1037, 20480}, {1043, 20483}, {1065, 20483}, {1093, 20485},
                                          {1047, 20487}, {1044, 20491}, {1094, 20494}, {2, 40961}};
    for (const auto& [id, topic] : topics) {
        QWidget* control = dialog->item(id);
        ASSERT_NE(control, nullptr) << id;
        const QPoint at = control->geometry().center();
        EXPECT_EQ(dialog->showContextHelp(at, dialog->mapToGlobal(at)), topic) << id;
    }
}

// The line below the controls counts the elements of the cut as every change recounts it, and
// lies below every other control, which keep their places.
TEST_F(CutDialogTest, TheElementCountFollowsEveryChangeBelowTheControls) {
    open(640, 480, 64);
    EXPECT_EQ(label(1095), QString::fromUtf8("Всего элементов: 80 (8 × 10)"));
    type(1042, "12");
    EXPECT_EQ(label(1095), QString::fromUtf8("Всего элементов: 96 (8 × 12)"));
    type(1039, "3");
    EXPECT_EQ(label(1095), QString::fromUtf8("Всего элементов: 36 (3 × 12)"));
    chooseSize(96);
    EXPECT_EQ(label(1095), QString::fromUtf8("Всего элементов: 35 (5 × 7)"));
    type(1037, "3200");
    EXPECT_EQ(label(1095), QString::fromUtf8("Всего элементов: 825 (25 × 33)"));

    const QWidget* line = dialog->findChild<QLabel*>(CSkinDialog::controlName(1095));
    const int templateBottom = Skin::dluY(210);
    EXPECT_GE(line->geometry().top(), Skin::dluY(207));
    EXPECT_LE(line->geometry().bottom(), dialog->height());
    for (const QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w != line && w->isVisible() &&
            w->objectName() != QLatin1String(CSkinDialog::contextHelpButtonName)) {
            EXPECT_LE(w->geometry().bottom(), templateBottom) << w->objectName().toStdString();
        }
    }
}

} // namespace
