#pragma once

#include <QObject>
#include <array>

struct RecorderState;

class QAction;
class QMainWindow;
class QMenu;

// The recorder window's main menu: File, Edit, Options (with "Skins..."), View and Help, every
// item with its caption, icon and objectName. It enables the items that depend on the moment as
// the File and Edit menus open, and locks the items that must not run during a recording. What an
// item does is connected by the window.
class RecorderMenu : public QObject {
    Q_OBJECT
public:
    enum Item {
        OpenImage,
        OpenData,
        SaveImage,
        SaveData,
        AutoSave,
        Print,
        PrintSetup,
        Exit,
        RestoreDefaults,
        Copy,
        Paste,
        Colours,
        Calibrate,
        MarkersTime,
        MarkersDeltaTime,
        DvmDisplay,
        BrightGrid,
        HelpContents,
        About,
        ItemCount
    };
    static constexpr int SkinItems = 8;  // skins 1..7 and "No Skin"

    RecorderMenu(QMainWindow* window, const RecorderState& state);

    QAction* action(Item item) const { return actions_[static_cast<size_t>(item)]; }
    // The item of skin 1..8.
    QAction* skinAction(int index) const { return skinActions_[static_cast<size_t>(index - 1)]; }
    QMenu* fileMenu() const { return fileMenu_; }
    QMenu* viewMenu() const { return viewMenu_; }

    // The ticks of "DVM Display" and "Markers  dV && t".
    bool dvmDisplayShown() const;
    bool absoluteTimeMarkers() const;
    // Ticks skin `index` (1..8) and clears the other skin ticks.
    void checkSkin(int index);
    // Disables (or enables again) what must not run during a recording: the Edit, Options, View and
    // Help menus and the file items; "File", "Exit" and "Restore Default Settings & Exit" stay
    // enabled.
    void setRecordingLocked(bool locked);

signals:
    void skinChosen(int index);

private:
    void fileMenuShown();
    void editMenuShown();

    const RecorderState& st_;
    QMenu* fileMenu_ = nullptr;
    QMenu* editMenu_ = nullptr;
    QMenu* optionsMenu_ = nullptr;
    QMenu* skinsMenu_ = nullptr;
    QMenu* viewMenu_ = nullptr;
    QMenu* helpMenu_ = nullptr;
    std::array<QAction*, ItemCount> actions_{};
    std::array<QAction*, SkinItems> skinActions_{};
};
