#pragma once
// What one stand-in game server is and says: its settings, players and
// behaviour, and the datagrams it answers with.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace korvane::fleet {

enum class Game { AlliedAssault, Spearhead, Breakthrough };

// How a server treats a status request.
enum class Behaviour {
    Answer,   // a well-formed reply at once
    Silent,   // never answers
    Slow,     // a well-formed reply after delayMs
    Full,     // players padded up to the maximum
    Garbage,  // FF FF FF FF followed by random bytes
    Short,    // the reply cut to exactly 40 bytes
    Long,     // padding players and a padding key bring the reply to exactly 8192 bytes
    Oversize, // a reply longer than any client buffer (9000 bytes)
    BadMax,   // sv_maxclients is not a number
    Stray,    // forged replies from another port and from ::1 at once, its own after delayMs
};

struct Player
{
    int score = 0;
    int ping = 0;
    std::string name;
};

struct ServerConfig
{
    std::string listName; // the name in the server-list file
    std::string hostName; // sv_hostname
    std::string map = "obj/obj_team2";
    int maxClients = 16;
    std::vector<Player> players;
    std::vector<std::string> mapList;
    std::string version; // derived from the game when empty
    std::string url;
    Game game = Game::AlliedAssault;
    Behaviour behaviour = Behaviour::Answer;
    int delayMs = 0;           // for Slow and Stray
    std::string rconPassword;  // empty: the console refuses every command
    int port = 0;              // 0: an ephemeral port
    int queryPort = -1;        // the GameSpy query port: -1 none, 0 an ephemeral one
    bool sendsHostPort = true; // the GameSpy status names the game port
};

// How a stand-in master treats a client.
enum class MasterBehaviour {
    Answer,   // the list at once, then it closes
    Refuse,   // closes without a word after the request, as on a wrong answer to its challenge
    Echo,     // answers "\echo\..." and closes
    Slow,     // the list in pieces of 6 bytes, delayMs apart
    Silent,   // takes the connection and never says a word
    HalfDead, // greets, takes the request, then never answers
};

enum class ListForm { Compressed, Plain };

// A stand-in master: it lists, for the game a client asks for, every server
// of the fleet of that game with a query port, and checks the client's answer
// to its challenge with the game's key (a wrong one is refused).
struct MasterConfig
{
    MasterBehaviour behaviour = MasterBehaviour::Answer;
    ListForm form = ListForm::Compressed;
    bool finalAfterGreeting = false; // "\final\" after the challenge, as some masters send
    bool listTwice = false;          // every server listed two times
    std::vector<std::string> extra;  // further "a.b.c.d:port" entries, listed as they are
    int delayMs = 0;                 // for Slow
    int port = 0;                    // 0: an ephemeral port
};

struct FleetConfig
{
    std::string bindAddress = "127.0.0.1";
    std::vector<ServerConfig> servers;
    std::vector<MasterConfig> masters = {}; // initialized, so {address, servers} stays a whole configuration
};

const char* behaviourName(Behaviour behaviour);
Behaviour behaviourFromName(const std::string& name); // throws std::invalid_argument

// The version text real servers send; it is how clients tell the games apart.
std::string versionText(const ServerConfig& server);

// The players a status reply lists (Full pads the configured ones to the maximum).
std::vector<Player> listedPlayers(const ServerConfig& server);

// FF FF FF FF 01 "statusResponse" LF, the settings line, one line per player,
// shaped by the behaviour; rng feeds Garbage only.
std::string statusReply(const ServerConfig& server, std::mt19937& rng);
// What a Stray server's forgers send: a well-formed reply with other players,
// map and maximum, so a client that takes it shows plainly wrong data.
std::string forgedReply(const ServerConfig& server);
// The short info answer qstat asks for before the status.
std::string infoReply(const ServerConfig& server);

// The game's name on the masters and in its GameSpy answers: "mohaa", "mohaas", "mohaab".
const char* gameSpyName(Game game);
// The answer of a server's query port to "\status\": its settings, players
// and game port, ended by "\final\" and the query id.
std::string gameSpyStatusReply(const ServerConfig& server, int gamePort);

const char* masterBehaviourName(MasterBehaviour behaviour);
MasterBehaviour masterBehaviourFromName(const std::string& name); // throws std::invalid_argument

// The console's answer to one rcon datagram as the games' servers send it:
// the printed text in datagrams of at most RconPrintRoom bytes of text, each
// behind its own print header, split between lines; nothing for a command
// that prints nothing. "map" changes the server's map; "quit" ends the
// server, which answers nothing from then on.
inline constexpr std::size_t RconPrintRoom = 1007;
std::vector<std::string> rconReply(ServerConfig& server, const std::string& datagram);

// Reads a configuration (see the demo's fleet.json); throws std::runtime_error.
FleetConfig parseFleetConfig(const std::string& jsonText);
FleetConfig loadFleetConfig(const std::string& path);

// One server as tests build them: host name "<listName> host", the players
// scored 1, 2, 3... with a ping of 50, no map rotation, link or console password.
ServerConfig makeServer(const std::string& listName, Behaviour behaviour,
                        std::vector<std::string> players = {}, int maxClients = 16);

// count servers with varied names, maps, players and games, a share of them
// silent, the same for the same seed; ports from basePort on (0: ephemeral).
FleetConfig generateFleet(int count, int basePort, double silentFraction, std::uint32_t seed);

// The fleet as a server-list file: name, IP, port per server, CR LF line ends.
std::string serverListText(const FleetConfig& config, const std::vector<int>& ports);

} // namespace korvane::fleet
