#pragma once
// When the next request of many one-datagram exchanges may leave, so that the
// replies come back no faster than the path to us can carry them. Nothing is
// set by hand: the rate is found while sending, from when each reply arrived
// against its own request. The least delay of a round of replies above the
// least seen tells of a queue building on the path (by more than servers
// near and far differ within the round): the rate then falls to what the
// replies actually came at; while the delay stays low it grows again, doubling per
// round trip until the first queue is seen, by a quarter after it. Replies the
// system dropped for want of room count as a queue too.
//
// Plain arithmetic over the time points it is handed: no clock, no sockets.

#include <chrono>
#include <cstdint>
#include <deque>
#include <vector>

namespace korvane {

class SendPacer
{
public:
    using Clock = std::chrono::steady_clock;
    using Time = Clock::time_point;
    using Duration = Clock::duration;

    // The rate the first requests leave at (requests per second), before any
    // reply has told what the path carries.
    static constexpr double StartRate = 2000;
    // Never slower than this, so a scan always ends.
    static constexpr double LeastRate = 50;
    // A queue delay above this (or above half the least round trip, when
    // that is more) is a queue building on the path.
    static constexpr Duration QueueDelay = std::chrono::milliseconds(10);

    explicit SendPacer(Time start);

    // How many requests may leave at now (0: none before nextSendAt()).
    int allowance(Time now);
    Time nextSendAt() const;

    void sent(Time now);
    // A reply to the request sent at sentAt came in at arrivedAt (the
    // system's stamp where it gave one), noticed at or after that.
    void replied(Time sentAt, Time arrivedAt);
    // A request's time ran out without a reply.
    void unanswered(Time now);
    // The system reported count replies dropped for want of buffer room.
    void dropped(Time now, int count);

    // Requests per second allowed now.
    double rate() const { return m_rate; }
    // Still doubling: no queue seen yet.
    bool starting() const { return m_starting; }

private:
    void refill(Time now);
    bool heldForFirstReply(Time now) const;
    bool firstAllSilent(Time now) const;
    void endRound(Time now);
    void backOff(Time now, double share);
    // Requests per second that would bring the replies at the rate they came
    // in lately; 0 while too few have come to tell.
    double deliveredRequestRate(Time now) const;
    Duration recentMostDelay() const;
    Duration roundLength() const;

    double m_rate = StartRate;
    double m_tokens;
    Time m_refilled;
    Time m_firstSent;
    bool m_starting = true;
    bool m_draining = false;
    double m_cruise = 0; // the rate to go on at once drained
    Time m_roundEnd;
    Time m_roundStart;
    int m_roundReplies = 0;
    Duration m_roundLeast = Duration::max();
    Duration m_roundMost = Duration::zero();
    // No back-off before this: the requests sent before the last one still
    // meet the queue that caused it.
    Time m_calmUntil;

    Duration m_leastDelay = Duration::max();
    std::vector<Duration> m_delays; // the last few, oldest overwritten
    std::size_t m_nextDelay = 0;
    std::deque<Time> m_arrivals; // lately, for the rate the replies came at

    // Send times still young enough to have no answer yet, and how many
    // older ones and replies there were, for the share of servers answering.
    std::deque<Time> m_sends;
    std::uint64_t m_olderSends = 0;
    std::uint64_t m_replies = 0;
    std::uint64_t m_unanswered = 0;
};

} // namespace korvane
