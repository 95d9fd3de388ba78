// Detached starts of host programs (wine, xdg-open) and Windows command-line splitting.
#include "platform/wine/host_launch.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvex::wine {

std::string FindOnPath(std::string_view program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string_view::npos) {
        const std::string path(program);
        return ::access(path.c_str(), X_OK) == 0 ? path : std::string();
    }
    const char* path = std::getenv("PATH");
    std::string_view dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        const std::size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + std::string(program);
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos) break;
        dirs.remove_prefix(colon + 1);
    }
    return {};
}

bool StartDetached(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv) {
    if (argv.empty() || argv[0].empty()) return false;
    // Everything the child needs is built before fork: after it only async-signal-safe
    // calls are allowed (the windows run other threads).
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> env;
    for (char** e = environ; e && *e; ++e) {
        const char* equals = std::strchr(*e, '=');
        const std::size_t nameLength = equals ? static_cast<std::size_t>(equals - *e) : std::strlen(*e);
        bool replaced = false;
        for (const std::string& extra : extraEnv)
            if (extra.size() > nameLength && extra.compare(0, nameLength, *e, nameLength) == 0 && extra[nameLength] == '=')
                replaced = true;
        if (!replaced) env.push_back(*e);
    }
    for (const std::string& extra : extraEnv) env.push_back(const_cast<char*>(extra.c_str()));
    env.push_back(nullptr);

    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        if (::fork() == 0) {
            ::setsid();
            const int null = ::open("/dev/null", O_RDWR);
            if (null >= 0) {
                ::dup2(null, 0);
                ::dup2(null, 1);
                ::dup2(null, 2);
            }
            ::execve(args[0], args.data(), env.data());
            ::_exit(127);
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
            if (line[i] == '\\') {
                std::size_t count = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++count;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    arg.append(count / 2, '\\');
                    if (count % 2) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(count, '\\');
                }
            } else if (line[i] == '"') {
                quoted = !quoted;
                ++i;
            } else {
                arg += line[i++];
            }
        }
        out.push_back(std::move(arg));
    }
    return out;
}

}  // namespace korvex::wine
