#pragma once

// The sub-commands that run without any window or display: `korvix record` and
// `korvix calibrate`. They create a QCoreApplication only, never a GUI application.

// Whether argv names one of them (argv[1] is "record" or "calibrate").
bool isConsoleCommand(int argc, char** argv);
// Runs the sub-command of argv[1] and returns the exit code.
int runConsoleCommand(int argc, char** argv);

// The settings file of the current user, as the window finds it.
class QString;
QString userSettingsPath();
