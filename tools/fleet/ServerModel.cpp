#include "fleet/ServerModel.h"

#include "fleet/Json.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvane::fleet {

namespace {

const std::string Prefix = "\xFF\xFF\xFF\xFF";

struct BehaviourName
{
    Behaviour behaviour;
    const char* name;
};

constexpr BehaviourName BehaviourNames[] = {
    {Behaviour::Answer, "answer"}, {Behaviour::Silent, "silent"},     {Behaviour::Slow, "slow"},
    {Behaviour::Full, "full"},     {Behaviour::Garbage, "garbage"},   {Behaviour::Short, "short"},
    {Behaviour::Long, "long"},     {Behaviour::Oversize, "oversize"}, {Behaviour::BadMax, "badmax"},
    {Behaviour::Stray, "stray"},
};

const char* const PlayerPool[] = {
    "Bob",          "[XY]Ann",   "=DH=Sniper", "[XY]Kurt",  "Pvt. Ryan", "Sgt Rock", "{AO}Major Pain",
    "xX_Hans_Xx",   "Mad Max",   "[XY] Tom",   "=DH=Medic", "Lt. Dan",   "Kilroy",   "|SAS|Nick",
    "Joe [77th]",   "Colonel K", "Gefreiter",  "=DH=Tank",  "Rambo",     "Cpl Vic",  "[BR]Otto",
    "Lucky Strike", "Doc",       "Yank",
};

struct MapChoice
{
    const char* file;
    const char* title;
};

const MapChoice MapPool[] = {
    {"obj/obj_team1", "The Hunt"},
    {"obj/obj_team2", "V2 Rocket Facility"},
    {"obj/obj_team3", "Omaha Beach"},
    {"obj/obj_team4", "The Bridge"},
    {"dm/mohdm1", "Southern France"},
    {"dm/mohdm2", "Destroyed Village"},
    {"dm/mohdm4", "Crossroads"},
    {"dm/mohdm6", "Stalingrad"},
    {"obj/MP_Druckkammern_TOW", "Druckkammern"},
    {"dm/MP_Malta_DM", "Malta"},
    {"dm/custom_arnhem", "Arnhem"},
    {"obj/custom_bastogne", "Bastogne"},
};

std::string settingsLine(const ServerConfig& server, const std::string& maxText, const std::string& padding)
{
    std::string line = "\\sv_hostname\\" + server.hostName + "\\mapname\\" + server.map +
                       "\\sv_maxclients\\" + maxText +
                       "\\g_gametype\\4\\fraglimit\\0\\timelimit\\20\\version\\" + versionText(server);
    if (!server.mapList.empty()) {
        line += "\\sv_maplist\\";
        for (std::size_t i = 0; i < server.mapList.size(); ++i)
            line += (i ? " " : "") + server.mapList[i];
    }
    if (!server.url.empty()) line += "\\URL\\" + server.url;
    if (!padding.empty()) line += "\\sv_padding\\" + padding;
    // Readers take a value up to the next backslash, so the keys they use must
    // not come last; real servers send further settings after them too.
    line += "\\sv_floodProtect\\1";
    return line;
}

std::string playerLine(const Player& player)
{
    return std::to_string(player.score) + " " + std::to_string(player.ping) + " \"" + player.name + "\"\n";
}

std::string wellFormedReply(const ServerConfig& server, const std::vector<Player>& players,
                            const std::string& maxText, const std::string& padding)
{
    std::string reply = Prefix + "\x01statusResponse\n" + settingsLine(server, maxText, padding) + "\n";
    for (const Player& p : players)
        reply += playerLine(p);
    return reply;
}

// Players are added until the next would pass the size, then a padding key
// brings the reply to exactly that size.
std::string replyOfSize(const ServerConfig& server, std::size_t size)
{
    std::vector<Player> players = server.players;
    const std::string maxText = std::to_string(server.maxClients);
    std::string reply = wellFormedReply(server, players, maxText, "x");
    for (int n = 1; reply.size() + 40 < size; ++n) {
        players.push_back({n % 50, 20 + n % 200, "Padding Player " + std::to_string(n)});
        reply = wellFormedReply(server, players, maxText, "x");
    }
    if (reply.size() < size)
        reply = wellFormedReply(server, players, maxText, std::string(size - reply.size() + 1, 'x'));
    return reply;
}

} // namespace

const char* behaviourName(Behaviour behaviour)
{
    for (const auto& b : BehaviourNames)
        if (b.behaviour == behaviour) return b.name;
    return "answer";
}

Behaviour behaviourFromName(const std::string& name)
{
    for (const auto& b : BehaviourNames)
        if (name == b.name) return b.behaviour;
    throw std::invalid_argument("unknown behaviour \"" + name + "\"");
}

