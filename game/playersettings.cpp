#include "game/playersettings.h"

#include "board/background.h"
#include "game/backgroundchoice.h"
#include "game/programfolders.h"
#include "model/durablefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMaxPathLength = 4096;
// Far beyond any screen, small enough that sums of them never overflow.
constexpr int kMaxCoordinate = 100000;
constexpr int kMinWindowSide = 100;
// A stored whole number in lo..hi, or nothing.
std::optional<int> readInt(const QSettings& file, const QString& key, qint64 lo, qint64 hi) {
    const QVariant value = file.value(key);
    if (!value.isValid())
        return std::nullopt;
    bool ok = false;
    const qint64 n = value.toString().trimmed().toLongLong(&ok);
    if (!ok || n < lo || n > hi)
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<int> readFlag(const QSettings& file, const QString& key) {
    return readInt(file, key, 0, 1);
}

// The preview window's own minimum.
constexpr int kMinPreviewSide = 40;

// A place and size stored under `group`, each value in range, or nothing.
std::optional<QRect> readRect(const QSettings& file, const QString& group, int minSide) {
    const auto x = readInt(file, group + QStringLiteral("/x"), -kMaxCoordinate, kMaxCoordinate);
    const auto y = readInt(file, group + QStringLiteral("/y"), -kMaxCoordinate, kMaxCoordinate);
    const auto w = readInt(file, group + QStringLiteral("/width"), minSide, kMaxCoordinate);
    const auto h = readInt(file, group + QStringLiteral("/height"), minSide, kMaxCoordinate);
    if (!x || !y || !w || !h)
        return std::nullopt;
    return QRect(*x, *y, *w, *h);
}

void writeRect(QSettings& file, const QRect& rect) {
    file.setValue(QStringLiteral("x"), rect.x());
    file.setValue(QStringLiteral("y"), rect.y());
    file.setValue(QStringLiteral("width"), rect.width());
    file.setValue(QStringLiteral("height"), rect.height());
}

// Colours are stored as "#rrggbb" and nothing else is taken for one.
std::optional<QColor> readColor(const QSettings& file, const QString& key) {
    const QString text = file.value(key).toString().trimmed();
    if (text.size() != 7 || !text.startsWith(QLatin1Char('#')))
        return std::nullopt;
    bool ok = false;
    const uint rgb = QStringView(text).mid(1).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return QColor::fromRgb(QRgb(rgb));
}

template <class T> void take(std::optional<T> value, T& into) {
    if (value)
        into = *value;
}

QString colorText(const QColor& c) {
    return c.name(QColor::HexRgb);
}

} // namespace

void PlayerSettings::takeBackground(const BackgroundState& background) {
    bitmapBackground = background.bitmapBackground;
    backgroundBitmapId = background.backgroundBitmapId;
    backgroundColor = background.backgroundColor;
    textColor = background.textColor;
}

void PlayerSettings::giveBackground(BackgroundState& background) const {
    background.bitmapBackground = bitmapBackground;
    background.backgroundColor = backgroundColor;
    background.textColor = textColor;
    if (bitmapBackground == 0)
        background.hasBackgroundBrush = true;
    if (background.backgroundBitmapId != backgroundBitmapId || background.texture.isNull()) {
        background.backgroundBitmapId = backgroundBitmapId;
        background.loadTexture();
    }
}

QString SettingsFile::defaultPath() {
    return ProgramFolders::current().configFolder() + QStringLiteral("settings.ini");
}

