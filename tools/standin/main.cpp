// The stand-in chat client (StandInClient.h) as a program of its own. A
// test steers the client and reads its record through a hidden control
// window (see ControlProtocol.h). Started as
//   standin --token TOKEN [--parent PID] [--without PIECE]...
// it ends when told to, or when the process PID ends. Each --without leaves
// a piece out of the window tree whenever the client signs on (as do the
// fields after the room in a "signon" request); StandInClient::LeaveOut
// names the pieces.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/standin/ControlServer.h"
#include "tools/standin/MessageLoop.h"
#include "tools/standin/StandInClient.h"
#include "tools/standin/StandInWindows.h"

namespace {

std::string ArgAfter(int argc, char** argv, const char* name) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) return argv[i + 1];
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::string token = ArgAfter(argc, argv, "--token");
    std::string parentId = ArgAfter(argc, argv, "--parent");
    HANDLE parent = nullptr;
    if (DWORD id = static_cast<DWORD>(std::strtoul(parentId.c_str(), nullptr, 10))) {
        parent = OpenProcess(SYNCHRONIZE, FALSE, id);
    }

    standin::StandInClient client(instance);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--without") == 0) client.LeaveOut(argv[i + 1]);
    }
    if (!standin::RegisterClientClasses(instance, client)) return 2;
    standin::MessageLoop loop(client);
    standin::ControlServer control(instance, token, client, loop);
    if (!control.Window()) return 2;
    client.SetControlWindow(control.Window());

    // Do not outlive the test that started us, whatever happens to it.
    loop.Run(parent);
    if (parent) CloseHandle(parent);
    return 0;
}
