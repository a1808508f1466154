#pragma once
// The one reply format of the program: a face tag followed by colour runs.
// Every field is read at the moment a line is built, so a line built right
// after a style change already shows it. Nothing is escaped.

#include <string>
#include <vector>

#include "engine/AppState.h"

namespace engine {

// Decoration runs take asciiColor, word runs fontColor.
enum class Role { Decoration, Word };

struct Run {
    Role role;
    std::string text;
};

// "< font . face=" fontFace ">", then for each run
// "< font . color=#" colour ">" text.
std::string BuildStyledLine(const AppState& state, const std::vector<Run>& runs);

// The seven-run reply: leftAscii, handle, " " middleAscii " ", verb, " (",
// detail, ") ". It ends with the blank.
std::string BuildStatusLine(const AppState& state, const std::string& verb,
                            const std::string& detail);

// The eleven-run lines sent when the main window loads and unloads. They end
// with ")" and no blank.
std::string BuildLoginLine(const AppState& state);
std::string BuildLogoutLine(const AppState& state);

}  // namespace engine
