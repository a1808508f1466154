#pragma once
// The command help of the two windows: List6 of the main window and List1 of
// the mini screen. Help text only: nothing parses it, and the two differ.

#include <string>
#include <vector>

namespace forms {

const std::vector<std::string>& MainHelpLines();  // List6, 53 lines
const std::vector<std::string>& MiniHelpLines();  // List1, 63 lines

}  // namespace forms
