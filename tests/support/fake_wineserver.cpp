#include "tests/support/fake_wineserver.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace korvex::test {

FakeWineserver::FakeWineserver(const std::string& lockPath) : lockPath_(lockPath) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(lockPath).parent_path(), ec);
    int ready[2], release[2];
    if (::pipe(ready) != 0 || ::pipe(release) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT, 0600);
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_len = 1;
        const char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0) ? 'y' : 'n';
        if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
        char c;
        while (::read(release[0], &c, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    release_ = release[1];
    char ok = 'n';
    if (::read(ready[0], &ok, 1) == 1) locked_ = ok == 'y';
    ::close(ready[0]);
}

FakeWineserver::~FakeWineserver() { stop(); }

void FakeWineserver::stop() {
    if (pid_ <= 0) return;
    ::close(release_);
    ::waitpid(pid_, nullptr, 0);
    pid_ = 0;
    std::error_code ec;
    std::filesystem::remove(lockPath_, ec);
    std::filesystem::remove(std::filesystem::path(lockPath_).parent_path(), ec);
}

}  // namespace korvex::test
