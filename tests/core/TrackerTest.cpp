// placeholder, filled below
#include "core/Tracker.h"
