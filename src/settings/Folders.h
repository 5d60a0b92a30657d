#pragma once

#include <QString>

// The folders the program keeps its files in, without a trailing separator.
namespace folders {

// The user's local application data (on Linux ~/.local/share).
QString userData();
// The user's documents, where data files and pictures go by default.
QString documents();
// The folder of the settings file: "Lumivale/KORVIX" below the user's local application data.
QString settings();
// The settings file in that folder.
QString settingsFile();

}  // namespace folders
