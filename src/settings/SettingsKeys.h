#pragma once

// Every name of the settings file: its file name, its sections and their keys. The rest of the
// program refers to these constants only, so a name can be checked or changed in one place.
namespace Key {

inline constexpr char FileName[] = "KORVIX.ini";

inline constexpr char Section_MainForm[] = "MainForm";  // geometry of the main window
inline constexpr char Section_EditForm[] = "EditForm";  // size of the "Add Text" window
inline constexpr char Section_Hardware[] = "Hardware";
inline constexpr char Section_Menu[] = "Menu";
inline constexpr char Section_Colors[] = "Colors";
inline constexpr char Section_Status[] = "Status";

inline constexpr char MainForm_Top[] = "Top";
inline constexpr char MainForm_Left[] = "Left";
inline constexpr char MainForm_Width[] = "Width";
inline constexpr char MainForm_Height[] = "Height";
inline constexpr char MainForm_Status[] = "Status";  // always written 1 at close, never read

inline constexpr char EditForm_Width[] = "Width";
inline constexpr char EditForm_Height[] = "Height";

inline constexpr char Hardware_DemoMode[] = "DemoMode";
inline constexpr char Hardware_HWdialog[] = "HWdialog";  // the first-run calibration is still due
inline constexpr char Hardware_Offset[] = "Offset";
inline constexpr char Hardware_Offset4[] = "Offset4";

inline constexpr char Menu_Skin[] = "Skin";

// Colour keys in the order of a colour set (ColourIndex): Background, Ch1..Ch4, Dark_Grid,
// Bright_Grid, Time_Marker.
inline constexpr const char* Colors_Keys[8] = {"Background", "Ch1",       "Ch2",         "Ch3",
                                               "Ch4",        "Dark_Grid", "Bright_Grid", "Time_Marker"};

inline constexpr char Status_Running[] = "Running";  // 1 from start-up to an orderly close

}  // namespace Key
