#pragma once

#include "model/settings.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <optional>

class QSettings;
struct BackgroundState;

// What the program remembers between runs: the settings dialog's values with the outline
// colour, the background, the folder the last picture came from, the main window's place and
// the place the player gave the picture preview.
struct PlayerSettings {
    Settings settings;

    // The option of the actions menu: a left drag on a member of a block moves the block.
    bool leftButtonMovesBlocks = false;

    int bitmapBackground = 1;
    int backgroundBitmapId = 192;
    QColor backgroundColor = QColor(125, 125, 0);
    QColor textColor = QColor(0, 0, 0);

    QString pictureFolder;
    // The window's place and size when not maximised (its client area), and whether it was.
    std::optional<QRect> window;
    bool maximised = false;
    // The picture preview's place and size, once the player has moved or resized it.
    std::optional<QRect> preview;

    friend bool operator==(const PlayerSettings&, const PlayerSettings&) = default;

    // The background as a state: the texture is loaded when it is shown.
    void takeBackground(const BackgroundState& background);
    void giveBackground(BackgroundState& background) const;
};

// Where the remembered settings are kept. Reading fills in only what is stored and checks out
// against the ranges the settings dialog enforces; anything missing, damaged or out of range
// leaves the value it replaces as it was.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual void load(PlayerSettings& settings) = 0;
    // False when the settings could not be written.
    virtual bool save(const PlayerSettings& settings) = 0;
};

// An INI file, by default "settings.ini" in the program's settings folder.
class SettingsFile : public ISettingsStore {
public:
    // A file larger than this is not a settings file of ours and is not read.
    static constexpr qint64 maxFileSize = 64 * 1024;
    static QString defaultPath();

    explicit SettingsFile(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }

    void load(PlayerSettings& settings) override;
    bool save(const PlayerSettings& settings) override;

private:
    // Writes every value and syncs: false when the file could not be written.
    static bool fill(QSettings& file, const PlayerSettings& from);

    QString path_;
};

// Where a remembered window goes on the screen as it is now: no larger than the usable area and
// moved inside it, so a window from a larger screen or a screen no longer there stays in reach.
QRect fitWindow(const QRect& window, const QRect& available);
