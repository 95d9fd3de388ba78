// "Is Korvex already open on this machine?": a lock file per machine in the user's
// runtime folder, held while the main window is up. Another machine (another Wine
// prefix) is another lock, so two prefixes can be worked on at once. A crashed
// instance leaves no lasting lock: its process is gone, and the lock goes with it.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace korvex {

class SingleInstance {
public:
    // machineKey identifies the machine, e.g. the host folder of the prefix.
    explicit SingleInstance(const QString& machineKey);
    ~SingleInstance();

    // Takes the lock; false when another instance holds it. Succeeds when no lock can
    // be made at all (no writable runtime folder): refusing to start would be worse.
    bool acquire();

    // The lock file's path (for tests and messages).
    QString lockPath() const { return path_; }

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

// The folder for Korvex's lock files: $XDG_RUNTIME_DIR, or a private folder of the
// user's in /tmp when that is unset. "" when neither can be had safely.
QString RuntimeFolder();

}  // namespace korvex