std::string versionText(const ServerConfig& server)
{
    if (!server.version.empty()) return server.version;
    switch (server.game) {
    case Game::Spearhead:
        return "Medal of Honor Spearhead 2.15 win-x86 Nov  8 2002";
    case Game::Breakthrough:
        return "Medal of Honor Breakthrough 2.40b win-x86 Oct 23 2003";
    case Game::AlliedAssault:
        break;
    }
    return "Medal of Honor Allied Assault 1.11 win-x86 Mar  5 2002";
}

std::vector<Player> listedPlayers(const ServerConfig& server)
{
    std::vector<Player> players = server.players;
    if (server.behaviour == Behaviour::Full)
        for (int n = 1; static_cast<int>(players.size()) < server.maxClients; ++n)
            players.push_back({n, 40 + n, "Recruit " + std::to_string(n)});
    return players;
}

std::string statusReply(const ServerConfig& server, std::mt19937& rng)
{
    switch (server.behaviour) {
    case Behaviour::Silent:
        return {};
    case Behaviour::Garbage: {
        std::string reply = Prefix;
        const std::size_t n = 16 + rng() % 600;
        for (std::size_t i = 0; i < n; ++i)
            reply += static_cast<char>(rng() & 0xFF);
        return reply;
    }
    case Behaviour::Short:
        return wellFormedReply(server, server.players, std::to_string(server.maxClients), "").substr(0, 40);
    case Behaviour::Long:
        return replyOfSize(server, 8192);
    case Behaviour::Oversize:
        return replyOfSize(server, 9000);
    case Behaviour::BadMax:
        return wellFormedReply(server, server.players, "lots", "");
    case Behaviour::Answer:
    case Behaviour::Slow:
    case Behaviour::Full:
    case Behaviour::Stray:
        break;
    }
    return wellFormedReply(server, listedPlayers(server), std::to_string(server.maxClients), "");
}

std::string forgedReply(const ServerConfig& server)
{
    ServerConfig forged = server;
    forged.map = "forged/elsewhere";
    return wellFormedReply(forged, {{1, 5, "Spoofer"}, {2, 5, "Bob"}}, "99", "");
}

std::string infoReply(const ServerConfig& server)
{
    return Prefix + "\x01infoResponse\n\\hostname\\" + server.hostName + "\\mapname\\" + server.map +
           "\\clients\\" + std::to_string(listedPlayers(server).size()) + "\\sv_maxclients\\" +
           std::to_string(server.maxClients) + "\\gametype\\4\\protocol\\8";
}

const char* gameSpyName(Game game)
{
    switch (game) {
    case Game::Spearhead:
        return "mohaas";
    case Game::Breakthrough:
        return "mohaab";
    case Game::AlliedAssault:
        break;
    }
    return "mohaa";
}

std::string gameSpyStatusReply(const ServerConfig& server, int gamePort)
{
    const std::vector<Player> players = listedPlayers(server);
    std::string reply = std::string("\\gamename\\") + gameSpyName(server.game) + "\\gamever\\" +
                        (server.game == Game::AlliedAssault ? "1.11" : "2.15") + "\\location\\0\\hostname\\" +
                        server.hostName;
    if (server.sendsHostPort) reply += "\\hostport\\" + std::to_string(gamePort);
    reply += "\\mapname\\" + server.map + "\\gametype\\obj\\numplayers\\" + std::to_string(players.size()) +
             "\\maxplayers\\" + std::to_string(server.maxClients) + "\\gamemode\\openplaying";
    for (std::size_t i = 0; i < players.size(); ++i) {
        const std::string n = std::to_string(i);
        reply += "\\player_" + n + "\\" + players[i].name + "\\frags_" + n + "\\" +
                 std::to_string(players[i].score) + "\\ping_" + n + "\\" + std::to_string(players[i].ping);
    }
    return reply + "\\final\\\\queryid\\1.1";
}

namespace {

constexpr std::pair<MasterBehaviour, const char*> MasterBehaviourNames[] = {
    {MasterBehaviour::Answer, "answer"}, {MasterBehaviour::Refuse, "refuse"},
    {MasterBehaviour::Echo, "echo"},     {MasterBehaviour::Slow, "slow"},
    {MasterBehaviour::Silent, "silent"}, {MasterBehaviour::HalfDead, "halfdead"},
};

} // namespace

const char* masterBehaviourName(MasterBehaviour behaviour)
{
    for (const auto& [b, name] : MasterBehaviourNames)
        if (b == behaviour) return name;
    return "answer";
}

MasterBehaviour masterBehaviourFromName(const std::string& name)
{
    for (const auto& [b, text] : MasterBehaviourNames)
        if (name == text) return b;
    throw std::invalid_argument("unknown master behaviour \"" + name + "\"");
}

