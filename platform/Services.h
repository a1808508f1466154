#pragma once
#include "platform/Folder.h"
#include "platform/Random.h"
#include "platform/Runtime.h"
#include "platform/WindowApi.h"

namespace platform {

// What the automation routines, the engine and the forms run on: the window
// system they drive, the event loop they pump while they wait, the random
// numbers they draw and how they list a folder.
struct Services {
    WindowApi& windows;
    Runtime& runtime;
    Random& random;
    FolderListing listFolder = &ListMatchingFiles;
};

}  // namespace platform
