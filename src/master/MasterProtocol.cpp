#include "master/MasterProtocol.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace korvane {

namespace {

constexpr std::string_view SecureKey = "\\secure\\";
constexpr std::string_view FinalMark = "\\final\\";
constexpr std::size_t ChallengeLength = 6;

std::string base64WithoutPadding(const std::string& bytes)
{
    static constexpr char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    std::uint32_t bits = 0;
    int count = 0;
    for (const char c : bytes) {
        bits = (bits << 8) | static_cast<unsigned char>(c);
        count += 8;
        while (count >= 6) {
            count -= 6;
            text += Digits[(bits >> count) & 0x3F];
        }
    }
    if (count > 0) text += Digits[(bits << (6 - count)) & 0x3F];
    return text;
}

} // namespace

const std::vector<MasterGame>& masterGames()
{
    static const std::vector<MasterGame> games = {
        {"mohaa", "M5Fdwc", "Allied Assault", "Internet AA", true},
        {"mohaas", "h2P1c9", "Spearhead", "Internet SH", true},
        {"mohaab", "y32FDc", "Breakthrough", "Internet BT", false},
    };
    return games;
}

const MasterGame* findMasterGame(std::string_view name)
{
    for (const MasterGame& game : masterGames())
        if (name == game.name) return &game;
    return nullptr;
}

std::string validateAnswer(std::string_view challenge, std::string_view key)
{
    std::array<std::uint8_t, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    if (!key.empty()) {
        std::uint8_t j = 0;
        for (std::size_t i = 0; i < 256; ++i) {
            j = static_cast<std::uint8_t>(j + s[i] + static_cast<std::uint8_t>(key[i % key.size()]));
            std::swap(s[i], s[j]);
        }
    }
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::string out;
    for (const char c : challenge) {
        const auto byte = static_cast<std::uint8_t>(c);
        a = static_cast<std::uint8_t>(a + byte + 1);
        const std::uint8_t x = s[a];
        b = static_cast<std::uint8_t>(b + x);
        const std::uint8_t y = s[b];
        s[b] = x;
        s[a] = y;
        out += static_cast<char>(byte ^ s[static_cast<std::uint8_t>(x + y)]);
    }
    return base64WithoutPadding(out);
}

std::optional<std::string> greetingChallenge(std::string_view received, std::size_t& consumed)
{
    const std::size_t at = received.find(SecureKey);
    if (at == std::string_view::npos) return std::nullopt;
    const std::size_t start = at + SecureKey.size();
    const std::size_t slash = received.find('\\', start);
    const std::size_t valueEnd = slash == std::string_view::npos ? received.size() : slash;
    if (slash == std::string_view::npos && valueEnd - start < ChallengeLength) return std::nullopt;
    std::string challenge(received.substr(start, std::min(valueEnd - start, ChallengeLength)));
    const std::string_view tail = received.substr(valueEnd);
    std::size_t end = valueEnd;
    if (tail.starts_with(FinalMark))
        end += FinalMark.size();
    else if (!tail.empty() && FinalMark.starts_with(tail))
        return std::nullopt; // the "\final\" after the challenge is on its way
    consumed = end;
    return challenge;
}

std::string listRequest(const MasterGame& game, std::string_view challenge)
{
    const std::string name = game.name;
    return "\\gamename\\" + name + "\\gamever\\1.11\\location\\0\\validate\\" +
           validateAnswer(challenge, game.key) + "\\final\\\\queryid\\1.1\\" + "\\list\\cmp\\gamename\\" +
           name + "\\final\\";
}

std::string requestValue(std::string_view request, std::string_view key)
{
    const std::string marker = "\\" + std::string(key) + "\\";
    const std::size_t at = request.find(marker);
    if (at == std::string_view::npos) return {};
    const std::size_t start = at + marker.size();
    const std::size_t end = request.find('\\', start);
    return std::string(request.substr(start, end == std::string_view::npos ? end : end - start));
}

} // namespace korvane
