#pragma once

#include "screen/Colours.h"
#include "screen/Surface.h"
#include "screen/ViewState.h"

// Draws the screen annotation into the screen bitmap when AnnotationOn: each line of AnnotationText
// at (AnnotationX, AnnotationY + 13 x i) in the Time_Marker colour of SettingsColors, in the
// surface's font, with the copy raster operation. Opaque lines sit on a box of the surface's brush
// colour (Background at rest); transparent lines leave the grid and traces between the glyphs.
void drawAnnotation(Surface& image, const AnnotationState& annotation, const ColourScheme& colours);

// Pixels between the tops of two annotation lines.
constexpr int AnnotationLineSpacing = 13;
