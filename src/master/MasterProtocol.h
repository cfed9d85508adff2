#pragma once
// What a client and a master say to each other on the classic master
// protocol: the games' list names and keys, the challenge the master greets
// with and the answer that proves the client knows the game's key. Plain
// C++, so the stand-in master checks answers with the same code.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

inline constexpr int DefaultMasterPort = 28900;

struct MasterGame
{
    const char* name;     // the game's name on the master: "mohaa"
    const char* key;      // the secret the answer to the challenge is made with
    const char* title;    // "Allied Assault"
    const char* listName; // the list an import fills: "Internet AA"
    bool windowsGame;     // the Windows route can join it (Breakthrough needs the engine)
};

// Allied Assault, Spearhead, Breakthrough, in that order.
const std::vector<MasterGame>& masterGames();
// The game of that master name (exact, lower case), or nullptr.
const MasterGame* findMasterGame(std::string_view name);

// The answer to a challenge: the key's RC4-style schedule stirred by the
// challenge bytes, then standard Base64 without padding (6 bytes give 8 characters).
std::string validateAnswer(std::string_view challenge, std::string_view key);

// The challenge of a greeting ("\basic\\secure\ABCDEF", maybe ending in
// "\final\"), once enough of it has come: its first 6 bytes, or fewer when the
// value ends sooner. consumed receives how much of the greeting it took,
// a "\final\" right after the challenge included; nothing while the greeting
// may still be arriving.
std::optional<std::string> greetingChallenge(std::string_view received, std::size_t& consumed);

// What the client sends once it has the challenge: the answer, then the
// request for the compressed list, in one piece.
std::string listRequest(const MasterGame& game, std::string_view challenge);

// The pieces of a request as a master reads them: the value after "\key\"
// up to the next backslash (empty when the key is missing).
std::string requestValue(std::string_view request, std::string_view key);

} // namespace korvane