namespace {

// The server's console output as it goes out: lines gathered until the next
// would overflow the print buffer, then sent.
std::vector<std::string> printed(const std::string& text)
{
    const std::string head = Prefix + "\x01print\n";
    std::vector<std::string> datagrams;
    std::string buffer;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t lf = text.find('\n', pos);
        const std::size_t end = lf == std::string::npos ? text.size() : lf + 1;
        if (!buffer.empty() && buffer.size() + (end - pos) > RconPrintRoom) {
            datagrams.push_back(head + buffer);
            buffer.clear();
        }
        buffer.append(text, pos, end - pos);
        pos = end;
    }
    if (!buffer.empty()) datagrams.push_back(head + buffer);
    return datagrams;
}

std::string rconOutput(ServerConfig& server, const std::string& password, const std::string& command)
{
    if (server.rconPassword.empty()) return "No rconpassword set on the server.\n";
    if (password != server.rconPassword) return "Bad rconpassword.\n";

    const std::size_t space = command.find(' ');
    const std::string verb = command.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : command.substr(space + 1);
    if (verb == "quit") {
        server.behaviour = Behaviour::Silent;
        return {};
    }
    if (verb == "status") {
        std::string text = "map: " + server.map + "\n";
        text += "num score ping name            lastmsg address               qport rate\n";
        text += "--- ----- ---- --------------- ------- --------------------- ----- -----\n";
        int num = 0;
        for (const Player& p : listedPlayers(server)) {
            char line[160];
            std::snprintf(line, sizeof line, "%3d %5d %4d %-15s %7d %-21s %5d %5d\n", num, p.score, p.ping,
                          p.name.substr(0, 40).c_str(), 0, "127.0.0.1", 1000 + num, 25000);
            text += line;
            ++num;
        }
        return text;
    }
    if (verb == "say") return "console: " + rest + "\n";
    if (verb == "map") {
        if (rest.empty()) return "usage: map <mapname>\n";
        server.map = rest;
        return "Loading map " + rest + "\n";
    }
    return "Unknown command \"" + verb + "\"\n";
}

} // namespace

std::vector<std::string> rconReply(ServerConfig& server, const std::string& datagram)
{
    std::size_t pos = Prefix.size();
    if (pos < datagram.size() && datagram[pos] == '\x02') ++pos;
    pos += 5; // "rcon "
    const std::size_t blank = datagram.find(' ', pos);
    const std::string password =
        blank == std::string::npos ? std::string() : datagram.substr(pos, blank - pos);
    std::string command = blank == std::string::npos ? std::string() : datagram.substr(blank + 1);
    const std::size_t end = command.find_first_of(std::string("\n\0", 2));
    if (end != std::string::npos) command.resize(end);
    return printed(rconOutput(server, password, command));
}

FleetConfig parseFleetConfig(const std::string& jsonText)
{
    const JsonValue root = JsonValue::parse(jsonText);
    FleetConfig config;
    const JsonValue* servers = &root;
    if (root.isObject()) {
        if (const JsonValue* bind = root.find("bind")) config.bindAddress = bind->asString();
        servers = root.find("servers");
        if (!servers) throw std::runtime_error("fleet configuration without \"servers\"");
    }
    for (const JsonValue& s : servers->asArray()) {
        ServerConfig server;
        auto text = [&](const char* key, std::string& into) {
            if (const JsonValue* v = s.find(key)) into = v->asString();
        };
        text("name", server.listName);
        text("host", server.hostName);
        if (server.hostName.empty()) server.hostName = server.listName;
        if (server.listName.empty()) server.listName = server.hostName;
        text("map", server.map);
        text("version", server.version);
        text("url", server.url);
        text("rcon", server.rconPassword);
        if (const JsonValue* v = s.find("port")) server.port = v->asInt();
        if (const JsonValue* v = s.find("queryport")) server.queryPort = v->asInt();
        if (const JsonValue* v = s.find("hostport")) server.sendsHostPort = v->asBool();
        if (const JsonValue* v = s.find("maxclients")) server.maxClients = v->asInt();
        if (const JsonValue* v = s.find("delay")) server.delayMs = v->asInt();
        if (const JsonValue* v = s.find("behaviour")) server.behaviour = behaviourFromName(v->asString());
        if (const JsonValue* v = s.find("game")) {
            const std::string g = v->asString();
            if (g == "sh" || g == "spearhead" || g == "Spearhead")
                server.game = Game::Spearhead;
            else if (g == "aa" || g == "alliedassault" || g == "Allied Assault")
                server.game = Game::AlliedAssault;
            else if (g == "bt" || g == "breakthrough" || g == "Breakthrough")
                server.game = Game::Breakthrough;
            else
                throw std::runtime_error("unknown game \"" + g + "\"");
        }
        if (const JsonValue* v = s.find("maplist")) {
            if (v->isString()) {
                std::istringstream words(v->asString());
                for (std::string w; words >> w;)
                    server.mapList.push_back(w);
            } else {
                for (const JsonValue& m : v->asArray())
                    server.mapList.push_back(m.asString());
            }
        }
        if (const JsonValue* v = s.find("players")) {
            for (const JsonValue& p : v->asArray()) {
                Player player;
                if (p.isString()) {
                    player.name = p.asString();
                } else {
                    player.name = p.find("name") ? p.find("name")->asString() : std::string();
                    if (const JsonValue* score = p.find("score")) player.score = score->asInt();
                    if (const JsonValue* ping = p.find("ping")) player.ping = ping->asInt();
                }
                server.players.push_back(player);
            }
        }
        config.servers.push_back(std::move(server));
    }
    const JsonValue* masters = root.isObject() ? root.find("masters") : nullptr;
    for (const JsonValue& m : masters ? masters->asArray() : std::vector<JsonValue>{}) {
        MasterConfig master;
        if (const JsonValue* v = m.find("behaviour"))
            master.behaviour = masterBehaviourFromName(v->asString());
        if (const JsonValue* v = m.find("form")) {
            if (v->asString() != "plain" && v->asString() != "compressed")
                throw std::runtime_error("unknown list form \"" + v->asString() + "\"");
            master.form = v->asString() == "plain" ? ListForm::Plain : ListForm::Compressed;
        }
        if (const JsonValue* v = m.find("final")) master.finalAfterGreeting = v->asBool();
        if (const JsonValue* v = m.find("twice")) master.listTwice = v->asBool();
        if (const JsonValue* v = m.find("delay")) master.delayMs = v->asInt();
        if (const JsonValue* v = m.find("port")) master.port = v->asInt();
        if (const JsonValue* v = m.find("extra"))
            for (const JsonValue& e : v->asArray())
                master.extra.push_back(e.asString());
        config.masters.push_back(std::move(master));
    }
    return config;
}