void SettingsFile::load(PlayerSettings& into) {
    const QFileInfo info(path_);
    if (!info.isFile() || info.size() > maxFileSize)
        return;
    const QSettings file(path_, QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        return;

    Settings& s = into.settings;
    take(readInt(file, QStringLiteral("settings/captureArea"), Settings::minCaptureArea,
                 Settings::maxCaptureArea),
         s.captureArea);
    take(readInt(file, QStringLiteral("settings/scrollArea"), Settings::minScrollArea,
                 Settings::maxScrollArea),
         s.scrollArea);
    take(readInt(file, QStringLiteral("settings/mouseScrollSpeed"), Settings::minMouseScrollSpeed,
                 Settings::maxMouseScrollSpeed),
         s.mouseScrollSpeed);
    take(
        readInt(file, QStringLiteral("settings/keyScrollSpeed"), 0, std::numeric_limits<std::int32_t>::max()),
        s.keyScrollSpeed);
    take(readFlag(file, QStringLiteral("settings/scrollEnabled")), s.scrollEnabled);
    take(readFlag(file, QStringLiteral("settings/showTimer")), s.showTimer);
    take(readFlag(file, QStringLiteral("settings/exactAssembly")), s.exactAssembly);
    take(readColor(file, QStringLiteral("settings/outlineColor")), s.outlineColor);
    // The bevel and its thickness go together: without the bevel there is no outline band.
    const std::optional<int> threeD = readFlag(file, QStringLiteral("settings/threeD"));
    const std::optional<int> thickness = readInt(file, QStringLiteral("settings/outlineThickness"),
                                                 Settings::minOutline, Settings::maxOutline);
    if (threeD == 0) {
        s.threeD = 0;
        s.outlineThickness = 0;
    } else if (threeD == 1) {
        s.threeD = 1;
        if (thickness)
            s.outlineThickness = *thickness;
        else if (s.outlineThickness == 0)
            s.outlineThickness = Settings().outlineThickness;
    }

    const std::optional<int> texture = readInt(file, QStringLiteral("background/bitmapId"), 0, 65535);
    if (texture && isBackgroundTexture(*texture))
        into.backgroundBitmapId = *texture;
    take(readColor(file, QStringLiteral("background/color")), into.backgroundColor);
    take(readFlag(file, QStringLiteral("background/texture")), into.bitmapBackground);
    // The clock's text colour goes with the background; a missing one is the background's own.
    if (const std::optional<QColor> text = readColor(file, QStringLiteral("background/textColor")))
        into.textColor = *text;
    else if (into.bitmapBackground == 0)
        into.textColor = textColorForSolid(into.backgroundColor);
    else if (const BackgroundTexture* t = backgroundTextureWithBitmap(into.backgroundBitmapId))
        into.textColor = t->textColor;

    if (const std::optional<int> left = readFlag(file, QStringLiteral("play/leftButtonMovesBlocks")))
        into.leftButtonMovesBlocks = *left != 0;

    const QString folder = file.value(QStringLiteral("pictures/folder")).toString();
    if (!folder.isEmpty() && folder.size() <= kMaxPathLength && QFileInfo(folder).isAbsolute() &&
        std::none_of(folder.begin(), folder.end(), [](QChar c) { return c.unicode() < 0x20; }))
        into.pictureFolder = folder;

    if (const std::optional<QRect> window = readRect(file, QStringLiteral("window"), kMinWindowSide)) {
        into.window = window;
        if (const std::optional<int> maximised = readFlag(file, QStringLiteral("window/maximised")))
            into.maximised = *maximised != 0;
    }
    if (const std::optional<QRect> preview = readRect(file, QStringLiteral("preview"), kMinPreviewSide))
        into.preview = preview;
}

bool SettingsFile::save(const PlayerSettings& from) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    // Written whole beside the file and renamed over it: whatever stands there (a huge or a
    // damaged file, a pipe) is replaced, never read.
    DurableFiles files;
    const QString part = path_ + DurableFiles::partSuffix();
    if (!files.remove(part))
        return false;
    {
        QSettings file(part, QSettings::IniFormat);
        file.clear();
        if (!fill(file, from))
            return false;
    }
    if (files.rename(part, path_) && files.syncFolder(QFileInfo(path_).absolutePath()))
        return true;
    files.remove(part);
    return false;
}

bool SettingsFile::fill(QSettings& file, const PlayerSettings& from) {
    const Settings& s = from.settings;
    file.beginGroup(QStringLiteral("settings"));
    file.setValue(QStringLiteral("captureArea"), s.captureArea);
    file.setValue(QStringLiteral("outlineThickness"), s.outlineThickness);
    file.setValue(QStringLiteral("scrollArea"), s.scrollArea);
    file.setValue(QStringLiteral("mouseScrollSpeed"), s.mouseScrollSpeed);
    file.setValue(QStringLiteral("keyScrollSpeed"), s.keyScrollSpeed);
    file.setValue(QStringLiteral("threeD"), s.threeD);
    file.setValue(QStringLiteral("scrollEnabled"), s.scrollEnabled);
    file.setValue(QStringLiteral("showTimer"), s.showTimer);
    file.setValue(QStringLiteral("exactAssembly"), s.exactAssembly);
    file.setValue(QStringLiteral("outlineColor"), colorText(s.outlineColor));
    file.endGroup();
    file.beginGroup(QStringLiteral("background"));
    file.setValue(QStringLiteral("texture"), from.bitmapBackground);
    file.setValue(QStringLiteral("bitmapId"), from.backgroundBitmapId);
    file.setValue(QStringLiteral("color"), colorText(from.backgroundColor));
    file.setValue(QStringLiteral("textColor"), colorText(from.textColor));
    file.endGroup();
    file.setValue(QStringLiteral("play/leftButtonMovesBlocks"), from.leftButtonMovesBlocks ? 1 : 0);
    if (!from.pictureFolder.isEmpty())
        file.setValue(QStringLiteral("pictures/folder"), from.pictureFolder);
    if (from.window) {
        file.beginGroup(QStringLiteral("window"));
        writeRect(file, *from.window);
        file.setValue(QStringLiteral("maximised"), from.maximised ? 1 : 0);
        file.endGroup();
    }
    if (from.preview) {
        file.beginGroup(QStringLiteral("preview"));
        writeRect(file, *from.preview);
        file.endGroup();
    }
    file.sync();
    return file.status() == QSettings::NoError;
}

QRect fitWindow(const QRect& window, const QRect& available) {
    if (available.isEmpty())
        return window;
    QRect fitted(window.topLeft(), QSize(std::min(window.width(), available.width()),
                                         std::min(window.height(), available.height())));
    fitted.moveLeft(std::clamp(fitted.left(), available.left(), available.right() - fitted.width() + 1));
    fitted.moveTop(std::clamp(fitted.top(), available.top(), available.bottom() - fitted.height() + 1));
    return fitted;
}
