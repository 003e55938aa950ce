#include "ui/helpwindow.h"

#include "game/programfolders.h"
#include "model/durablefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QUrl>
#include <QWhatsThis>

namespace {
const char* const kCannotOpen = "Не удается открыть файл справки\n%1";
const char* const kNoTopic = "Раздел справки %1 не найден в файле\n%2";
const char* const kWindowTitle = "Puzzle — Справка";
} // namespace

QPointer<CHelpWindow> CHelpWindow::instance_;

namespace HelpFile {

QString defaultPath() {
    return ProgramFolders::current().helpFile();
}

QString topicFromHtml(const QString& html, int topic) {
    const QString anchor = QStringLiteral("<a name=\"%1\">").arg(topic);
    const qsizetype start = html.indexOf(anchor);
    if (start < 0)
        return {};
    const qsizetype from = start + anchor.size();
    // The topic ends at its marker, or at the next topic if the marker was forgotten.
    qsizetype end = html.indexOf(QStringLiteral("<!--end-->"), from);
    const qsizetype next = html.indexOf(QStringLiteral("<a name="), from);
    if (end < 0 || (next >= 0 && next < end))
        end = next;
    if (end < 0)
        end = html.size();
    QString body = html.mid(from, end - from);
    if (body.startsWith(QStringLiteral("</a>")))
        body.remove(0, 4);
    return body.trimmed();
}

bool read(const QString& path, QString& html, QString& error) {
    QFile file(path);
    const QString cannotOpen = QString::fromUtf8(kCannotOpen).arg(QDir::toNativeSeparators(path));
    if (!openRegularFile(file) || file.size() > maxFileSize) {
        error = cannotOpen;
        return false;
    }
    const QByteArray bytes = file.read(maxFileSize);
    QStringDecoder decoder(QStringDecoder::Utf8);
    html = decoder(bytes);
    if (decoder.hasError()) {
        error = cannotOpen;
        return false;
    }
    return true;
}

QString popupText(const QString& path, int topic) {
    QString html, error;
    if (!read(path, html, error))
        return error.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    const QString body = topicFromHtml(html, topic);
    if (body.isEmpty())
        return QString::fromUtf8(kNoTopic)
            .arg(topic)
            .arg(QDir::toNativeSeparators(path))
            .toHtmlEscaped()
            .replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return body;
}

void showPopup(const QPoint& globalPos, const QString& path, int topic, QWidget* owner) {
    // The pop-up takes rich text only when it can tell; a <qt> wrapper makes sure.
    QWhatsThis::showText(globalPos, QStringLiteral("<qt>") + popupText(path, topic) + QStringLiteral("</qt>"),
                         owner);
}

} // namespace HelpFile

CHelpWindow::CHelpWindow(QWidget* owner) : QTextBrowser(owner) {
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QString::fromUtf8(kWindowTitle));
    setOpenExternalLinks(false);
    resize(640, 560);
}

CHelpWindow* CHelpWindow::current() {
    return instance_.data();
}

CHelpWindow* CHelpWindow::open(QWidget* owner, const QString& path, int topic) {
    if (!instance_)
        instance_ = new CHelpWindow(owner);
    instance_->showTopic(path, topic);
    instance_->show();
    instance_->raise();
    instance_->activateWindow();
    return instance_.data();
}

void CHelpWindow::showTopic(const QString& path, int topic) {
    QString html, error;
    if (!HelpFile::read(path, html, error)) {
        // The window itself tells what went wrong, as a help viewer does.
        showsError_ = true;
        setSource(QUrl());
        setPlainText(error);
        return;
    }
    showsError_ = false;
    // The file is HTML whatever its name; its own links (#topic) keep working through the URL.
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    url.setFragment(QString::number(topic));
    setSource(url, QTextDocument::HtmlResource);
}
