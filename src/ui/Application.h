#pragma once

#include <memory>

#include "ui/RecorderState.h"

class DeviceLink;
class HidTransport;
class AboutBox;
class ColourDialog;
class RecorderWindow;
class RecorderHotplug;
class DataFileBrowser;
class LongFileController;
class PrintPreviewWindow;
class AddTextWindow;

// The application's windows, created once at start in this order and kept to the end, and the
// device link they share. Windows reach each other through here.
struct Windows {
    RecorderWindow* recorder = nullptr;
    ColourDialog* colourDialog = nullptr;
    DataFileBrowser* dataFileBrowser = nullptr;
    PrintPreviewWindow* printPreview = nullptr;
    AboutBox* aboutBox = nullptr;
    AddTextWindow* addText = nullptr;
    LongFileController* longFiles = nullptr;  // owned by the recorder window
    DeviceLink* device = nullptr;
    RecorderHotplug* hotplug = nullptr;  // watches the device link once the hand-over is done
    // The start-up shell has closed: the settings are written and the program is ending. Messages
    // queued for later are dropped then.
    bool programEnding = false;
};

// The one set of windows of the running program (empty until the start creates them).
Windows& windows();

// Names the application; its windows' captions stay as they set them.
void nameApplication();
