#include "ui/helpwindow.h"
#include "ui/skinbutton.h"
#include "ui/skindialog.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWhatsThis>

#include <gtest/gtest.h>

namespace {

const char* const kHelp = R"(<html><head><meta charset="utf-8"><title>Справка</title></head><body>
<h1><a name="256"></a>Содержание</h1>
<p><a name="12288"></a><b>Объемные элементы</b><br>Кайма справа и снизу.<!--end--></p>
<p><a name="12289"></a><b>толщина</b><br>От 1 до 5.<!--end--></p>
<p><a name="40960"></a><b>OK</b><br>Закрывает окно.</p>
<p><a name="40961"></a>Отмена без конца</p>
)";

QString writeHelp(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath(QStringLiteral("quix.hlp"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

class HelpDialog : public CSkinDialog {
public:
    HelpDialog() : CSkinDialog(158) {
        setDialogSize(200, 100);
        addEdit(1038, QRect(7, 7, 40, 12));
        addStatic(1087, QStringLiteral("толщина"), QRect(7, 25, 40, 10));
        addStatic(1099, QStringLiteral("без раздела"), QRect(7, 40, 60, 10));
        addButton(1, QStringLiteral("OK"), QRect(7, 70, 50, 14));
        setContextHelp({{1038, 12289}, {1087, 12289}, {1, 40960}});
    }
};

QPoint centreOf(QWidget* w) {
    return w->geometry().center();
}

TEST(HelpFileTest, TopicRunsFromItsAnchorToItsEndMarker) {
    const QString html = QString::fromUtf8(kHelp);
    EXPECT_EQ(HelpFile::topicFromHtml(html, 12288),
              QStringLiteral("<b>Объемные элементы</b><br>Кайма справа и снизу."));
    EXPECT_EQ(HelpFile::topicFromHtml(html, 12289), QStringLiteral("<b>толщина</b><br>От 1 до 5."));
    // A forgotten marker ends the topic at the next anchor rather than swallowing it.
    EXPECT_FALSE(HelpFile::topicFromHtml(html, 40960).contains(QStringLiteral("Отмена")));
    EXPECT_TRUE(HelpFile::topicFromHtml(html, 40961).contains(QStringLiteral("Отмена без конца")));
    EXPECT_TRUE(HelpFile::topicFromHtml(html, 777).isEmpty());
    EXPECT_TRUE(HelpFile::topicFromHtml(QString(), 256).isEmpty());
}

TEST(HelpFileTest, PopupReportsAMissingFileOrTopic) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("nothing.hlp"));
    EXPECT_TRUE(HelpFile::popupText(missing, 12288).contains(QStringLiteral("nothing.hlp")));
    const QString path = writeHelp(dir, QByteArray(kHelp));
    EXPECT_TRUE(HelpFile::popupText(path, 12288).contains(QStringLiteral("Кайма")));
    EXPECT_TRUE(HelpFile::popupText(path, 31337).contains(QStringLiteral("31337")));
    // Bytes that are not UTF-8 are a damaged file, reported as one.
    const QString broken = writeHelp(dir, QByteArray("<html>\xff\xfe\xfd</html>"));
    EXPECT_TRUE(HelpFile::popupText(broken, 12288).contains(QStringLiteral("quix.hlp")));
}

TEST(HelpWindowTest, OpensAtTheTopicAndReportsAMissingFileItself) {
    QTemporaryDir dir;
    QWidget owner;
    CHelpWindow* window = CHelpWindow::open(&owner, dir.filePath(QStringLiteral("quix.hlp")), 256);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->showsError());
    EXPECT_TRUE(window->toPlainText().contains(QStringLiteral("quix.hlp")));

    // Reopening shows the same window, now on the written file at its topic.
    const QString path = writeHelp(dir, QByteArray(kHelp));
    EXPECT_EQ(CHelpWindow::open(&owner, path, 256), window);
    EXPECT_FALSE(window->showsError());
    EXPECT_EQ(window->source().fragment(), QStringLiteral("256"));
    EXPECT_TRUE(window->toPlainText().contains(QStringLiteral("Кайма справа и снизу")));
    window->close();
}

TEST(ContextHelpTest, ControlsWithATopicShowItAndOthersShowNothing) {
    QTemporaryDir dir;
    HelpDialog dialog;
    dialog.setHelpFile(writeHelp(dir, QByteArray(kHelp)));
    QSignalSpy shown(&dialog, &CSkinDialog::contextHelpShown);
    EXPECT_EQ(dialog.showContextHelp(centreOf(dialog.item(1038)), QPoint(100, 100)), 12289);
    EXPECT_EQ(dialog.showContextHelp(centreOf(dialog.item(1087)), QPoint(100, 100)), 12289);
    EXPECT_EQ(dialog.showContextHelp(centreOf(dialog.item(1)), QPoint(100, 100)), 40960);
    EXPECT_EQ(dialog.showContextHelp(centreOf(dialog.item(1099)), QPoint(100, 100)), 0);
    EXPECT_EQ(dialog.showContextHelp(QPoint(dialog.width() / 2, dialog.height() - 3), QPoint(100, 100)), 0);
    ASSERT_EQ(shown.size(), 3);
    QWhatsThis::hideText();
}

TEST(ContextHelpTest, QuestionButtonEntersContextHelpModeAndAClickShowsTheTopic) {
    QTemporaryDir dir;
    HelpDialog dialog;
    dialog.setHelpFile(writeHelp(dir, QByteArray(kHelp)));
    dialog.show();
    CSkinButton* question = dialog.contextHelpButton();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->objectName(), QLatin1String(CSkinDialog::contextHelpButtonName));
    EXPECT_EQ(question->text(), QStringLiteral("?"));
    EXPECT_LE(question->geometry().right(), dialog.width() - 1);

    QSignalSpy shown(&dialog, &CSkinDialog::contextHelpShown);
    QTest::mouseClick(question, Qt::LeftButton);
    EXPECT_TRUE(QWhatsThis::inWhatsThisMode());
    // What a click in that mode sends to the control under the mouse.
    QWidget* edit = dialog.item(1038);
    QHelpEvent click(QEvent::WhatsThis, edit->rect().center(), edit->mapToGlobal(edit->rect().center()));
    QApplication::sendEvent(edit, &click);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.at(0).at(0).toInt(), 12289);
    EXPECT_TRUE(click.isAccepted());

    QHelpEvent none(QEvent::WhatsThis, QPoint(2, 2), dialog.item(1099)->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(dialog.item(1099), &none);
    EXPECT_EQ(shown.size(), 1);
    EXPECT_FALSE(none.isAccepted());
    QWhatsThis::leaveWhatsThisMode();
    QWhatsThis::hideText();
}

} // namespace
