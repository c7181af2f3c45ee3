// The toolkit's worker thread is the program's pw::Thread (core): start,
// stop with a stop flag and a wake event, and a stop that keeps the windows
// alive while it waits. Included here so panes find it beside the controls.
#pragma once

#include "core/Thread.h"
