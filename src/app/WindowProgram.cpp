#include "app/WindowProgram.h"

#include <QApplication>
#include <QFont>

#include "app/StartupShell.h"
#include "device/DeviceLink.h"
#include "device/HidTransport.h"
#include "device/SimulatedRecorder.h"
#include "ui/AboutBox.h"
#include "ui/AddTextWindow.h"
#include "ui/Application.h"
#include "ui/ColourDialog.h"
#include "ui/DataFileBrowser.h"
#include "ui/LongFileController.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/RecorderHotplug.h"
#include "ui/RecorderWindow.h"
#include "ui/Skins.h"

int runApplication(int argc, char** argv, const SimulatorConfig* simulator)
{
    QApplication app(argc, argv);
    nameApplication();
    // The program ends when the shell closes, not when its last visible window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);
    // A small sans-serif of fixed pixel size, like the 8-point system font the layout was made for.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    static RecorderState state;
    // The program's settings: the shell reads and writes them and hands them to the windows.
    AppSettings settings;
    SimulatedRecorder* simulated = nullptr;
    std::unique_ptr<HidTransport> transport =
        simulator != nullptr ? makeSimulatedTransport(*simulator, &simulated) : makeHidapiTransport();
    if (simulated != nullptr)
        simulated->printSummaryAtExit(true);
    DeviceLink device(*transport);

    Windows& w = windows();
    w.device = &device;
    // Created in this order; the shell first, as the main window.
    auto shell = std::make_unique<StartupShell>(state, settings);
    auto recorder = std::make_unique<RecorderWindow>(state);
    w.recorder = recorder.get();
    shell->attach(*recorder);
    // The recorder window comes with its designed look; the hand-over puts the stored skin in its place.
    skins::applySkin(skins::DesignedSkin);
    auto colours = std::make_unique<ColourDialog>(recorder.get());
    w.colourDialog = colours.get();
    auto fileError = std::make_unique<DataFileBrowser>(recorder.get());
    w.dataFileBrowser = fileError.get();
    w.longFiles = new LongFileController(*recorder, *fileError);
    auto preview = std::make_unique<PrintPreviewWindow>(recorder.get());
    w.printPreview = preview.get();
    auto about = std::make_unique<AboutBox>(recorder.get());
    w.aboutBox = about.get();
    auto addText = std::make_unique<AddTextWindow>(recorder.get());
    w.addText = addText.get();
    // Owned by the recorder window; it starts looking for the recorder at the end of the hand-over.
    w.hotplug = new RecorderHotplug(*recorder, device, recorder.get());

    const int code = QApplication::exec();
    w = Windows{};
    return code;
}
