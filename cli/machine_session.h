// One run of korvex-cli on one machine: finds the machine (--machine, the
// environment, ~/.wine, else the built-in demo machine), opens its registry, files
// and system facts, and notices registry writes that Wine refused, so that a command
// can end with exit status 1 instead of pretending it worked.
#pragma once

#include <memory>
#include <string>

#include "platform/registry.h"
#include "platform/services.h"

namespace korvex::cli {

// Passes every call on and remembers whether a write was refused.
class RefusalWatch : public Registry {
public:
    explicit RefusalWatch(Registry& inner) : inner_(inner) {}

    long openKey(HKEY parent, std::string_view subKey, std::uint32_t access, HKEY* result) override {
        return inner_.openKey(parent, subKey, access, result);
    }
    long createKey(HKEY parent, std::string_view subKey, HKEY* result) override {
        return note(inner_.createKey(parent, subKey, result));
    }
    long closeKey(HKEY key) override { return note(inner_.closeKey(key)); }
    long queryValue(HKEY key, std::string_view name, std::uint32_t* type, std::string* data) override {
        return inner_.queryValue(key, name, type, data);
    }
    long setValue(HKEY key, std::string_view name, std::uint32_t type, std::string_view data) override {
        return note(inner_.setValue(key, name, type, data));
    }
    long deleteValue(HKEY key, std::string_view name) override { return note(inner_.deleteValue(key, name)); }
    long enumKey(HKEY key, std::uint32_t index, std::string* name) override {
        return inner_.enumKey(key, index, name);
    }
    long enumValue(HKEY key, std::uint32_t index, std::string* name, std::uint32_t* type,
                   std::string* data) override {
        return inner_.enumValue(key, index, name, type, data);
    }
    long deleteTree(HKEY parent, std::string_view subKey) override { return note(inner_.deleteTree(parent, subKey)); }
    long flush() override { return note(inner_.flush()); }
    std::string writeRefusal() override { return inner_.writeRefusal(); }

    bool refused() const { return refused_; }

private:
    long note(long status) {
        if (status == ERROR_LOCK_VIOLATION) refused_ = true;
        return status;
    }
    Registry& inner_;
    bool refused_ = false;
};

// Owns the opened machine of one command and hands out its services.
class MachineSession {
public:
    // Finds and opens the machine; nothing (with a sentence in error) when it cannot.
    static std::unique_ptr<MachineSession> open(const std::string& explicitDir, std::string* error);
    ~MachineSession();

    Services& services() { return *services_; }
    RefusalWatch& registry() { return *watch_; }
    const std::string& dir() const { return dir_; }
    bool builtIn() const { return builtIn_; }

private:
    MachineSession() = default;
    struct Parts;
    std::unique_ptr<Parts> parts_;
    std::unique_ptr<RefusalWatch> watch_;
    std::unique_ptr<Services> services_;
    std::string dir_;
    bool builtIn_ = false;
};

}  // namespace korvex::cli
