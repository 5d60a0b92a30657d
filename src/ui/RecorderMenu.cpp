#include "ui/RecorderMenu.h"

#include "ui/RecorderState.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>

#include "ui/ImageActions.h"

namespace {

enum MenuIcon { IconOpen, IconPrint, IconSave, IconCopy, IconPaste, IconPrintSetup, IconExit, NoIcon };

QIcon menuIcon(MenuIcon icon)
{
    // Stand-ins from the platform style for the window's 16 x 16 menu images.
    static const std::array<QStyle::StandardPixmap, 7> pixmaps = {
        QStyle::SP_DialogOpenButton,       QStyle::SP_FileIcon,          QStyle::SP_DialogSaveButton,
        QStyle::SP_FileDialogContentsView, QStyle::SP_DialogApplyButton, QStyle::SP_FileDialogDetailedView,
        QStyle::SP_DialogCloseButton};
    return QApplication::style()->standardIcon(pixmaps[static_cast<size_t>(icon)]);
}

struct SkinItem {
    const char* name;
    const char* caption;
};

const std::array<SkinItem, RecorderMenu::SkinItems> SkinItemTexts = {{
    {"skin1Action", "1: Dark gray "},
    {"skin2Action", "2: Dark brown"},
    {"skin3Action", "3: Deep blue"},
    {"skin4Action", "4: Light gray"},
    {"skin5Action", "5: Gray white"},
    {"skin6Action", "6: Gray blue"},
    {"skin7Action", "7: Neutral"},
    {"skin8Action", "No Skin"},
}};

QMenu* makeMenu(QWidget* parent, const char* name, const QString& title)
{
    auto* menu = new QMenu(title, parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction* makeItem(QMenu* menu, const char* name, const QString& caption, MenuIcon icon)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (icon != NoIcon)
        action->setIcon(menuIcon(icon));
    return action;
}

void addSeparator(QMenu* menu, const char* name)
{
    menu->addSeparator()->setObjectName(QLatin1String(name));
}

}  // namespace

RecorderMenu::RecorderMenu(QMainWindow* window, const RecorderState& state) : QObject(window), st_(state)
{
    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("mainMenu"));
    auto item = [this](QMenu* menu, Item id, const char* name, const QString& caption, MenuIcon icon) {
        actions_[static_cast<size_t>(id)] = makeItem(menu, name, caption, icon);
    };

    // Qt writes "&&" for a literal "&" in a caption.
    fileMenu_ = makeMenu(bar, "fileMenu", QStringLiteral("File"));
    bar->addMenu(fileMenu_);
    connect(fileMenu_, &QMenu::aboutToShow, this, &RecorderMenu::fileMenuShown);
    item(fileMenu_, OpenImage, "openImageAction", QStringLiteral("Open Image..."), IconOpen);
    item(fileMenu_, OpenData, "openDataAction", QStringLiteral("Open Data..."), IconOpen);
    addSeparator(fileMenu_, "fileSeparator1");
    item(fileMenu_, SaveImage, "saveImageAction", QStringLiteral("Save Image..."), IconSave);
    item(fileMenu_, SaveData, "saveDataAction", QStringLiteral("Save Data..."), IconSave);
    item(fileMenu_, AutoSave, "autoSaveAction", QStringLiteral("AutoSave Data..."), IconSave);
    addSeparator(fileMenu_, "fileSeparator2");
    item(fileMenu_, Print, "printAction", QStringLiteral("Print..."), IconPrint);
    item(fileMenu_, PrintSetup, "printSetupAction", QStringLiteral("Print Setup..."), IconPrintSetup);
    addSeparator(fileMenu_, "fileSeparator3");
    item(fileMenu_, Exit, "exitAction", QStringLiteral("Exit"), IconExit);
    item(fileMenu_, RestoreDefaults, "restoreDefaultsAction", QStringLiteral("Restore Default Settings && Exit"),
         NoIcon);

