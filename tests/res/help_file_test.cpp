#include "game/recordstore.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

#include <gtest/gtest.h>

namespace {

QByteArray readHelpFile() {
    // The help file sits in res/ of the source tree.
    QFile file(QStringLiteral(PUZZLE_SOURCE_DIR "/res/quix.hlp"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString helpText() {
    const QByteArray bytes = readHelpFile();
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return {};
    return text;
}

QSet<QString> anchorNames(const QString& html) {
    static const QRegularExpression re(QStringLiteral("<a name=\"([^\"]+)\">"));
    QSet<QString> names;
    for (auto it = re.globalMatch(html); it.hasNext();)
        names.insert(it.next().captured(1));
    return names;
}

// Context help of the dialogs and the contents command open these topics.
const int kControlTopics[] = {4096,  4097,  8192,  8193,  8194,  12288, 12289, 12290, 12291,
                              12292, 12293, 12294, 12295, 12296, 12297, 16384, 16385, 16386,
                              16387, 20480, 20481, 20482, 20483, 20484, 20485, 20486, 20487,
                              20488, 20489, 20490, 20491, 20492, 20493, 20494, 40960, 40961};

TEST(HelpFile, IsUtf8HtmlWithContentsTopic) {
    const QString html = helpText();
    ASSERT_FALSE(html.isEmpty()) << "res/quix.hlp missing or not valid UTF-8";
    EXPECT_TRUE(html.contains(QStringLiteral("<html")));
    EXPECT_TRUE(html.contains(QStringLiteral("charset=utf-8")));
    EXPECT_TRUE(anchorNames(html).contains(QStringLiteral("256")));
}

// Every control topic is one anchor and a short text that ends before the next topic begins, so
// that the text can be shown on its own.
TEST(HelpFile, EveryControlTopicHasOneAnchorAndAnEnd) {
    const QString html = helpText();
    ASSERT_FALSE(html.isEmpty());
    for (int topic : kControlTopics) {
        const QString anchor = QStringLiteral("<a name=\"%1\">").arg(topic);
        const qsizetype start = html.indexOf(anchor);
        ASSERT_GE(start, 0) << "topic " << topic;
        EXPECT_EQ(html.indexOf(anchor, start + 1), -1) << "topic " << topic << " given twice";
        const qsizetype end = html.indexOf(QStringLiteral("<!--end-->"), start);
        ASSERT_GT(end, start) << "topic " << topic;
        const QString body = html.mid(start + anchor.size(), end - start - anchor.size());
        EXPECT_FALSE(body.contains(QStringLiteral("<a name="))) << "topic " << topic;
        EXPECT_GT(body.trimmed().size(), 20) << "topic " << topic;
    }
}

TEST(HelpFile, InternalLinksLeadToAnchors) {
    const QString html = helpText();
    ASSERT_FALSE(html.isEmpty());
    const QSet<QString> names = anchorNames(html);
    static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
    int links = 0;
    for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
        const QString target = it.next().captured(1);
        EXPECT_TRUE(names.contains(target)) << "broken link #" << target.toStdString();
    }
    EXPECT_GT(links, 0);
}

// The page about loading pictures names the types that load, as the picture dialog offers them.
TEST(HelpFile, PicturePageNamesThePictureTypes) {
    const QString html = helpText();
    const qsizetype start = html.indexOf(QStringLiteral("<a name=\"picture\">"));
    ASSERT_GE(start, 0);
    const QString page = html.mid(start, html.indexOf(QStringLiteral("<hr>"), start) - start);
    for (const char* suffix : {"bmp", "dib", "jpg", "jpeg", "png", "gif", "tif", "tiff", "webp", "ico"})
        EXPECT_TRUE(page.contains(QStringLiteral("<code>*.%1</code>").arg(QLatin1String(suffix)))) << suffix;
    EXPECT_TRUE(page.contains(QString::fromUtf8("«Все картинки")));
}

// The records page names the files as the records store writes them.
TEST(HelpFile, RecordsPageNamesTheRecordsFiles) {
    const QString html = helpText();
    const qsizetype start = html.indexOf(QStringLiteral("<a name=\"records\">"));
    ASSERT_GE(start, 0);
    const QString page = html.mid(start, html.indexOf(QStringLiteral("<h3>"), start) - start);
    for (const QString& name : {RecordStore::fileName(), RecordStore::damagedFileName()})
        EXPECT_TRUE(page.contains(QStringLiteral("<code>%1</code>").arg(name))) << name.toStdString();
}

} // namespace
