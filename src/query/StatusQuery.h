#pragma once
// The status exchange with a game server: one request datagram out, one reply
// datagram (or nothing) back, and each caller's test of what counts as an answer.

#include "platform/UdpClient.h"

#include <functional>
#include <string>

namespace korvane {

// FF FF FF FF 02 "getstatus" 0A 00; the trailing zero byte is sent too.
inline const std::string StatusRequest{"\xFF\xFF\xFF\xFF\x02getstatus\n\0", 16};

// Replies of fewer characters count as no response where a caller tests the length.
inline constexpr std::size_t MinReplyLength = 41;

// The exchange of the selection and quick add (the scan sends the same
// request through its socket pool, UdpExchangePool): optional reset
// (a fresh socket, so no late datagram of an earlier exchange is taken),
// open, peer from the IP text and the decimal port text, send, wait up to
// timeoutMs for the reply from that peer. Never throws; every failure gives an empty reply.
std::string QueryStatus(UdpClient& client, const std::string& ip, const std::string& portText, bool reset,
                        int timeoutMs);

// The player look-up's exchange on a client whose socket is not replaced:
// the peer from the IP text and the port text (ConvertError when it is not
// an integer, before anything else), `chosen` with the port (so the caller
// records the server before the query), open, send (IoError on failure),
// then the wait, where any failure gives an empty reply.
std::string queryStatusLookup(UdpClient& client, const std::string& ip, const std::string& portText,
                              int timeoutMs, const std::function<void(int port)>& chosen = {});

// The callers' answer tests.
bool isSelectionAnswer(const std::string& reply); // contains "statusresponse", any case
bool isScanAnswer(const std::string& reply);      // contains FF FF FF FF
bool isLookupAnswer(const std::string& reply);    // at least MinReplyLength characters
bool isQuickAddAnswer(const std::string& reply);  // long enough and contains "sv_hostname\", any case

} // namespace korvane
