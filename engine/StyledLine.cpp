#include "engine/StyledLine.h"

namespace engine {

std::string BuildStyledLine(const AppState& state, const std::vector<Run>& runs) {
    std::string line = "< font . face=";
    line += state.fontFace;
    line += '>';
    for (const Run& run : runs) {
        line += "< font . color=#";
        line += run.role == Role::Decoration ? state.asciiColor : state.fontColor;
        line += '>';
        line += run.text;
    }
    return line;
}

std::string BuildStatusLine(const AppState& state, const std::string& verb,
                            const std::string& detail) {
    return BuildStyledLine(state, {
                                      {Role::Decoration, state.leftAscii},
                                      {Role::Word, state.handle},
                                      {Role::Decoration, " " + state.middleAscii + " "},
                                      {Role::Word, verb},
                                      {Role::Decoration, " ("},
                                      {Role::Word, detail},
                                      {Role::Decoration, ") "},
                                  });
}

namespace {

std::string BuildSessionLine(const AppState& state, const char* what) {
    return BuildStyledLine(state, {
                                      {Role::Decoration, state.leftAscii},
                                      {Role::Word, "moonrake ruze"},
                                      {Role::Decoration, "\u00B2 " + state.middleAscii + " "},
                                      {Role::Word, "artist"},
                                      {Role::Decoration, " ("},
                                      {Role::Word, "zerin"},
                                      {Role::Decoration, ") " + state.middleAscii},
                                      {Role::Word, what},
                                      {Role::Decoration, "("},
                                      {Role::Word, state.handle},
                                      {Role::Decoration, ")"},
                                  });
}

}  // namespace

std::string BuildLoginLine(const AppState& state) {
    return BuildSessionLine(state, " login ");
}

std::string BuildLogoutLine(const AppState& state) {
    return BuildSessionLine(state, " logout ");
}

}  // namespace engine
