#include "settings/Settings.h"

#include <algorithm>

#include "settings/SettingsKeys.h"

namespace {

constexpr int MaxScreensPerWindow = 4;  // a window may span up to four times the largest screen
// A stored place is kept while this much of the window's top row (where its title bar is grabbed
// to move it) shows on one screen.
constexpr qint64 MinVisibleWidth = 100;
constexpr qint64 MinVisibleHeight = 50;
constexpr int MinEditSize = 120;
constexpr int MaxEditSize = 4000;

// Pixels of the span [start, start + length) that fall into [lo, lo + extent), in 64 bits so
// that any stored value is safe.
qint64 overlap(qint64 start, qint64 length, qint64 lo, qint64 extent)
{
    return std::min(start + length, lo + extent) - std::max(start, lo);
}

// The window's top row shows on one of the screens: it starts on the screen, at least
// MinVisibleHeight above its bottom, with at least MinVisibleWidth pixels of its width on it.
bool topRowShows(const WindowBounds& b, const QList<QRect>& screens)
{
    for (const QRect& screen : screens) {
        if (overlap(b.left, b.width, screen.x(), screen.width()) >= MinVisibleWidth && b.top >= screen.y() &&
            qint64{b.top} + MinVisibleHeight <= qint64{screen.y()} + screen.height())
            return true;
    }
    return false;
}

}  // namespace

void readStartupSettings(const SettingsFile& file, RunState& run, ChannelSetup& channels, ColourScheme& colours,
                         WindowBounds& shell)
{
    using namespace Key;
    shell.top = file.readInteger(Section_MainForm, MainForm_Top, shell.top);
    shell.left = file.readInteger(Section_MainForm, MainForm_Left, shell.left);
    shell.width = file.readInteger(Section_MainForm, MainForm_Width, shell.width);
    shell.height = file.readInteger(Section_MainForm, MainForm_Height, shell.height);

    run.DemoMode = file.readBool(Section_Hardware, Hardware_DemoMode, run.DemoMode);
    // An offset that neither the recorder takes (Offset: 10 bits, 0..1023) nor a calibration finds
    // (Offset4: 512 minus an average of 0..1023) is not a calibration: like a value that is not a
    // number it leaves the default. Every sum with a sample stays small.
    const int offset = file.readInteger(Section_Hardware, Hardware_Offset, channels.HwOffset);
    if (offset >= 0 && offset <= 1023)
        channels.HwOffset = offset;
    const int offset4 = file.readInteger(Section_Hardware, Hardware_Offset4, channels.HwOffset4);
    if (offset4 >= 512 - 1023 && offset4 <= 512)
        channels.HwOffset4 = offset4;
    for (int n = 0; n < static_cast<int>(colours.SettingsColors.size()); ++n)
        colours.SettingsColors[n] = file.readInteger(Section_Colors, Colors_Keys[n], colours.SettingsColors[n]);

    deriveColours(colours);
}

void readAppSettings(const SettingsFile& file, AppSettings& settings)
{
    using namespace Key;
    WindowBounds& window = settings.window;
    window.top = file.readInteger(Section_MainForm, MainForm_Top, window.top);
    window.left = file.readInteger(Section_MainForm, MainForm_Left, window.left);
    window.width = file.readInteger(Section_MainForm, MainForm_Width, window.width);
    window.height = file.readInteger(Section_MainForm, MainForm_Height, window.height);
    settings.calibrationDue = file.readBool(Section_Hardware, Hardware_HWdialog, settings.calibrationDue);
    settings.skin = file.readInteger(Section_Menu, Menu_Skin, settings.skin);
}

bool readAndMarkRunning(SettingsFile& file, AppSettings& settings, QString* error)
{
    settings.wasRunning = file.readBool(Key::Section_Status, Key::Status_Running, false);
    file.writeBool(Key::Section_Status, Key::Status_Running, true);
    return file.flush(error);
}

void readEditFormSize(const SettingsFile& file, int& width, int& height)
{
    width = file.readInteger(Key::Section_EditForm, Key::EditForm_Width, width);
    height = file.readInteger(Key::Section_EditForm, Key::EditForm_Height, height);
}

void writeShutdownSettings(SettingsFile& file, const RunState& run, const ChannelSetup& channels,
                           const ColourScheme& colours, const AppSettings& settings, bool shellNormalState,
                           int editWidth, int editHeight)
{
    using namespace Key;
    const WindowBounds& shell = settings.window;
    // A minimized or maximized window's bounds are not the ones to restore next time.
    if (shellNormalState) {
        file.writeInteger(Section_MainForm, MainForm_Top, shell.top);
        file.writeInteger(Section_MainForm, MainForm_Left, shell.left);
        file.writeInteger(Section_MainForm, MainForm_Width, shell.width);
        file.writeInteger(Section_MainForm, MainForm_Height, shell.height);
        file.writeInteger(Section_EditForm, EditForm_Width, editWidth);
        file.writeInteger(Section_EditForm, EditForm_Height, editHeight);
    }
    file.writeBool(Section_Status, Status_Running, false);
    file.writeInteger(Section_MainForm, MainForm_Status, 1);
    file.writeBool(Section_Hardware, Hardware_DemoMode, run.DemoMode);
    file.writeInteger(Section_Hardware, Hardware_Offset, channels.HwOffset);
    file.writeInteger(Section_Hardware, Hardware_Offset4, channels.HwOffset4);
    file.writeBool(Section_Hardware, Hardware_HWdialog, settings.calibrationDue);
    file.writeInteger(Section_Menu, Menu_Skin, settings.skin);
    for (int n = 0; n < static_cast<int>(colours.SettingsColors.size()); ++n)
        file.writeInteger(Section_Colors, Colors_Keys[n], colours.SettingsColors[n]);
}

WindowBounds usableBounds(WindowBounds wanted, const QList<QRect>& screens)
{
    // Smaller than designed, the controls do not fit: the designed size, which is the default.
    const WindowBounds defaults;
    wanted.width = std::max(wanted.width, defaults.width);
    wanted.height = std::max(wanted.height, defaults.height);
    if (screens.isEmpty())
        return wanted;

    int largestWidth = 0, largestHeight = 0;
    for (const QRect& screen : screens) {
        largestWidth = std::max(largestWidth, screen.width());
        largestHeight = std::max(largestHeight, screen.height());
    }
    const auto limit = [](int largest, int designed) {
        return static_cast<int>(std::clamp<qint64>(qint64{MaxScreensPerWindow} * largest, designed, 1 << 24));
    };
    wanted.width = std::min(wanted.width, limit(largestWidth, defaults.width));
    wanted.height = std::min(wanted.height, limit(largestHeight, defaults.height));

    if (topRowShows(wanted, screens))
        return wanted;
    // Off every screen: the default place, or the same place on the primary (first) screen where
    // the default lies on none.
    wanted.left = defaults.left;
    wanted.top = defaults.top;
    if (!topRowShows(wanted, screens)) {
        wanted.left = screens.first().x() + defaults.left;
        wanted.top = screens.first().y() + defaults.top;
    }
    return wanted;
}

QSize usableEditSize(QSize wanted)
{
    return {std::clamp(wanted.width(), MinEditSize, MaxEditSize),
            std::clamp(wanted.height(), MinEditSize, MaxEditSize)};
}
