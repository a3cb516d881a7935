// A receiver library that lacks SetHWLO, as an older or foreign one may.
#include "radio/plugin/ExtIOFunctions.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT void AOSTRACK_EXTIO_CALL OpenForm(int) { }
EXPORT void AOSTRACK_EXTIO_CALL HideGUI(void) { }
