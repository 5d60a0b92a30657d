#include "screen/Annotation.h"

#include <QStringList>

void drawAnnotation(Surface& image, const AnnotationState& st, const ColourScheme& colours)
{
    if (!st.AnnotationOn)
        return;
    const Colour colour = colours.SettingsColors[Time_Marker];
    const QStringList lines = st.AnnotationText.split(QLatin1Char('\n'));
    int y = st.AnnotationY;
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        if (!line.isEmpty())
            image.textOut(st.AnnotationX, y, line, colour, !st.AnnotationTransparent);
        y += AnnotationLineSpacing;
    }
}
