#include "net/THostChecker.h"

#include <QObject>
#include <QTimer>

#include <system_error>

namespace korvane {

std::string replyLine(const TPingThread& worker)
{
    return "Ping for " + worker.Host + ", received " + std::to_string(worker.DataSize) + " bytes from " +
           worker.ReplyIP + " in " + std::to_string(worker.Time) + "ms";
}

std::string failureLine(const TPingThread& worker)
{
    return "Ping for " + worker.Host + ", " + worker.ErrorText;
}

THostChecker::THostChecker(std::shared_ptr<IcmpEcho> service, WorkerRegistry& registry)
    : m_service(std::move(service)), m_registry(registry), m_context(std::make_unique<QObject>())
{
    m_timer = new QTimer(m_context.get());
    m_timer->setInterval(1000);
    QObject::connect(m_timer, &QTimer::timeout, m_context.get(), [this] { timerTick(); });
}

THostChecker::~THostChecker()
{
    // Before the context goes: a worker posting now finds the halt instead.
    m_halt->halt();
}

void THostChecker::setAutoCheck(bool on)
{
    m_autoCheck = on;
    if (!on)
        m_timer->stop();
    else if (!m_timer->isActive())
        m_timer->start();
}

void THostChecker::setAutoCheckPeriod(std::uint16_t ms)
{
    if (ms == 0) return;
    m_autoCheckPeriod = ms;
    m_timer->setInterval(ms);
}

void THostChecker::setPingCount(std::uint8_t count)
{
    if (count != 0) m_pingCount = count;
}

void THostChecker::setPingSize(std::uint8_t bytes)
{
    if (bytes != 0) m_pingSize = bytes;
}

void THostChecker::setTTL(std::uint8_t ttl)
{
    if (ttl != 0) m_ttl = ttl;
}

void THostChecker::setPingTimeOut(std::uint16_t ms)
{
    if (ms != 0) m_pingTimeOut = ms;
}

bool isBlankHost(const std::string& host)
{
    for (const char c : host)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

void THostChecker::setHostName(const std::string& host)
{
    if (isBlankHost(host)) return;
    if (host != m_hostName) abandonChecks();
    m_hostName = host;
}

void THostChecker::abandonChecks()
{
    if (shuttingDown()) return;
    m_halt->halt();
    m_halt = std::make_shared<HaltSwitch>();
    m_finished = 0;
    m_failed = 0;
}

bool THostChecker::timerActive() const
{
    return m_timer->isActive();
}

int THostChecker::timerInterval() const
{
    return m_timer->interval();
}

void THostChecker::CheckNow()
{
    StartRound(m_hostName, m_pingCount, m_pingTimeOut, PingMode);
}

void THostChecker::StartRound(const std::string& host, std::uint8_t count, std::uint16_t timeOut,
                              THostChecker_PingMode mode)
{
    m_checkMode = mode;
    m_checkCount = count;
    m_checkSize = m_pingSize;
    m_checkTimeOut = timeOut;
    m_checkTTL = m_ttl;
    if (mode == THostChecker_PingMode::hpmSimultaneous) {
        m_finished = 0;
        m_failed = 0;
        for (int i = 0; i < m_pingCount; ++i)
            startWorker(host);
    } else {
        startWorker(host);
    }
}

void THostChecker::startWorker(const std::string& host)
{
    auto worker = std::make_shared<TPingThread>();
    worker->Size = m_checkSize;
    worker->Host = host;
    worker->TimeOut = m_checkTimeOut;
    worker->TTL = m_checkTTL;
    worker->ResolveNames = false;
    try {
        TPingThread::start(worker, m_service, UiCarrier(m_context.get(), m_halt), m_halt, m_registry,
                           [this](const TPingThread& done) { PingDone(done); });
    } catch (const std::system_error&) {
        // No thread to be had: a ping that failed without a reason, reported
        // from the event loop as a worker's would be.
        QTimer::singleShot(0, m_context.get(), [this, worker] { PingDone(*worker); });
    }
}

void THostChecker::PingDone(const TPingThread& worker)
{
    if (shuttingDown()) return;
    ++m_finished;
    if (worker.Result != 0) {
        log(replyLine(worker), LogLevelPing, LogStatusReply);
    } else {
        log(failureLine(worker), LogLevelPing, LogStatusFailure);
        ++m_failed;
    }
    if (m_finished == m_checkCount) {
        const bool link = m_failed < m_finished;
        if (link) {
            log("There is link to " + m_hostName + ".", LogLevelVerdict, LogStatusVerdict);
            if (OnLink) OnLink(*this);
        } else {
            log("No link to " + m_hostName + ".", LogLevelVerdict, LogStatusVerdict);
            if (OnNoLink) OnNoLink(*this);
        }
        if (OnCheckLink) OnCheckLink(*this, link);
        m_finished = 0;
        m_failed = 0;
    } else if (m_checkMode == THostChecker_PingMode::hpmOneByOne) {
        StartRound(m_hostName, m_checkCount, m_checkTimeOut, THostChecker_PingMode::hpmOneByOne);
    }
}

void THostChecker::log(std::string msg, std::uint8_t level, TLogStatus status)
{
    if (OnLog) OnLog(*this, LogID, msg, level, status);
}

void THostChecker::timerTick()
{
    if (!shuttingDown() && m_autoCheck) CheckNow();
}

} // namespace korvane
