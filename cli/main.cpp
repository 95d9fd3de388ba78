// korvex-cli: Korvex without windows, for scripts, scheduled runs and machines without
// a display. Finds the machine, settles Korvex's settings on it as the windowed
// program does at start-up, and runs one command.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_prompt.h"
#include "cli/local_commands.h"
#include "cli/machine_session.h"
#include "platform/registry_access.h"
#include "platform/wine/machine_locator.h"
#include "settings/startup.h"

namespace korvex::cli {
namespace {

struct Invocation {
    bool help = false;
    bool yes = false;
    std::string machine;
    std::string command;
    std::vector<std::string> args;
};

// Global options may stand anywhere before "--"; the first other word is the command
// and the rest belong to it.
int parse(std::vector<std::string> words, Invocation& out) {
    for (std::size_t i = 0; i < words.size() && words[i] != "--"; ++i) {
        if (words[i] == "--machine" && (i + 1 == words.size() || words[i + 1].empty())) {
            std::fprintf(stderr, "korvex-cli: --machine needs a folder\n");
            return 2;
        }
    }
    out.machine = wine::TakeMachineArgument(words);
    bool inCommand = false, afterDashes = false;
    for (const std::string& w : words) {
        if (!afterDashes && w == "--") {
            afterDashes = true;
            if (!inCommand) continue;
        } else if (!afterDashes && w == "--yes") {
            out.yes = true;
            continue;
        } else if (!afterDashes && !inCommand && (w == "--help" || w == "-h")) {
            out.help = true;
            continue;
        }
        if (!inCommand) {
            if (w.size() > 1 && w[0] == '-' && !afterDashes) {
                std::fprintf(stderr, "korvex-cli: unknown option '%s'\n", w.c_str());
                return 2;
            }
            out.command = w;
            inCommand = true;
        } else {
            out.args.push_back(w);
        }
    }
    return 0;
}

bool knownCommand(const std::string& c) {
    return c == "init" || c == "info" || c == "update" || c == "find" || c == "uninstall" ||
           c == "report" || c == "clean" || c == "help";
}

int runOnMachine(const Invocation& call) {
    std::string error;
    const std::unique_ptr<MachineSession> session = MachineSession::open(call.machine, &error);
    if (!session) {
        std::fprintf(stderr, "korvex-cli: %s\n", error.c_str());
        return 1;
    }
    CliPrompt prompt(call.yes);
    RegistryAccess access(session->registry(), prompt);
    Context context{session->services(), prompt, "", session->dir()};

    auto refused = [&]() {
        if (!session->registry().refused()) return false;
        prompt.endProgressLine();
        // Korvex has normally told the user why already, as a message.
        if (prompt.messagesShown() == 0) {
            const std::string why = session->registry().writeRefusal();
            std::fprintf(stderr, "korvex-cli: the registry of %s was not changed%s%s\n", session->dir().c_str(),
                         why.empty() ? "." : ": ", why.c_str());
        }
        return true;
    };

    context.dataFolder = SettleDataFolder(session->services(), access);
    if (refused()) return 1;

    int status = 2;
    if (call.command == "info") status = cmdInfo(context, call.args);
    else if (call.command == "update") status = cmdUpdate(context, call.args);
    else if (call.command == "find") status = cmdFind(context, call.args);
    else if (call.command == "uninstall") status = cmdUninstall(context, call.args);
    else if (call.command == "report") status = cmdReport(context, call.args);
    else if (call.command == "clean") status = cmdClean(context, call.args);
    prompt.endProgressLine();

    if (session->registry().flush() != ERROR_SUCCESS && !refused()) {
        std::fprintf(stderr, "korvex-cli: the registry of %s could not be saved.\n", session->dir().c_str());
        return 1;
    }
    if (refused()) return 1;
    return status;
}

}  // namespace

const char* UsageText() {
    return "Usage: korvex-cli [--machine DIR] [--yes] COMMAND [ARGUMENTS]\n"
           "\n"
           "Korvex finds what a software installation added to a Windows machine (a Wine\n"
           "prefix) and removes it again. korvex-cli runs its work without windows.\n"
           "\n"
           "Commands:\n"
           "  init [--windows-version win98|win7|win10]\n"
           "                 make a new machine (default win10) in --machine DIR, else where\n"
           "                 the other commands look; an existing machine is left as it is\n"
           "  info           the machine, its Windows version, drives and folders, and\n"
           "                 Korvex's program and data folders\n"
           "  update [--drives C:[,D:...]]\n"
           "                 record the drives, the system files and the registry\n"
           "                 (Update database); the drives default to the main window's\n"
           "  find [--drives C:[,D:...]] [--save FILE.kvu] [--keep-lists]\n"
           "                 list what was added since the last update (Find changes);\n"
           "                 --save writes the lists to a saved uninstall data file\n"
           "  uninstall FILE.kvu [--dry-run]\n"
           "                 remove what a saved uninstall data file lists (files and\n"
           "                 folders, registry keys, system-file lines) after one question,\n"
           "                 answered Yes only with --yes (which also deletes shared\n"
           "                 libraries other programs use); FILE is a host path or a\n"
           "                 Windows path of the machine. What cannot be removed stays in\n"
           "                 FILE. Exit status 0 only when everything was removed.\n"
           "                 --dry-run lists what would be removed, refused or put back\n"
           "                 and changes nothing\n"
           "  report FILE.kvu --pdf OUT.pdf\n"
           "                 the printed report of a saved uninstall data file, every row\n"
           "                 selected, written into a PDF (A4, Courier)\n"
           "  clean [--temp-files] [--temp-folders] [--drives C:[,D:...]] [--delete | --move DIR]\n"
           "                 list the junk files (System clean-up): --temp-files scans the\n"
           "                 drives for the chosen kinds of files (the default), --temp-folders\n"
           "                 lists the temporary folder, the browser caches and the own folders\n"
           "                 (and empties this machine's part of the Recycle Bin, with --yes);\n"
           "                 --delete removes every listed file as the delete mode says,\n"
           "                 --move DIR moves them into DIR\n"
           "  help           this text\n"
           "\n"
           "Options (anywhere on the line):\n"
           "  --machine DIR  the machine's folder, a Wine prefix. Without it Korvex uses\n"
           "                 $KORVEX_MACHINE, else $WINEPREFIX, else ~/.wine, else its\n"
           "                 built-in demo machine in ~/.local/share/korvex/machine\n"
           "                 (made on first use)\n"
           "  --yes          answer Yes/OK to Korvex's questions; without it every\n"
           "                 question is answered No/Cancel and nothing is removed unasked\n"
           "  --help         this text\n"
           "\n"
           "Korvex's messages go to standard error as \"Title: text\"; results go to\n"
           "standard output. Close the Wine programs of the machine first (wineserver -k):\n"
           "Korvex does not change a registry that Wine is using.\n"
           "\n"
           "Exit status: 0 success, 1 failure or refusal, 2 usage error.\n";
}

}  // namespace korvex::cli

int main(int argc, char** argv) {
    using namespace korvex::cli;
    Invocation call;
    if (const int status = parse(std::vector<std::string>(argv + 1, argv + argc), call); status != 0) {
        std::fprintf(stderr, "Try 'korvex-cli --help'.\n");
        return status;
    }
    if (call.help || call.command == "help") {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (call.command.empty()) {
        std::fputs(UsageText(), stderr);
        return 2;
    }
    if (!knownCommand(call.command)) {
        std::fprintf(stderr, "korvex-cli: unknown command '%s'\nTry 'korvex-cli --help'.\n", call.command.c_str());
        return 2;
    }
    const bool ownCommand = call.command == "init" || call.command == "info";
    if (ownCommand && std::find(call.args.begin(), call.args.end(), "--help") != call.args.end()) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (call.command == "init") return cmdInit(call.machine, call.args);
    return runOnMachine(call);
}
