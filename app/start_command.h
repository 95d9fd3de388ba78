// What start-up does with its command line once the main window has loaded: "\u" and
// "\f" run Update database or Find changes on their own, over the hidden main
// window's drive, a quoted saved data file is uninstalled from, and the program then
// ends; anything else lets the main window come up. Reading the argument text is the settings' parser's business.
#pragma once

#include <string>
#include <vector>

namespace korvex {

class frmMain;

enum class StartOutcome { ShowMainWindow, Done };

// args: the program's arguments after the machine option was taken out.
StartOutcome AnswerCommandLine(frmMain& window, const std::vector<std::string>& args);

}  // namespace korvex
