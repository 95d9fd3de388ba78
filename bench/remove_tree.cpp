// Deletes one folder of a machine for good the way Delete selected with Shift does
// (RemoveFiles in the permanent mode, the shell's question answered Yes), for the
// uninstall benchmark's comparison with rm -rf.
//   bench_remove_tree MACHINE_DIR 'C:\FOLDER'
#include <cstdio>
#include <memory>
#include <string>

#include "platform/fake/scripted_prompt.h"
#include "platform/registry_access.h"
#include "platform/wine/wine_machine.h"
#include "removal/remove_files.h"

int main(int argc, char** argv) {
    using namespace korvex;
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MACHINE_DIR WINDOWS_PATH\n", argv[0]);
        return 2;
    }
    std::string error;
    const std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(argv[1], &error);
    if (!machine) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    Services services = machine->services();
    ScriptedPrompt prompt;
    prompt.defaultAnswer = Answer::Yes;
    RegistryAccess registry(services.registry, prompt);
    RemovalContext context{services, registry, prompt, "C:\\Korvex\\"};
    return RemoveFiles(context, {argv[2]}, 0, RemovalMode::Permanent) ? 0 : 1;
}
