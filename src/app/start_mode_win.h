// The start request of the running process, from its own command line and location.
#pragma once
#include "app/start_mode.h"

namespace app {

// Reads the request afresh each call; within one process it always gives the same answer.
StartRequest CurrentStartRequest();

} // namespace app
