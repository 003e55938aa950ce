#include "fakes.h"
#include "modal.h"
#include "model/settings.h"
#include "res/stringids.h"
#include "res/strings.h"
#include "ui/settingsdialog.h"
#include "ui/skinbutton.h"
#include "ui/skincheckbox.h"
#include "ui/spinbutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SettingsDialogTest : public testing::Test {
protected:
    void open(const Settings& settings = Settings(), bool square = false) {
        dialog = std::make_unique<CSettingsDialog>();
        dialog->values() = SettingsChoice::from(settings);
        dialog->setSquareElements(square);
        dialog->setMessageBox(&messages);
        dialog->show();
        QApplication::processEvents();
    }
    QLineEdit* edit(int id) const { return dialog->itemAs<QLineEdit>(id); }
    CSpinButton* spin(int id) const { return dialog->itemAs<CSpinButton>(id); }
    CSkinCheckBox* box(int id) const { return dialog->itemAs<CSkinCheckBox>(id); }
    void click(int id) const { QTest::mouseClick(dialog->itemAs<QAbstractButton>(id), Qt::LeftButton); }
    void type(int id, const QString& text) const {
        QLineEdit* field = edit(id);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    }
    // Presses OK; returns the text of the warning box that opened (closing it), or empty.
    QString pressOkExpectingWarning() {
        auto text = std::make_shared<QString>();
        onNextModal([text](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            *text = box->text();
            box->accept();
        });
        click(1);
        return *text;
    }

    FakeMessageBox messages;
    std::unique_ptr<CSettingsDialog> dialog;
};

TEST_F(SettingsDialogTest, OpensWithTheDefaultsAndItsControlsInTabOrder) {
    open();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Настройки"));
    EXPECT_EQ(dialog->objectName(), "dialog158");
    EXPECT_EQ(edit(1038)->text(), "4");
    EXPECT_EQ(edit(1037)->text(), "5");
    EXPECT_EQ(edit(1039)->text(), "20");
    EXPECT_EQ(edit(1068)->text(), "3");
    EXPECT_EQ(edit(1070)->text(), "150");
    EXPECT_TRUE(box(1050)->flagOn());
    EXPECT_TRUE(box(1052)->flagOn());
    EXPECT_TRUE(box(1053)->flagOn());
    EXPECT_FALSE(box(1054)->flagOn());
    for (int id : {1038, 1051, 1066, 1039, 1067, 1068, 1069, 1070})
        EXPECT_TRUE(dialog->item(id)->isEnabled()) << id;
    const std::pair<int, std::pair<int, int>> ranges[] = {
        {1051, {1, 5}}, {1049, {1, 10}}, {1067, {5, 50}}, {1069, {1, 10}}};
    for (const auto& [id, range] : ranges) {
        EXPECT_EQ(spin(id)->lower(), range.first) << id;
        EXPECT_EQ(spin(id)->upper(), range.second) << id;
    }
    EXPECT_EQ(spin(1051)->buddy(), edit(1038));
    EXPECT_EQ(spin(1049)->buddy(), edit(1037));
    EXPECT_EQ(box(1050)->text(), QString::fromUtf8("О&бъемные элементы"));
    EXPECT_EQ(dialog->itemAs<QLabel>(1087)->text(), QString::fromUtf8("то&лщина\nконтура"));
    EXPECT_EQ(dialog->itemAs<QAbstractButton>(1066)->text(), QString::fromUtf8("Задать &цвет контура..."));

    const int order[] = {1050, 1038, 1066, 1037, 1054, 1052, 1039, 1068, 1070, 1053, 1, 2};
    QWidget* w = box(1050);
    for (int id : order) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->property("controlId").toInt(), id);
        do
            w = w->nextInFocusChain();
        while (w && (w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus);
    }
    const std::pair<int, int> topics[] = {{1050, 12288}, {1087, 12289}, {1051, 12289}, {1066, 12290},
                                          {1049, 12291}, {1054, 12292}, {1052, 12293}, {1067, 12294},
                                          {1090, 12295}, {1070, 12296}, {1091, 12296}, {1053, 12297},
                                          {1, 40960},    {2, 40961}};
    for (const auto& [id, topic] : topics) {
        const QPoint at = dialog->item(id)->geometry().center();
        EXPECT_EQ(dialog->showContextHelp(at, dialog->mapToGlobal(at)), topic) << id;
    }
}

