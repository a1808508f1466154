#include "app/CommandLine.h"

#include <optional>

namespace app {

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size() && line.error.empty(); ++i) {
        const std::string& arg = args[i];
        // "--name=value" or "--name value"
        auto valueOf = [&](const std::string& option) -> std::optional<std::string> {
            if (arg == option) {
                if (i + 1 >= args.size()) {
                    line.error = option + " needs a value";
                    return std::nullopt;
                }
                return args[++i];
            }
            return arg.substr(option.size() + 1);
        };
        auto takes = [&](const std::string& option) {
            return arg == option || arg.rfind(option + "=", 0) == 0;
        };
        if (arg == "--help" || arg == "-h") {
            line.help = true;
        } else if (arg == "--version") {
            line.version = true;
        } else if (arg == "--console") {
            line.console = true;
        } else if (arg == "--trace") {
            line.trace = true;
        } else if (arg == "--check-client") {
            line.checkClient = true;
        } else if (takes("--screen-name")) {
            if (auto value = valueOf("--screen-name")) line.screenName = *value;
            if (line.error.empty() && line.screenName.empty()) {
                line.error = "the screen name must not be empty";
            }
        } else if (takes("--room")) {
            if (auto value = valueOf("--room")) line.roomName = *value;
            if (line.error.empty() && line.roomName.empty()) {
                line.error = "the room name must not be empty";
            }
        } else {
            line.error = "unknown argument: " + arg;
        }
    }
    return line;
}

std::string Usage() {
    return "usage: moonrake [--console] [--screen-name NAME] [--room NAME] [--trace]\n"
           "       moonrake --check-client\n"
           "       moonrake --help | --version\n"
           "\n"
           "Runs moonrake ruze beside a simulated chat client, signed on as NAME\n"
           "(default \"Moonraker\") in the room NAME (default \"Town Square\").\n"
           "\n"
           "  --console      no windows on screen: drive the program with text lines on\n"
           "                 standard input and read what happens on standard output\n"
           "                 (also chosen when there is no display)\n"
           "  --trace        also report every call on the scanners, the windows and\n"
           "                 the media player\n"
           "  --check-client look at the chat client, print what the program finds of\n"
           "                 each window it relies on and a verdict, and end (status 0:\n"
           "                 the commands can reach it; 1: they cannot); changes nothing\n"
           "\n"
           "Console input, one line at a time:\n"
           "  TEXT              typed into the room by the signed-on user (\"//x\" types \"/x\")\n"
           "  /say NAME TEXT    another member says TEXT\n"
           "  /wait SECONDS     time passes (virtual clock; fractions allowed)\n"
           "  /click CONTROL    a click on a control of the program's windows (e.g. Label9)\n"
           "  /front CAPTION    the client brings its window with that caption to the front\n"
           "  /quit             the main window is closed (so is the end of the input)\n"
           "\n"
           "Console output, one event per line:\n"
           "  SENDER: TEXT  [prompt] TEXT  [msgbox] TEXT  [keyword] TEXT\n"
           "  [im NAME] TEXT  [trace] OBJECT.MEMBER [VALUE]  [exit]\n";
}

std::string VersionLine() {
    return "moonrake ruze " MOONRAKE_VERSION "\n";
}

}  // namespace app
