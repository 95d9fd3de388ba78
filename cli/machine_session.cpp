#include "cli/machine_session.h"

#include "platform/wine/machine_locator.h"
#include "platform/wine/wine_machine.h"

namespace korvex::cli {

struct MachineSession::Parts {
    std::unique_ptr<wine::WineMachine> machine;
};

MachineSession::~MachineSession() = default;

std::unique_ptr<MachineSession> MachineSession::open(const std::string& explicitDir, std::string* error) {
    const std::optional<wine::MachineLocation> location = wine::LocateMachine(explicitDir, error);
    if (!location) return nullptr;
    std::string why;
    std::unique_ptr<wine::WineMachine> machine = wine::WineMachine::open(location->dir, &why);
    if (!machine) {
        *error = why.empty() ? "There is no usable Windows machine in " + location->dir + "." : why;
        *error += " To make a new machine there: korvex-cli --machine " + location->dir + " init";
        return nullptr;
    }
    std::unique_ptr<MachineSession> session(new MachineSession);
    session->dir_ = location->dir;
    session->builtIn_ = location->builtIn;
    session->parts_ = std::make_unique<Parts>();
    session->parts_->machine = std::move(machine);
    wine::WineMachine& m = *session->parts_->machine;
    session->watch_ = std::make_unique<RefusalWatch>(m.registry());
    session->services_ = std::make_unique<Services>(Services{*session->watch_, m.files(), m.system(), m.shell()});
    return session;
}

}  // namespace korvex::cli
