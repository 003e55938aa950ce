#include "fakes.h"
#include "modal.h"
#include "res/strings.h"
#include "ui/messageboxdialog.h"
#include "ui/messageboxes.h"
#include "ui/skin.h"

#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

enum class Act { ClickOk, ClickYes, ClickNo, Escape, CloseWindow };

struct BoxCase {
    MessageKind kind;
    int buttons;
    Act act;
    int expected;
};

void perform(QWidget* modal, Act act) {
    auto* box = qobject_cast<CMessageBoxDialog*>(modal);
    ASSERT_NE(box, nullptr);
    switch (act) {
    case Act::ClickOk:
        QTest::mouseClick(box->item(MessageBoxControl::ok), Qt::LeftButton);
        break;
    case Act::ClickYes:
        QTest::mouseClick(box->item(MessageBoxControl::yes), Qt::LeftButton);
        break;
    case Act::ClickNo:
        QTest::mouseClick(box->item(MessageBoxControl::no), Qt::LeftButton);
        break;
    case Act::Escape:
        QTest::keyClick(box, Qt::Key_Escape);
        break;
    case Act::CloseWindow:
        box->close();
        break;
    }
}

TEST(MessageBoxTest, ResultsPerKindAndButtonSetWithOneBeepBeforeTheBoxShows) {
    const BoxCase cases[] = {
        {MessageKind::Error, MessageButtons::Ok, Act::ClickOk, 1},
        {MessageKind::Warning, MessageButtons::Ok, Act::ClickOk, 1},
        {MessageKind::Information, MessageButtons::Ok, Act::Escape, 2},
        {MessageKind::Plain, MessageButtons::Ok, Act::CloseWindow, 2},
        {MessageKind::Question, MessageButtons::YesNo, Act::ClickYes, 6},
        {MessageKind::Question, MessageButtons::YesNo, Act::ClickNo, 7},
        {MessageKind::Question, MessageButtons::YesNo, Act::Escape, 2},
        {MessageKind::Question, MessageButtons::YesNo, Act::CloseWindow, 2},
        {MessageKind::Error, MessageButtons::YesNo, Act::ClickNo, 7},
    };
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << " buttons " << c.buttons);
        FakeSound sound;
        auto service = createProgramMessageBox(&sound);
        const QString expectedBeep = c.kind == MessageKind::Plain
                                         ? QString()
                                         : QStringLiteral("beep:%1").arg(static_cast<int>(c.kind));
        QStringList playedWhenShown;
        QString caption, shownClass;
        onNextModal([&](QWidget* modal) {
            playedWhenShown = sound.played;
            caption = modal->windowTitle();
            shownClass = QString::fromLatin1(modal->metaObject()->className());
            perform(modal, c.act);
        });
        EXPECT_EQ(service->messageBox(QStringLiteral("Текст"), c.kind, c.buttons), c.expected);
        EXPECT_EQ(caption, QStringLiteral("Puzzle"));
        EXPECT_EQ(shownClass,
                  c.buttons == MessageButtons::Ok ? QStringLiteral("COkBox") : QStringLiteral("CYesNoBox"));
        // The beep has sounded by the time the box is on the screen, and only once.
        const QStringList expected = expectedBeep.isEmpty() ? QStringList() : QStringList{expectedBeep};
        EXPECT_EQ(playedWhenShown, expected);
        EXPECT_EQ(sound.played, expected);
    }
}

