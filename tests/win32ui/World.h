#pragma once
// One run of the program's windows drawn by the Win32 front end, against the
// simulated chat client: on the virtual clock of TestRuntime (its dialogs
// answered from a script), or on the real Win32Runtime (its dialogs real).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientsim/SimChatClient.h"
#include "engine/Host.h"
#include "forms/Form1.h"
#include "forms/Form5.h"
#include "platform/Runtime.h"
#include "platform/Services.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/win32/Win32Runtime.h"
#include "tests/support/RecordingPlayer.h"
#include "tests/support/TestRuntime.h"
#include "ui/win32/Win32FrontEnd.h"

// After the project's headers: windows.h turns MessageBox, CreateWindowA and
// the rest into macros.
#include <windows.h>
#undef MessageBox

namespace win32uitest {

using testsupport::RecordingPlayer;

template <typename RuntimeType>
struct BasicWorld {
    BasicWorld() { client.SignOn(); }

    // Makes the main window on the front end; Load() is the caller's.
    forms::Form1& Make() {
        form = std::make_unique<forms::Form1>(services, player, frontEnd);
        return *form;
    }
    HWND Window() const { return frontEnd.Window(*form); }
    HWND Control(const std::string& name) const { return frontEnd.Control(*form, name); }
    HWND MiniWindow() const { return frontEnd.Window(*form->MiniScreen()); }
    HWND MiniControl(const std::string& name) const {
        return frontEnd.Control(*form->MiniScreen(), name);
    }

    RuntimeType runtime;
    platform::sim::SimWindowSystem sim{runtime};
    clientsim::SimChatClient client{sim, runtime};
    platform::Random random{runtime};
    platform::Services services{sim, runtime, random};
    RecordingPlayer player;
    ui::Win32FrontEnd frontEnd{MakeOptions()};
    // Last, so that it goes first: the windows stay until it is gone.
    std::unique_ptr<forms::Form1> form;

  private:
    ui::Win32FrontEndOptions MakeOptions() {
        ui::Win32FrontEndOptions options;
        if constexpr (std::is_same_v<RuntimeType, platform::Win32Runtime>) {
            options.runtime = &runtime;
        }
        return options;
    }
};

// On the virtual clock, started with the handle answered.
struct World : BasicWorld<testsupport::TestRuntime> {
    forms::Form1& Start(const std::string& handle = "bob") {
        runtime.promptAnswers = {handle};
        Make().Load();
        runtime.RunUntilIdle();
        return *form;
    }
};

using RealWorld = BasicWorld<platform::Win32Runtime>;

// --- reading windows back ---

std::string TextOf(HWND window);
std::string ClassOf(HWND window);
// The window's rectangle in its parent's client area (on the screen for a
// top-level window).
RECT PlaceOf(HWND window);
// The window's rectangle inside the top-level window it belongs to.
RECT PlaceInTopLevel(HWND window);

// The press and release of a mouse button at (x, y) inside a window, sent as
// the system would send them.
void SendClick(HWND window, int x = 2, int y = 2);

}  // namespace win32uitest