TEST_F(SettingsDialogTest, EachFieldIsCheckedForAnIntegerInItsRange) {
    struct Case {
        int id;
        const char* text;
        QString warning;
    };
    const Case cases[] = {
        {1038, "6", CSettingsDialog::rangeWarning(1, 5)},
        {1038, "0", CSettingsDialog::rangeWarning(1, 5)},
        {1037, "11", CSettingsDialog::rangeWarning(1, 10)},
        {1037, "0", CSettingsDialog::rangeWarning(1, 10)},
        {1039, "4", CSettingsDialog::rangeWarning(5, 50)},
        {1039, "51", CSettingsDialog::rangeWarning(5, 50)},
        {1068, "11", CSettingsDialog::rangeWarning(1, 10)},
        {1068, "x", CSettingsDialog::integerWarning()},
        {1070, "-1", loadString(Str::NonNegativeNumber)},
        {1070, "1.5", CSettingsDialog::integerWarning()},
    };
    for (const Case& c : cases) {
        open();
        type(c.id, QString::fromUtf8(c.text));
        EXPECT_EQ(pressOkExpectingWarning(), c.warning) << c.id << " " << c.text;
        EXPECT_TRUE(dialog->isVisible()) << c.id;
        EXPECT_EQ(dialog->focusWidget(), edit(c.id)) << c.id;
        EXPECT_EQ(edit(c.id)->selectedText(), QString::fromUtf8(c.text)) << c.id;
    }
    EXPECT_EQ(loadString(Str::NonNegativeNumber), QString::fromUtf8("Введите неотрицательное число."));

    // The first failing field in exchange order is the one reported.
    open();
    type(1068, "0");
    type(1037, "99");
    EXPECT_EQ(pressOkExpectingWarning(), CSettingsDialog::rangeWarning(1, 10));
    EXPECT_EQ(dialog->focusWidget(), edit(1037));

    // The ends of every range, and a keyboard speed of 0 with no upper bound, are accepted.
    open();
    type(1038, "5");
    type(1037, "1");
    type(1039, "50");
    type(1068, "10");
    type(1070, "0");
    click(1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    const SettingsChoice& v = dialog->values();
    EXPECT_EQ(v.outlineThickness, 5);
    EXPECT_EQ(v.captureArea, 1);
    EXPECT_EQ(v.scrollArea, 50);
    EXPECT_EQ(v.mouseScrollSpeed, 10);
    EXPECT_EQ(v.keyScrollSpeed, 0);
}

TEST_F(SettingsDialogTest, SpinsWrapAtTheEndsOfTheirRanges) {
    Settings s;
    s.outlineThickness = 5;
    open(s);
    QTest::mouseClick(spin(1051), Qt::LeftButton, {}, QPoint(spin(1051)->width() / 2, 2));
    EXPECT_EQ(edit(1038)->text(), "1");
    QTest::mouseClick(spin(1051), Qt::LeftButton, {},
                      QPoint(spin(1051)->width() / 2, spin(1051)->height() - 2));
    EXPECT_EQ(edit(1038)->text(), "5");
    // The arrow keys in the field step as well, from what was typed.
    type(1039, "49");
    QTest::keyClick(edit(1039), Qt::Key_Up);
    EXPECT_EQ(edit(1039)->text(), "50");
    QTest::keyClick(edit(1039), Qt::Key_Up);
    EXPECT_EQ(edit(1039)->text(), "5");
    QTest::keyClick(edit(1039), Qt::Key_Down);
    EXPECT_EQ(edit(1039)->text(), "50");
}

TEST_F(SettingsDialogTest, TheBevelAndScrollingBoxesEnableTheirFields) {
    open();
    click(1050);
    EXPECT_FALSE(box(1050)->flagOn());
    for (int id : {1038, 1051, 1066})
        EXPECT_FALSE(dialog->item(id)->isEnabled()) << id;
    click(1050);
    for (int id : {1038, 1051, 1066})
        EXPECT_TRUE(dialog->item(id)->isEnabled()) << id;

    click(1052);
    for (int id : {1039, 1067, 1068, 1069})
        EXPECT_FALSE(dialog->item(id)->isEnabled()) << id;
    EXPECT_TRUE(edit(1070)->isEnabled());
    click(1053);
    click(1054);
    click(1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->values().threeD, 1);
    EXPECT_EQ(dialog->values().scrollEnabled, 0);
    EXPECT_EQ(dialog->values().showTimer, 0);
    EXPECT_EQ(dialog->values().exactAssembly, 1);
}

TEST_F(SettingsDialogTest, WithoutBevelTheThicknessShowsOneInADisabledField) {
    Settings s;
    s.threeD = 0;
    s.outlineThickness = 0;
    open(s);
    EXPECT_EQ(edit(1038)->text(), "1");
    EXPECT_FALSE(edit(1038)->isEnabled());
    EXPECT_FALSE(spin(1051)->isEnabled());
    EXPECT_FALSE(dialog->item(1066)->isEnabled());
    click(1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(dialog->values().threeD, 0);
}

TEST_F(SettingsDialogTest, SquareElementsRefuseToLeaveExactAssembly) {
    Settings s;
    s.exactAssembly = 1;
    open(s, true);
    click(1054);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              QString::fromUtf8("Для квадратных элементов определен только точный тип сборки."));
    EXPECT_EQ(messages.shown[0].kind, MessageKind::Information);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(box(1054)->flagOn());
    EXPECT_EQ(dialog->values().exactAssembly, 1);

    // Any other cut lets it go.
    open(s, false);
    click(1054);
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_FALSE(box(1054)->flagOn());
}

TEST_F(SettingsDialogTest, TheColourButtonRunsTheChooserWhileTheDialogIsOutOfSight) {
    open();
    bool hiddenWhileChoosing = false;
    int runs = 0;
    dialog->setColorChooser([&] {
        ++runs;
        hiddenWhileChoosing = !dialog->isVisible();
    });
    click(1066);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(hiddenWhileChoosing);
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace
