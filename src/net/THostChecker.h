#pragma once
// Decides whether a host can be reached: a check sends one or more echo
// requests through TPingThread workers, reports every single result and a
// final verdict as log lines, and raises link / no-link notifications. It can
// repeat the check on its own timer. Everything it reports runs on the UI
// thread; the workers never wait for it to go away.

#include "net/TPingThread.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;
class QTimer;

namespace korvane {

enum class THostChecker_PingMode { hpmSimultaneous, hpmOneByOne };

// Levels and statuses of the log lines.
using TLogStatus = std::uint8_t;
inline constexpr TLogStatus LogStatusFailure = 3;
inline constexpr TLogStatus LogStatusReply = 8;
inline constexpr TLogStatus LogStatusVerdict = 9;
inline constexpr std::uint8_t LogLevelPing = 64;
inline constexpr std::uint8_t LogLevelVerdict = 96;

class THostChecker
{
public:
    explicit THostChecker(std::shared_ptr<IcmpEcho> service, WorkerRegistry& registry = pingWorkers());
    ~THostChecker();
    THostChecker(const THostChecker&) = delete;
    THostChecker& operator=(const THostChecker&) = delete;

    // Published properties; a setter that ignores a value says so.
    std::string LogID = "Link checker";
    bool AutoCheck() const { return m_autoCheck; }
    void setAutoCheck(bool on); // the timer runs with it
    std::uint16_t AutoCheckPeriod() const { return m_autoCheckPeriod; }
    void setAutoCheckPeriod(std::uint16_t ms); // 0 ignored; otherwise the timer's interval too
    std::uint8_t PingCount() const { return m_pingCount; }
    void setPingCount(std::uint8_t count); // 0 ignored
    std::uint8_t PingSize() const { return m_pingSize; }
    void setPingSize(std::uint8_t bytes); // 0 ignored
    std::uint8_t TTL() const { return m_ttl; }
    void setTTL(std::uint8_t ttl); // 0 ignored
    std::uint16_t PingTimeOut() const { return m_pingTimeOut; }
    void setPingTimeOut(std::uint16_t ms); // 0 ignored
    const std::string& HostName() const { return m_hostName; }
    // Ignored when blank (isBlankHost); stored untrimmed. Another host than
    // before abandons the checks under way.
    void setHostName(const std::string& host);
    THostChecker_PingMode PingMode = THostChecker_PingMode::hpmSimultaneous;

    std::function<void(THostChecker& sender)> OnLink;
    std::function<void(THostChecker& sender)> OnNoLink;
    std::function<void(THostChecker& sender, bool linkExist)> OnCheckLink;
    // What the handler writes back is not used.
    std::function<void(THostChecker& sender, const std::string& logId, std::string& msg, std::uint8_t& level,
                       TLogStatus& status)>
        OnLog;

    // One check with the current settings.
    void CheckNow();
    // The checks under way report nothing more and the counters start afresh:
    // their results would be about a host no longer asked for.
    void abandonChecks();
    void StartRound(const std::string& host, std::uint8_t count, std::uint16_t timeOut,
                    THostChecker_PingMode mode);

    // The internal timer, as it runs.
    bool timerActive() const;
    int timerInterval() const;

private:
    void PingDone(const TPingThread& worker);
    void startWorker(const std::string& host);
    void log(std::string msg, std::uint8_t level, TLogStatus status);
    void timerTick();
    bool shuttingDown() const { return m_halt->halted(); }

    std::shared_ptr<IcmpEcho> m_service;
    WorkerRegistry& m_registry;
    // Halted when the checker goes, the program ends or the checks under way
    // are abandoned (replaced then by a fresh one): from then on no result of
    // the workers started under it reaches the checker.
    std::shared_ptr<HaltSwitch> m_halt = std::make_shared<HaltSwitch>();
    std::unique_ptr<QObject> m_context; // where the workers' results arrive, on the UI thread
    QTimer* m_timer;

    bool m_autoCheck = false;
    std::uint16_t m_autoCheckPeriod = 10000;
    std::uint8_t m_pingCount = 5;
    std::uint8_t m_pingSize = 1;
    std::uint8_t m_ttl = 64;
    std::uint16_t m_pingTimeOut = 1500;
    std::string m_hostName = "localhost";

    // Shared by every check: a check that starts while an earlier one still
    // runs resets them, and late results count towards the new check.
    int m_finished = 0;
    int m_failed = 0;
    std::uint8_t m_checkCount = 0;
    std::uint8_t m_checkSize = 0;
    std::uint16_t m_checkTimeOut = 0;
    std::uint8_t m_checkTTL = 0;
    THostChecker_PingMode m_checkMode = THostChecker_PingMode::hpmSimultaneous;
};

// Empty, or nothing but blanks and control characters: no host at all.
bool isBlankHost(const std::string& host);

// "Ping for 10.0.0.5, received 1 bytes from 10.0.0.5 in 23ms" and the other lines.
std::string replyLine(const TPingThread& worker);
std::string failureLine(const TPingThread& worker);

} // namespace korvane
