#pragma once
#include "platform/Runtime.h"
#include "platform/WindowApi.h"

namespace platform {

// What the automation routines run on: the window system they drive and the
// event loop they pump while they wait.
struct Services {
    WindowApi& windows;
    Runtime& runtime;
};

}  // namespace platform
