#include "platform/SendPacer.h"

#include <algorithm>

namespace korvane {

namespace {

using namespace std::chrono_literals;

// Requests that may leave together at the start, and at least at any time.
constexpr double StartBurst = 32;
constexpr double LeastBurst = 4;
// Requests that leave before the first reply, and how long that reply is
// waited for before the servers asked count as silent.
constexpr std::size_t FirstRequests = 48;
constexpr auto FirstWait = 200ms;
// A rate that no worker reaches: nothing held back.
constexpr double MostRate = 1e8;
// The bucket holds what the rate gives in this long, so a worker that wakes
// once a millisecond still keeps the rate.
constexpr auto BurstTime = 2ms;
// Replies whose delays and arrival times decide a round.
constexpr std::size_t Remembered = 32;
// A round is judged once this many replies came in it: few while starting,
// so a slow path starts soon, more after, so a burst does not pass for a rate.
constexpr int StartRoundReplies = 4;
constexpr int RoundReplies = 16;
// The rate the replies came at is taken over this long (or the arrivals
// remembered), long enough that a path's bursts do not pass for its rate.
constexpr auto DeliveryWindow = 100ms;
constexpr std::size_t MostArrivals = 1024;
constexpr std::size_t StartArrivals = 16;
// A round is one round trip, but never shorter than this.
constexpr auto LeastRound = 500us;
constexpr auto MostRound = 1s;
// How long sends are remembered for the share of servers answering.
constexpr auto SendMemory = 4s;
// A queue this long ends the start.
constexpr auto StartQueueDelay = 3ms;
// Growth per round without a queue: doubling while starting, gently after
// the first queue.
constexpr double StartGrowth = 2.0;
constexpr double GentleGrowth = 1.25;
// Growth never takes the rate past this multiple of what came back lately.
constexpr double MostAboveDelivered = 1.5;
// After a queue, the rate goes well below what came back until the queue has
// drained, then just below it.
constexpr double BelowDelivered = 0.95;
constexpr double Draining = 0.7;
constexpr double OnDrops = 0.5;

double seconds(SendPacer::Duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

SendPacer::SendPacer(Time start)
    : m_tokens(StartBurst), m_refilled(start), m_firstSent(start), m_roundEnd(start + LeastRound),
      m_roundStart(start), m_calmUntil(start)
{}

void SendPacer::refill(Time now)
{
    if (now <= m_refilled) return;
    const double burst = std::max(LeastBurst, m_rate * seconds(BurstTime));
    m_tokens = std::min(std::max(burst, m_tokens), m_tokens + m_rate * seconds(now - m_refilled));
    m_refilled = now;
}

int SendPacer::allowance(Time now)
{
    refill(now);
    if (now >= m_roundEnd) endRound(now);
    if (heldForFirstReply(now)) return 0;
    return m_tokens >= 1 ? static_cast<int>(std::min(m_tokens, 1e9)) : 0;
}

SendPacer::Time SendPacer::nextSendAt() const
{
    if (heldForFirstReply(m_refilled)) return m_firstSent + FirstWait;
    if (m_tokens >= 1) return m_refilled;
    return m_refilled +
           std::chrono::duration_cast<Duration>(std::chrono::duration<double>((1 - m_tokens) / m_rate));
}

// Until a reply tells how far away the path is, no more than a first few
// leave; when none comes for a while, the servers asked are silent and carry
// nothing back.
bool SendPacer::heldForFirstReply(Time now) const
{
    return m_replies == 0 && m_sends.size() + m_olderSends >= FirstRequests && !firstAllSilent(now);
}

bool SendPacer::firstAllSilent(Time now) const
{
    return m_unanswered >= FirstRequests || now >= m_firstSent + FirstWait;
}

void SendPacer::unanswered(Time now)
{
    ++m_unanswered;
    if (m_replies == 0 && firstAllSilent(now)) m_roundEnd = now;
}

void SendPacer::sent(Time now)
{
    if (m_sends.empty() && m_olderSends == 0) m_firstSent = now;
    refill(now);
    m_tokens -= 1;
    m_sends.push_back(now);
    while (!m_sends.empty() && m_sends.front() < now - SendMemory) {
        m_sends.pop_front();
        ++m_olderSends;
    }
}

void SendPacer::replied(Time sentAt, Time arrivedAt)
{
    const Duration delay = std::max(Duration::zero(), arrivedAt - sentAt);
    m_leastDelay = std::min(m_leastDelay, delay);
    if (m_delays.size() < Remembered)
        m_delays.push_back(delay);
    else
        m_delays[m_nextDelay] = delay;
    m_nextDelay = (m_nextDelay + 1) % Remembered;
    m_arrivals.push_back(arrivedAt);
    while (m_arrivals.size() > MostArrivals || m_arrivals.front() < arrivedAt - DeliveryWindow)
        m_arrivals.pop_front();
    ++m_replies;
    ++m_roundReplies;
    m_roundLeast = std::min(m_roundLeast, delay);
    m_roundMost = std::max(m_roundMost, delay);
    if (arrivedAt >= m_roundEnd) endRound(arrivedAt);
}

void SendPacer::dropped(Time now, int count)
{
    if (count > 0 && now >= m_calmUntil) backOff(now, OnDrops);
}

SendPacer::Duration SendPacer::recentMostDelay() const
{
    Duration most = Duration::zero();
    for (const Duration d : m_delays)
        most = std::max(most, d);
    return most;
}

SendPacer::Duration SendPacer::roundLength() const
{
    return std::clamp<Duration>(recentMostDelay(), LeastRound, MostRound);
}

double SendPacer::deliveredRequestRate(Time now) const
{
    // While starting, the last few replies tell best how the rate has grown;
    // after that, a longer look keeps a burst from passing for the rate.
    const std::size_t n = m_starting ? std::min(m_arrivals.size(), StartArrivals) : m_arrivals.size();
    if (n < 4) return 0;
    const auto [first, last] =
        std::minmax_element(m_arrivals.end() - static_cast<std::ptrdiff_t>(n), m_arrivals.end());
    const double span = seconds(*last - *first);
    if (span <= 0) return 0;
    const double replyRate = static_cast<double>(n - 1) / span;
    // The share of servers answering, from the requests old enough to have
    // had their answer; counting every reply so far errs towards a share
    // too high, which errs towards a rate too low.
    const Time answeredBy = now - std::min<Duration>(2 * recentMostDelay() + LeastRound, SendMemory);
    const auto young = std::lower_bound(m_sends.begin(), m_sends.end(), answeredBy);
    const double old = static_cast<double>(m_olderSends) + static_cast<double>(young - m_sends.begin());
    const double share = old > 0 ? std::clamp(static_cast<double>(m_replies) / old, 0.1, 1.0) : 1.0;
    return replyRate / share;
}

void SendPacer::backOff(Time now, double share)
{
    const double delivered = deliveredRequestRate(now);
    // While draining, the rate sent is below what the path carries on purpose.
    const double sending = m_draining ? std::max(m_rate, m_cruise) : m_rate;
    m_cruise = std::max(LeastRate, (delivered > 0 ? std::min(sending, delivered) : sending) * BelowDelivered);
    m_rate = std::max(LeastRate, m_cruise * share);
    m_tokens = std::min(m_tokens, 1.0);
    m_starting = false;
    m_draining = true;
    // What was sent meanwhile meets the same queue: judge again once it is through.
    m_calmUntil = now + roundLength();
    m_roundEnd = m_calmUntil;
}

void SendPacer::endRound(Time now)
{
    // Nothing has ever come back: nothing queues on the way back either.
    if (m_replies == 0 && firstAllSilent(now)) {
        m_rate = std::min(MostRate, m_rate * StartGrowth);
        m_roundEnd = now + LeastRound;
        return;
    }
    // A round is judged by the replies that came in it; one with too few
    // goes on (a slow path's rounds are longer).
    if (m_roundReplies < (m_starting ? StartRoundReplies : RoundReplies) &&
        now < m_roundStart + 8 * roundLength()) {
        m_roundEnd = now + LeastRound;
        return;
    }
    m_roundEnd = now + roundLength();
    m_roundStart = now;
    if (m_roundReplies == 0) return;
    m_roundReplies = 0;
    const Duration queue = m_roundLeast - m_leastDelay;
    const Duration roundSpread = m_roundMost - m_roundLeast;
    m_roundLeast = Duration::max();
    m_roundMost = Duration::zero();
    // While starting, the rate doubles: the first sign of a queue ends that.
    // Servers far away answer later than near ones, which is no queue: the
    // more the delays within a round differ, the more it takes.
    const Duration high = (m_starting ? StartQueueDelay : QueueDelay) + m_leastDelay / 8 + roundSpread / 4;
    if (queue > high) {
        if (now >= m_calmUntil) backOff(now, Draining);
        return;
    }
    if (m_draining) {
        // Drained enough: back to just below what the path carried.
        if (queue < high / 2) {
            m_draining = false;
            m_rate = m_cruise;
        }
        return;
    }
    if (queue > high / 4) return;
    const double delivered = deliveredRequestRate(now);
    if (delivered <= 0) return;
    const double grown = m_starting ? std::min(m_rate * StartGrowth, MostAboveDelivered * delivered)
                                    : std::min(m_rate, delivered) * GentleGrowth;
    m_rate = std::clamp(grown, m_rate, std::max(m_rate, MostRate));
}

} // namespace korvane
