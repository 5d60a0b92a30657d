#pragma once

#include <QString>

// The skins of the Options > "Skins..." menu: each a Qt style with a palette and a small style sheet
// for the menus, applied to the whole application. Index 1..7 are the skins, 8 is "No Skin", the
// platform's own look as it was before any skin was applied.
namespace skins {

constexpr int SkinCount = 7;
constexpr int NoSkin = 8;
// The look the recorder window is built with ("6: Gray blue"). It is in place from the window's
// creation until the stored skin is chosen, and stays when the stored number is none of 1..8.
constexpr int DesignedSkin = 6;

// Applies the look of `index` (1..8) to the application and its windows; other values do nothing.
// Applying the look already in place changes nothing.
void applySkin(int index);

// The look in place: 1..8, or 0 while the platform's look has never been changed.
int currentSkin();

}  // namespace skins
