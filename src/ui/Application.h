#pragma once

#include <memory>

#include "device/SimulatorSetup.h"
#include "ui/RecorderState.h"

class DeviceLink;
class HidTransport;
class AboutBox;
class ColourDialog;
class StartupShell;
class RecorderWindow;
class RecorderHotplug;
class DataFileBrowser;
class LongFileController;
class PrintPreviewWindow;
class AddTextWindow;

// The application's windows, created once at start in this order and kept to the end, and the
// device link they share. Windows reach each other through here.
struct Windows {
    StartupShell* shell = nullptr;
    RecorderWindow* recorder = nullptr;
    ColourDialog* colourDialog = nullptr;
    DataFileBrowser* dataFileBrowser = nullptr;
    PrintPreviewWindow* printPreview = nullptr;
    AboutBox* aboutBox = nullptr;
    AddTextWindow* addText = nullptr;
    LongFileController* longFiles = nullptr;  // owned by the recorder window
    DeviceLink* device = nullptr;
    RecorderHotplug* hotplug = nullptr;  // watches the device link once the hand-over is done
};

// The one set of windows of the running program (empty until the start creates them).
Windows& windows();

// Names the application; its windows' captions stay as they set them.
void nameApplication();

// Creates the windows in their order, runs the message loop and returns the exit code. With a
// simulator set-up the simulated recorder takes the real one's place.
int runApplication(int argc, char** argv, const SimulatorConfig* simulator = nullptr);
