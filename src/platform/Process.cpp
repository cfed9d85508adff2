#include "platform/Process.h"

#include "platform/Convert.h"
#include "platform/Paths.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

namespace korvane {

namespace {

bool isExeName(const std::string& path)
{
    return path.size() >= 4 && lowerCase(path.substr(path.size() - 4)) == ".exe";
}

} // namespace

// argv storage whose pointers stay valid across fork().
struct Process::Argv
{
    explicit Argv(std::vector<std::string> words) : strings(std::move(words))
    {
        for (std::string& s : strings)
            pointers.push_back(s.data());
        pointers.push_back(nullptr);
    }
    bool empty() const { return strings.empty(); }
    std::vector<std::string> strings;
    std::vector<char*> pointers;
};

std::vector<std::string> splitWindowsCommandLine(const std::string& arguments)
{
    std::vector<std::string> result;
    const char* p = arguments.c_str();
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    for (;;) {
        while (blank(*p))
            ++p;
        if (*p == '\0') break;
        std::string arg;
        bool inQuote = false;
        for (;;) {
            bool copy = true;
            size_t slashes = 0;
            while (*p == '\\') {
                ++p;
                ++slashes;
            }
            if (*p == '"') {
                if (slashes % 2 == 0) {
                    if (inQuote && p[1] == '"')
                        ++p; // "" inside quotes: one literal quote, still quoted
                    else {
                        copy = false;
                        inQuote = !inQuote;
                    }
                }
                slashes /= 2;
            }
            arg.append(slashes, '\\');
            if (*p == '\0' || (!inQuote && blank(*p))) break;
            if (copy) arg += *p;
            ++p;
        }
        result.push_back(std::move(arg));
    }
    return result;
}

std::string quoteWindowsArgument(const std::string& text)
{
    std::string result = "\"";
    size_t slashes = 0;
    for (const char c : text) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        // Backslashes count only before a quote.
        result.append(c == '"' ? slashes * 2 + 1 : slashes, '\\');
        slashes = 0;
        result += c;
    }
    result.append(slashes * 2, '\\'); // they stand before the closing quote
    result += '"';
    return result;
}

std::string findOnPath(const std::string& name)
{
    const char* path = std::getenv("PATH");
    if (!path) return {};
    const std::string dirs = path;
    size_t begin = 0;
    for (;;) {
        const size_t end = dirs.find(':', begin);
        const std::string dir =
            dirs.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
        // An empty entry means the current directory.
        // The child starts in another folder: a relative entry must not stay relative.
        std::string folder = dir.empty() ? std::string(".") : dir;
        if (folder.front() != '/') folder = currentDirectory() + "/" + folder;
        const std::string candidate = folder + "/" + name;
        if (inspectProgram(candidate) == ProgramFile::Executable) return candidate;
        if (end == std::string::npos) return {};
        begin = end + 1;
    }
}

ProgramFile inspectProgram(const std::string& path)
{
    struct stat info
    {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return ProgramFile::Missing;
    if (S_ISDIR(info.st_mode)) return ProgramFile::Folder;
    if (!S_ISREG(info.st_mode)) return ProgramFile::NotExecutable;
    if (::access(path.c_str(), X_OK) == 0) return ProgramFile::Executable;
    char start[2] = {};
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        [[maybe_unused]] const ssize_t got = ::read(fd, start, sizeof start);
        ::close(fd);
    }
    return start[0] == '#' && start[1] == '!' ? ProgramFile::ScriptWithoutRunBit : ProgramFile::NotExecutable;
}

std::string systemErrorText(int error)
{
    return std::generic_category().message(error);
}

std::unique_ptr<Process> Process::start(const std::string& program, const std::string& arguments,
                                        const std::string& workingDirectory)
{
    const std::vector<std::string> args = splitWindowsCommandLine(arguments);
    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());

    // A Windows binary is not executable here (no x bit, or no binfmt handler).
    std::vector<std::string> wineWords;
    if (isExeName(program)) {
        const std::string wine = findOnPath("wine");
        if (!wine.empty()) {
            wineWords = {wine, program};
            wineWords.insert(wineWords.end(), args.begin(), args.end());
        }
    }
    return spawn(Argv(words), Argv(wineWords), workingDirectory, nullptr);
}

std::unique_ptr<Process> Process::startNative(const std::string& program,
                                              const std::vector<std::string>& arguments,
                                              const std::string& workingDirectory, int* error)
{
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return spawn(Argv(words), Argv({}), workingDirectory, error);
}

std::unique_ptr<Process> Process::spawn(const Argv& direct, const Argv& viaWine,
                                        const std::string& workingDirectory, int* errorOut)
{
    const auto fail = [errorOut](int error) -> std::unique_ptr<Process> {
        if (errorOut) *errorOut = error;
        return nullptr;
    };
    // The child reports a failed exec through this pipe; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return fail(errno);

    const pid_t pid = ::fork();
    if (pid < 0) {
        const int error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return fail(error);
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here on: the parent has threads.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        struct sigaction dfl
        {};
        dfl.sa_handler = SIG_DFL;
        ::sigaction(SIGPIPE, &dfl, nullptr);
        int error = 0;
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0) {
            error = errno;
        } else {
            ::execv(direct.pointers[0], direct.pointers.data());
            error = errno;
            if ((error == ENOEXEC || error == EACCES) && !viaWine.empty()) {
                ::execv(viaWine.pointers[0], viaWine.pointers.data());
                error = errno;
            }
        }
        [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }

    ::close(report[1]);
    int error = 0;
    ssize_t got;
    do
        got = ::read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
    ::close(report[0]);
    if (got > 0) {
        int ignored;
        while (::waitpid(pid, &ignored, 0) < 0 && errno == EINTR) {
        }
        return fail(error);
    }
    return std::unique_ptr<Process>(new Process(pid));
}

Process::~Process() = default;

int Process::exitStatus()
{
    if (m_ended) return m_status;
    int status = 0;
    pid_t r;
    do
        r = ::waitpid(m_pid, &status, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r == 0) return StillActive;
    m_ended = true;
    if (r < 0)
        m_status = -1; // reaped by someone else: it has ended all the same
    else if (WIFEXITED(status))
        m_status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        m_status = 128 + WTERMSIG(status);
    else
        m_status = -1;
    return m_status;
}

long raiseOpenFileLimit(long wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
    if (limit.rlim_cur == RLIM_INFINITY) return wanted;
    if (limit.rlim_cur < static_cast<rlim_t>(wanted)) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max == RLIM_INFINITY
                              ? static_cast<rlim_t>(wanted)
                              : std::min(limit.rlim_max, static_cast<rlim_t>(wanted));
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    return static_cast<long>(limit.rlim_cur);
}

int descriptorsToSpare(int wanted)
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::max(1, wanted);
    // A quarter of a small limit is margin enough; a large one keeps 128.
    const long current = static_cast<long>(limit.rlim_cur);
    const long usable = current - std::clamp<long>(current / 4, 16, 128);
    return static_cast<int>(std::clamp<long>(std::min<long>(wanted, usable), 1, std::max(1, wanted)));
}

} // namespace korvane
