// Handlers whose subsystems are not built yet. Each moves to its subsystem's folder when that subsystem is built.

#include "shell/Winrecx.h"
