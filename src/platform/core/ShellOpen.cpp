#include "platform/ShellOpen.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/Diagnostics.h"
#include "platform/InstalledServices.h"

extern char** environ;

namespace tavixTGCL2::ShellOpen {

namespace {

std::mutex& openerMutex() {
    static std::mutex m;
    return m;
}
Opener& openerSlot() {
    static Opener o;
    return o;
}

bool executableFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program's path as execvp would find it, looked up before the fork so
// that the child does nothing but async-signal-safe calls.
std::string resolve(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return executableFile(program) ? program : std::string();
    const char* env = std::getenv("PATH");
    const std::string path = env ? env : "/usr/local/bin:/usr/bin:/bin";
    std::size_t begin = 0;
    while (begin <= path.size()) {
        std::size_t end = path.find(':', begin);
        if (end == std::string::npos) end = path.size();
        std::string candidate = end > begin ? path.substr(begin, end - begin) : std::string(".");
        candidate.push_back('/');
        candidate.append(program);
        if (executableFile(candidate)) return candidate;
        begin = end + 1;
    }
    return {};
}

}  // namespace

bool launchDetached(const std::string& program, const std::vector<std::string>& args) {
    try {
        const std::string path = resolve(program);
        if (path.empty()) return false;
        std::vector<std::string> storage;
        storage.reserve(args.size() + 1);
        storage.push_back(program);
        for (const auto& a : args) storage.push_back(a);
        std::vector<char*> argv;
        for (auto& s : storage) argv.push_back(s.data());
        argv.push_back(nullptr);

        // The grandchild reports a failed exec through the pipe; a
        // successful exec closes it.
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return false;
        const pid_t child = ::fork();
        if (child < 0) {
            ::close(fds[0]);
            ::close(fds[1]);
            return false;
        }
        if (child == 0) {
            // The middle process exits at once, so the opener is adopted by
            // init and never lingers as the caller's zombie.
            const pid_t grandchild = ::fork();
            if (grandchild != 0) ::_exit(grandchild < 0 ? 127 : 0);
            ::setsid();
            ::execve(path.c_str(), argv.data(), environ);
            const int err = errno;
            [[maybe_unused]] ssize_t n = ::write(fds[1], &err, sizeof err);
            ::_exit(127);
        }
        ::close(fds[1]);
        bool started = true;
        int status = 0;
        pid_t waited;
        do waited = ::waitpid(child, &status, 0);
        while (waited < 0 && errno == EINTR);
        // ECHILD: the host ignores SIGCHLD and the system reaped it.
        if (waited == child) started = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        int err = 0;
        ssize_t got;
        do got = ::read(fds[0], &err, sizeof err);
        while (got < 0 && errno == EINTR);
        ::close(fds[0]);
        return started && got == 0;
    } catch (...) {
        reportContained();
        return false;
    }
}

bool openWithDesktop(const std::string& target) { return launchDetached("xdg-open", {target}); }

bool open(const std::string& target) {
    if (target.empty()) return false;
    Opener opener;
    {
        std::lock_guard lock(openerMutex());
        opener = openerSlot();
    }
    try {
        return opener ? opener(target) : openWithDesktop(target);
    } catch (...) {
        reportContained();
        return false;
    }
}

Opener installedOpener() {
    std::lock_guard lock(openerMutex());
    return openerSlot();
}

void setOpener(Opener opener) {
    std::lock_guard lock(openerMutex());
    openerSlot() = std::move(opener);
}

}  // namespace tavixTGCL2::ShellOpen
