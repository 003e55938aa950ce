#pragma once

#include <QPointer>
#include <QString>
#include <QTextBrowser>

// The help file "quix.hlp" in the program's data folder: HTML with one anchor <a name="N"> per
// topic number. A topic used for context help runs from its anchor to the marker <!--end-->.
namespace HelpFile {
constexpr int contentsTopic = 256;
// Larger files are refused rather than read.
constexpr qint64 maxFileSize = 16 * 1024 * 1024;

// "quix.hlp" in the program's data folder.
QString defaultPath();
// The text of one topic (HTML), or an empty string if the file has no such topic.
QString topicFromHtml(const QString& html, int topic);
// Reads the whole file as UTF-8; false (and an error text for the player) if it cannot.
bool read(const QString& path, QString& html, QString& error);
// The pop-up of a control's topic at a point on the screen. A file that cannot be read, or a
// topic it does not hold, is reported in the pop-up itself.
void showPopup(const QPoint& globalPos, const QString& path, int topic, QWidget* owner);
// What the pop-up shows for that topic.
QString popupText(const QString& path, int topic);
} // namespace HelpFile

// The help window: the help file in a browser, opened at a topic. One exists at a time; once
// opened it lives on independently of whoever opened it, owned by the main window.
class CHelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    // Shows the window (creating it if needed) at the topic of the file.
    static CHelpWindow* open(QWidget* owner, const QString& path, int topic);
    static CHelpWindow* current();

    void showTopic(const QString& path, int topic);
    // True when the last file could not be read and the window shows why instead.
    bool showsError() const { return showsError_; }

private:
    explicit CHelpWindow(QWidget* owner);

    bool showsError_ = false;
    static QPointer<CHelpWindow> instance_;
};