FleetConfig loadFleetConfig(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return parseFleetConfig(text.str());
}

ServerConfig makeServer(const std::string& listName, Behaviour behaviour, std::vector<std::string> players,
                        int maxClients)
{
    ServerConfig server;
    server.listName = listName;
    server.hostName = listName + " host";
    server.behaviour = behaviour;
    server.maxClients = maxClients;
    int score = 0;
    for (std::string& player : players)
        server.players.push_back({++score, 50, std::move(player)});
    return server;
}

FleetConfig generateFleet(int count, int basePort, double silentFraction, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    FleetConfig config;
    const int silent =
        std::clamp(static_cast<int>(std::lround(count * silentFraction)), 0, std::max(count, 0));
    std::vector<int> order(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), rng);
    std::vector<bool> isSilent(order.size(), false);
    for (int i = 0; i < silent; ++i)
        isSilent[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = true;

    constexpr int maxima[] = {8, 12, 16, 20, 24, 32};
    for (int i = 0; i < count; ++i) {
        ServerConfig s;
        const MapChoice& map = MapPool[rng() % std::size(MapPool)];
        s.listName = "Fleet " + std::to_string(i + 1) + " - " + map.title;
        s.hostName = "^2Fleet^7 server " + std::to_string(i + 1) + " | " + map.title;
        s.map = map.file;
        s.maxClients = maxima[rng() % std::size(maxima)];
        s.game = rng() % 4 == 0 ? Game::Spearhead : Game::AlliedAssault;
        const int players = static_cast<int>(rng() % static_cast<unsigned>(s.maxClients + 1));
        for (int p = 0; p < players; ++p) {
            std::string name = PlayerPool[rng() % std::size(PlayerPool)];
            if (p >= static_cast<int>(std::size(PlayerPool)) / 2) name += " " + std::to_string(p);
            s.players.push_back({static_cast<int>(rng() % 60), static_cast<int>(20 + rng() % 300), name});
        }
        for (int m = 0; m < 3; ++m)
            s.mapList.push_back(MapPool[(i + m) % std::size(MapPool)].file);
        s.url = i % 3 == 0 ? "http://www.fleet" + std::to_string(i + 1) + ".example.org" : "";
        s.rconPassword = "secret";
        s.behaviour = isSilent[static_cast<std::size_t>(i)] ? Behaviour::Silent : Behaviour::Answer;
        s.port = basePort > 0 ? basePort + i : 0;
        config.servers.push_back(std::move(s));
    }
    return config;
}

std::string serverListText(const FleetConfig& config, const std::vector<int>& ports)
{
    std::string text;
    for (std::size_t i = 0; i < config.servers.size(); ++i) {
        const int port = i < ports.size() ? ports[i] : config.servers[i].port;
        text +=
            config.servers[i].listName + "\r\n" + config.bindAddress + "\r\n" + std::to_string(port) + "\r\n";
    }
    return text;
}

} // namespace korvane::fleet