TEST(MessageBoxTest, OtherButtonValuesReturnMinusOneAndShowNothing) {
    for (int buttons : {-1, 1, 2, 3, 5, 16}) {
        FakeSound sound;
        EXPECT_EQ(messageBox(&sound, QStringLiteral("x"), QStringLiteral("Puzzle"), SystemIcon::hand,
                             SoundType::hand, buttons),
                  MessageResult::Invalid)
            << buttons;
        EXPECT_TRUE(sound.played.isEmpty());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST(MessageBoxTest, MessageBoxByIdShowsTheStringTableText) {
    FakeSound sound;
    QString shownText;
    onNextModal([&](QWidget* modal) {
        shownText = static_cast<CMessageBoxDialog*>(modal)->text();
        modal->close();
    });
    messageBoxById(&sound, 32776, QStringLiteral("Puzzle"), SystemIcon::asterisk, SoundType::asterisk, 0);
    EXPECT_EQ(shownText, loadString(32776));
    EXPECT_FALSE(shownText.isEmpty());
    EXPECT_EQ(sound.played,
              QStringList{QStringLiteral("beep:%1").arg(static_cast<int>(MessageKind::Information))});
}

TEST(MessageBoxTest, GrowthForLongLines) {
    EXPECT_EQ(CMessageBoxDialog::growthFor(450, 160), 292);
    EXPECT_EQ(CMessageBoxDialog::growthFor(900, 160), 442); // as a 600-pixel line
    EXPECT_EQ(CMessageBoxDialog::growthFor(600, 160), 442);
    EXPECT_EQ(CMessageBoxDialog::growthFor(160, 160), 0);
    EXPECT_EQ(CMessageBoxDialog::growthFor(100, 160), 0);
}

TEST(MessageBoxTest, WideningMovesButtonsByHalfAndKeepsTheHeight) {
    for (int widest : {450, 900}) {
        const int growth = widest == 450 ? 292 : 442;
        COkBox ok(QString(), QStringLiteral("Puzzle"));
        CYesNoBox yesNo(QString(), QStringLiteral("Puzzle"));
        for (CMessageBoxDialog* box :
             {static_cast<CMessageBoxDialog*>(&ok), static_cast<CMessageBoxDialog*>(&yesNo)}) {
            QWidget* area = box->textArea();
            area->resize(160, area->height());
            const QSize before = box->size();
            const int areaHeight = area->height();
            QList<int> buttonX;
            for (int id : {MessageBoxControl::ok, MessageBoxControl::yes, MessageBoxControl::no})
                buttonX.append(box->item(id) ? box->item(id)->x() : -1);
            box->widenFor(widest);
            EXPECT_EQ(box->size(), QSize(before.width() + growth, before.height()));
            EXPECT_EQ(area->size(), QSize(160 + growth, areaHeight));
            int i = 0;
            for (int id : {MessageBoxControl::ok, MessageBoxControl::yes, MessageBoxControl::no}) {
                if (QWidget* b = box->item(id)) {
                    EXPECT_EQ(b->x(), buttonX[i] + growth / 2) << id;
                }
                ++i;
            }
        }
    }
}

TEST(MessageBoxTest, OpeningMeasuresEachLineWithTheMessageFont) {
    const QString shortLine = QStringLiteral("Да");
    const QString longLine = QString(40, QLatin1Char('W'));
    COkBox box(shortLine + QLatin1Char('\n') + longLine + QLatin1Char('\n') + shortLine,
               QStringLiteral("Puzzle"));
    const QSize resourceSize = box.size();
    const int areaWidth = box.textArea()->width();
    ASSERT_EQ(resourceSize, QSize(Skin::dluX(123), Skin::dluY(69)));
    box.ensureInitialized();
    const int widest = QFontMetrics(Skin::objects().messageFont).horizontalAdvance(longLine);
    ASSERT_GT(widest, areaWidth);
    EXPECT_EQ(box.width(), resourceSize.width() + std::min(widest, 600) - areaWidth + 2);
    EXPECT_EQ(box.height(), resourceSize.height());
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Puzzle"));
}

TEST(MessageBoxTest, EmptyTextKeepsTheResourceSizeWithOnlyTheIcon) {
    COkBox box(QString(), QStringLiteral("Puzzle"));
    box.setIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical));
    box.ensureInitialized();
    EXPECT_EQ(box.size(), QSize(Skin::dluX(123), Skin::dluY(69)));
    EXPECT_EQ(box.textArea()->width(), Skin::dluX(34 + 80) - Skin::dluX(34));
    auto* icon = box.itemAs<QLabel>(MessageBoxControl::icon);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
}

TEST(MessageBoxTest, TextIsDrawnInTheLabelColourOnTheStripes) {
    COkBox box(QStringLiteral("Ошибка"), QStringLiteral("Puzzle"));
    box.ensureInitialized();
    const QImage image = box.textArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int label = 0, other = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == SkinColor::label)
                ++label;
            else if (c != SkinColor::stripeLight && c != SkinColor::stripeDark && c.red() < c.blue())
                ++other; // no colour of its own: only the text colour blended into the stripes
        }
    EXPECT_GT(label, 10);
    EXPECT_EQ(other, 0);
}

TEST(MessageBoxTest, FieldWarningUsesTheStandardBoxThenSelectsTheField) {
    QDialog dialog;
    auto* edit = new QLineEdit(QStringLiteral("12x"), &dialog);
    edit->setObjectName(QStringLiteral("control1037"));
    auto* other = new QLineEdit(&dialog);
    other->setFocus();
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    onNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        box->accept();
    });
    fieldWarning(&dialog, 1037, QStringLiteral("Введите целое число."));
    EXPECT_EQ(title, QStringLiteral("Puzzle"));
    EXPECT_EQ(text, QStringLiteral("Введите целое число."));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(dialog.focusWidget(), edit);
    EXPECT_EQ(edit->selectedText(), QStringLiteral("12x"));
}

} // namespace
