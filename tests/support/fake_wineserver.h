// A stand-in for a running wineserver, for tests of Korvex's refusal to write a
// machine's registry behind Wine's back.
#pragma once

#include <sys/types.h>

#include <string>

namespace korvex::test {

// A child process that holds the write lock on lockPath (a wineserver's lock file;
// its folder is made) until stop() or destruction, then removes the file and the
// folder if that is empty.
class FakeWineserver {
public:
    explicit FakeWineserver(const std::string& lockPath);
    ~FakeWineserver();
    FakeWineserver(const FakeWineserver&) = delete;
    FakeWineserver& operator=(const FakeWineserver&) = delete;

    void stop();
    bool locked() const { return locked_; }
    pid_t pid() const { return pid_; }

private:
    std::string lockPath_;
    pid_t pid_ = 0;
    int release_ = -1;
    bool locked_ = false;
};

}  // namespace korvex::test
