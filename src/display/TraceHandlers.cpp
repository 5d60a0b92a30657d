// Scrolling of a stopped screen.
#include <QScrollBar>

#include "shell/Winrecx.h"

void TForm1_rec::ScrollBar2Change()
{
    putsataanko();
    screen.poisto();
    st.ViewOffset = ScrollBar2->value();
    screen.piirrot();
    kursoriaika();
}
