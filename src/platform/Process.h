#pragma once
// Starting another program the way the games expect to be started: one
// argument string, split as a Windows program splits its command line, and a
// working directory. A .exe that Linux cannot run directly goes through wine.

#include <memory>
#include <string>
#include <vector>

namespace korvane {

// Exit status reported while the process still runs.
inline constexpr int StillActive = 259;

// The arguments a Windows program's C runtime makes of its command line
// (after the program name): blanks and tabs separate, double quotes group,
// 2n backslashes + quote give n backslashes and toggle quoting, 2n+1
// backslashes + quote give n backslashes and a literal quote, "" inside
// quotes gives a literal quote, other backslashes are literal.
std::vector<std::string> splitWindowsCommandLine(const std::string& arguments);
// The text between double quotes so that splitting gives it back exactly,
// under the old and the new Windows rules alike: backslashes before a quote
// doubled, embedded quotes escaped. A plain text only gains its two quotes.
std::string quoteWindowsArgument(const std::string& text);

// Full path of an executable file of that name on PATH, "" when none.
std::string findOnPath(const std::string& name);

// What a path is, as a program to start.
enum class ProgramFile { Missing, Folder, NotExecutable, ScriptWithoutRunBit, Executable };
ProgramFile inspectProgram(const std::string& path);

// The system's text for an error number ("Exec format error").
std::string systemErrorText(int error);

class Process
{
public:
    // nullptr when the program cannot be started (missing, not executable and
    // no wine for it, bad working directory). The program keeps running when
    // the handle goes away.
    static std::unique_ptr<Process> start(const std::string& program, const std::string& arguments,
                                          const std::string& workingDirectory);
    // A program of this system with exactly these arguments after its name;
    // never through wine. On failure the error number goes to *error.
    static std::unique_ptr<Process> startNative(const std::string& program,
                                                const std::vector<std::string>& arguments,
                                                const std::string& workingDirectory, int* error = nullptr);

    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The exit code, or StillActive while the process runs; 128 + signal
    // number after a signal ended it.
    int exitStatus();

    int pid() const { return m_pid; }

private:
    explicit Process(int pid) : m_pid(pid) {}
    struct Argv;
    static std::unique_ptr<Process> spawn(const Argv& direct, const Argv& viaWine,
                                          const std::string& workingDirectory, int* error);

    int m_pid;
    bool m_ended = false;
    int m_status = StillActive;
};

// What the program needs open at most: a scan's sockets, the margin the scan
// keeps for everything else, pings and files, with room to spare.
inline constexpr long WantedOpenFiles = 1024;

// Raises the soft limit of open descriptors towards wanted, as far as the
// hard limit allows (never lowers it); the limit in force afterwards.
long raiseOpenFileLimit(long wanted);

// How many descriptors one part of the program (a pool of sockets) may open:
// wanted, but inside the limit with a margin for everything else (a quarter
// of a small limit); at least one.
int descriptorsToSpare(int wanted);

} // namespace korvane