    editMenu_ = makeMenu(bar, "editMenu", QStringLiteral("Edit"));
    bar->addMenu(editMenu_);
    connect(editMenu_, &QMenu::aboutToShow, this, &RecorderMenu::editMenuShown);
    item(editMenu_, Copy, "copyAction", QStringLiteral("Copy"), IconCopy);
    item(editMenu_, Paste, "pasteAction", QStringLiteral("Paste"), IconPaste);

    optionsMenu_ = makeMenu(bar, "optionsMenu", QStringLiteral("Options"));
    bar->addMenu(optionsMenu_);
    item(optionsMenu_, Colours, "coloursAction", QStringLiteral("Colors..."), NoIcon);
    item(optionsMenu_, Calibrate, "calibrateAction", QStringLiteral("Calibrate"), NoIcon);
    skinsMenu_ = makeMenu(optionsMenu_, "skinsMenu", QStringLiteral("Skins..."));
    optionsMenu_->addMenu(skinsMenu_);

    // The skin and view ticks belong to their handlers: Qt toggles a checkable action's tick before
    // `triggered` fires, so the handlers read isChecked() afterwards and set the ticks they want.
    for (size_t i = 0; i < SkinItemTexts.size(); ++i) {
        QAction* skin = makeItem(skinsMenu_, SkinItemTexts[i].name, QLatin1String(SkinItemTexts[i].caption), NoIcon);
        skin->setCheckable(true);
        const int index = static_cast<int>(i) + 1;
        connect(skin, &QAction::triggered, this, [this, index] { emit skinChosen(index); });
        skinActions_[i] = skin;
    }

    viewMenu_ = makeMenu(bar, "viewMenu", QStringLiteral("View"));
    bar->addMenu(viewMenu_);
    item(viewMenu_, MarkersTime, "markersTimeAction", QStringLiteral("Markers  dV && t"), NoIcon);
    item(viewMenu_, MarkersDeltaTime, "markersDeltaTimeAction", QStringLiteral("Markers  dV && dt"), NoIcon);
    addSeparator(viewMenu_, "viewSeparator1");
    item(viewMenu_, DvmDisplay, "dvmDisplayAction", QStringLiteral("DVM Display"), NoIcon);
    addSeparator(viewMenu_, "viewSeparator2");
    item(viewMenu_, BrightGrid, "brightGridAction", QStringLiteral("Bright Grid"), NoIcon);
    for (Item id : {MarkersTime, MarkersDeltaTime, DvmDisplay, BrightGrid}) {
        action(id)->setCheckable(true);
        action(id)->setChecked(false);
    }

    helpMenu_ = makeMenu(bar, "helpMenu", QStringLiteral("&Help"));
    bar->addMenu(helpMenu_);
    item(helpMenu_, HelpContents, "helpContentsAction", QStringLiteral("Contents"), NoIcon);
    addSeparator(helpMenu_, "helpSeparator1");
    item(helpMenu_, About, "aboutAction", QStringLiteral("About..."), NoIcon);
}

bool RecorderMenu::dvmDisplayShown() const
{
    return action(DvmDisplay)->isChecked();
}

bool RecorderMenu::absoluteTimeMarkers() const
{
    return action(MarkersTime)->isChecked();
}

void RecorderMenu::checkSkin(int index)
{
    for (size_t i = 0; i < skinActions_.size(); ++i)
        skinActions_[i]->setChecked(static_cast<int>(i) + 1 == index);
}

void RecorderMenu::setRecordingLocked(bool locked)
{
    for (QMenu* menu : {editMenu_, optionsMenu_, helpMenu_, viewMenu_})
        menu->menuAction()->setEnabled(!locked);
    for (Item id : {OpenImage, OpenData, SaveImage, SaveData, AutoSave, Print, PrintSetup})
        action(id)->setEnabled(!locked);
}

void RecorderMenu::fileMenuShown()
{
    // Save Data needs at least two recorded positions, and never runs during a recording.
    action(SaveData)->setEnabled(st_.SampleIndex > 1 && st_.Idle);
}

void RecorderMenu::editMenuShown()
{
    action(Paste)->setEnabled(clipboardHoldsPicture());
}
