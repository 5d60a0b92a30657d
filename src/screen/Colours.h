#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Colours are 24-bit RGB integers with red in the low byte (red + 256*green + 65536*blue),
// the way the settings file stores them.
using Colour = int32_t;

// Index of a colour in a colour set of eight (SettingsColors, ActiveColors).
enum ColourIndex : int {
    Background = 0,
    Ch1 = 1,
    Ch2 = 2,
    Ch3 = 3,
    Ch4 = 4,
    Dark_Grid = 5,
    Bright_Grid = 6,
    Time_Marker = 7,
};
using ColourSet = std::array<Colour, 8>;

// XorColors holds the pen colours of the inverting pen: entries 0..3 for CH1..CH4, 4 for the time marker.
constexpr int XorTimeMarker = 4;

// The default colour scheme (black background).
constexpr ColourSet DefaultColours = {0x000000, 0xFF0000, 0x00FF00, 0x00FFFF, 0x0000FF, 0x800000, 0xFF0000, 0xFFFF00};

// Pen colour of the inverting pen that shows `colour` on `background`.
constexpr Colour xorColour(Colour colour, Colour background)
{
    return (colour ^ ~background) & 0xFFFFFF;
}

// The colours of the screen: the scheme the user chose (kept in the settings), the one drawn
// with now, and the pens derived from the chosen one.
struct ColourScheme {
    ColourSet SettingsColors = DefaultColours;
    ColourSet ActiveColors{};
    std::array<Colour, 5> XorColors{};
    Colour GridColor = 0x800000, BrightGridColor = 0xFF0000, DarkGridColor = 0x800000;
};

// Derives XorColors and the grid colours from SettingsColors.
inline void deriveColours(ColourScheme& s)
{
    const Colour bg = s.SettingsColors[Background];
    for (int n = 0; n < 4; ++n)
        s.XorColors[static_cast<size_t>(n)] = xorColour(s.SettingsColors[static_cast<size_t>(Ch1 + n)], bg);
    s.XorColors[XorTimeMarker] = xorColour(s.SettingsColors[Time_Marker], bg);
    s.GridColor = s.SettingsColors[Dark_Grid];
    s.DarkGridColor = s.SettingsColors[Dark_Grid];
    s.BrightGridColor = s.SettingsColors[Bright_Grid];
}
