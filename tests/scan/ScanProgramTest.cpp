// korvane-scan run as a child process in a data folder against a fleet on 127.0.0.1.

#include "ScanTestSupport.h"
#include "support/LoopbackPeer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <sys/wait.h>

using namespace korvane;
using namespace korvane::test;
using fleet::Behaviour;

namespace {

struct Outcome
{
    int status = -1;
    std::string out;
    std::string err;
};

// Runs korvane-scan in the current folder; stderr goes to a file beside it.
// openFiles, when given, is the descriptor limit it runs under (soft and hard).
Outcome runScanProgram(const DataFolder& folder, const std::string& args = "", int openFiles = 0)
{
    const std::string limit = openFiles > 0 ? "ulimit -n " + std::to_string(openFiles) + " && " : "";
    const std::string command =
        limit + "exec " + KORVANE_SCAN_PROGRAM + " " + args + " 2>" + folder.file("stderr.txt");
    Outcome outcome;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 4096> buffer{};
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        outcome.out.append(buffer.data(), got);
    const int status = ::pclose(pipe);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.err = folder.read("stderr.txt");
    return outcome;
}

} // namespace

TEST(ScanProgram, PrintsTableBuddiesAndStatus)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("Alpha", Behaviour::Answer, {"Bob", "[xy]Ann"}),
                      makeServer("Bravo", Behaviour::Silent),
                      makeServer("Charlie", Behaviour::Full, {"x"}, 4)};
    config.servers[2].game = fleet::Game::Spearhead;
    fleet::Fleet servers(config);
    servers.start();
    DataFolder folder;
    folder.writeLines("Config", test::config({{3, "clantags on"}, {8, "300"}}));
    writeScanData(folder, servers);
    folder.write("Buddys.txt", "bob\r\n");
    folder.write("clantags.txt", "[XY]\r\n");

    for (const std::string args : {"", "--in-flight 1"}) {
        const Outcome outcome = runScanProgram(folder, args);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.out, "2/16\tobj/obj_team2\tAlpha\tMedal of Honor\t1\n"
                               "FULL\tobj/obj_team2\tCharlie\tSpearhead\t2\n"
                               "no response\t \tBravo\t \t3\n"
                               "buddy\t[xy]Ann\tAlpha\n"
                               "buddy\tbob\tAlpha\n"
                               "3 servers in Serverlists\\\\Standard\n")
            << args;
    }
}

// A big list over the few sockets a tight descriptor limit leaves, with one
// server listed more times than there are sockets: the output of a pass
// that asks one server at a time with every descriptor it wants.
TEST(ScanProgram, FewDescriptorsAndRepeatedServersGiveTheOneAtATimeOutput)
{
    fleet::FleetConfig config = fleet::generateFleet(150, 0, 0.05, 11);
    // Slow, so its repeated exchanges wait together and run out of sockets.
    config.servers[5] = makeServer("Repeated", Behaviour::Slow, {"Zed"});
    config.servers[5].delayMs = 100;
    fleet::Fleet servers(config);
    servers.start();
    DataFolder folder;
    folder.writeLines("Config", test::config({{8, "300"}}));
    std::string list = servers.serverListText();
    const std::string repeated = "Again\r\n127.0.0.1\r\n" + std::to_string(servers.ports()[5]) + "\r\n";
    for (int i = 0; i < 12; ++i)
        list += i % 2 ? repeated : "again" + repeated.substr(5);
    folder.write("Serverlists/Standard", list);
    folder.write("Buddys.txt", "zed\r\n");
    folder.write("clantags.txt", "");

    const Outcome plain = runScanProgram(folder, "--in-flight 1");
    ASSERT_EQ(plain.status, 0) << plain.err;
    std::size_t found = 0;
    for (std::size_t at = 0; (at = plain.out.find("buddy\tzed\t", at)) != std::string::npos; ++at)
        ++found;
    EXPECT_EQ(found, 13u) << "once for the server, once per repeated row";
    // 24 descriptors leave 8 for sockets, 22 leave 6.
    for (const int openFiles : {24, 22}) {
        const Outcome tight = runScanProgram(folder, "", openFiles);
        EXPECT_EQ(tight.status, 0) << tight.err;
        EXPECT_EQ(tight.out, plain.out) << openFiles << " descriptors";
    }
}

TEST(ScanProgram, FailuresGoToStandardErrorWithAnExitStatus)
{
    DataFolder folder;
    Outcome outcome = runScanProgram(folder);
    EXPECT_NE(outcome.status, 0);
    EXPECT_EQ(outcome.err, "File not found\n");
    EXPECT_TRUE(outcome.out.empty());

    folder.writeLines("Config", test::config());
    outcome = runScanProgram(folder);
    EXPECT_NE(outcome.status, 0);
    EXPECT_EQ(outcome.err, "Please select a server list !\n");

    // An error text is printed whole, its control bytes escaped.
    folder.writeLines("Config", test::config({{8, std::string("1\0\x01", 3)}}));
    outcome = runScanProgram(folder);
    EXPECT_EQ(outcome.err, "'1\\x00\\x01' is not a valid integer value\n");
    folder.writeLines("Config", test::config());

    outcome = runScanProgram(folder, "--in-flight 0");
    EXPECT_NE(outcome.status, 0);

    // Unreadable watch lists: the pass goes on, and stderr says why.
    fleet::FleetConfig config;
    config.servers = {makeServer("Alpha", Behaviour::Answer)};
    fleet::Fleet servers(config);
    servers.start();
    folder.write("Serverlists/Standard", servers.serverListText());
    outcome = runScanProgram(folder);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "korvane-scan: warning: Buddys.txt or clantags.txt: File not found\n");
    EXPECT_TRUE(outcome.out.starts_with("sends shit\t")) << outcome.out;
}

TEST(ScanProgram, FollowsGnuConventionsForVersionHelpAndWrongOptions)
{
    DataFolder folder;
    Outcome outcome = runScanProgram(folder, "--version");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.out.starts_with("korvane-scan (Korvane) 1.11\n")) << outcome.out;
    EXPECT_NE(outcome.out.find("Copyright"), std::string::npos);
    EXPECT_TRUE(outcome.err.empty());

    outcome = runScanProgram(folder, "--help");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.out.starts_with("Usage: korvane-scan [OPTION]...\n")) << outcome.out;
    EXPECT_NE(outcome.out.find("--in-flight"), std::string::npos);
    EXPECT_TRUE(outcome.err.empty());

    for (const std::string args : {"--bogus", "extra", "--in-flight", "--in-flight 0", "--in-flight=x"}) {
        outcome = runScanProgram(folder, args);
        EXPECT_EQ(outcome.status, 2) << args;
        EXPECT_TRUE(outcome.out.empty()) << args;
        EXPECT_NE(outcome.err.find("Try 'korvane-scan --help'"), std::string::npos) << args << outcome.err;
    }
}

TEST(ScanProgram, HostileFieldsAreEscapedSoEveryLineKeepsItsFields)
{
    fleet::FleetConfig config;
    config.servers = {makeServer("Alpha", Behaviour::Answer),
                      makeServer("Bravo", Behaviour::Answer, {std::string("Evil\tOne\\\x01\x7f")})};
    config.servers[0].map = "obj/x\tforged\nbuddy\tEvil\tAlpha";
    fleet::Fleet servers(config);
    servers.start();
    DataFolder folder;
    folder.writeLines("Config", test::config());
    writeScanData(folder, servers);
    folder.write("Buddys.txt", "evil\tone\\\x01\x7f\r\n");

    const Outcome outcome = runScanProgram(folder);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "0/16\tobj/x\\tforged\\nbuddy\\tEvil\\tAlpha\tAlpha\tMedal of Honor\t1\n"
                           "1/16\tobj/obj_team2\tBravo\tMedal of Honor\t1\n"
                           "buddy\tevil\\tone\\\\\\x01\\x7F\tBravo\n"
                           "2 servers in Serverlists\\\\Standard\n");
}

// korvane-scan --master against stand-in masters and query ports on
// 127.0.0.1: the masters of the data folder's file, a master listing every
// server twice after a greeting with an end mark, a plain one listing the same
// servers, a refusing one and one that is not there.
TEST(ScanProgram, MasterListingSortedWithEachMastersResult)
{
    fleet::FleetConfig config;
    for (const char* name : {"Alpha", "Bravo", "Mute", "Spear"}) {
        config.servers.push_back(makeServer(name, Behaviour::Answer));
        config.servers.back().queryPort = 0;
    }
    config.servers[1].sendsHostPort = false;
    config.servers[2].behaviour = Behaviour::Silent;
    config.servers[3].game = fleet::Game::Spearhead;
    fleet::MasterConfig twice, plain, echo;
    twice.listTwice = true;
    twice.finalAfterGreeting = true;
    plain.form = fleet::ListForm::Plain;
    echo.behaviour = fleet::MasterBehaviour::Echo;
    config.masters = {twice, plain, echo};
    fleet::Fleet servers(config);
    servers.start();
    const auto at = [](int port) { return "127.0.0.1:" + std::to_string(port); };
    const std::vector<int> query = servers.queryPorts();
    const std::string m0 = at(servers.masterPorts()[0]), m1 = at(servers.masterPorts()[1]),
                      m2 = at(servers.masterPorts()[2]), closed = at(unusedPort(SOCK_STREAM));
    const std::string guessed = std::to_string(query[1] - 97);

    DataFolder folder;
    const std::string mastersFile = m0 + "\r\n" + m1 + "\r\nnot a master\r\n" + closed + "\r\n";
    folder.write("Masters.txt", mastersFile);
    Outcome outcome = runScanProgram(folder, "--master mohaa");
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    std::string alpha = at(servers.port(0)) + "\t" + std::to_string(query[0]) + "\n";
    std::string bravo = "127.0.0.1:" + guessed + "\t" + std::to_string(query[1]) + "\n";
    if (query[1] - 97 < servers.port(0)) std::swap(alpha, bravo);
    EXPECT_EQ(outcome.out, alpha + bravo + "master\t" + m0 + "\t3 servers\nmaster\t" + m1 +
                               "\t3 servers\nmaster\t" + closed + "\tunreachable\n");
    const std::string errLines[] = {
        "warning: Masters.txt line 3: 'not a master' is not HOST:PORT",
        "master " + m0 + ": 3 entries listed twice", "master " + closed + ": Connection refused",
        at(query[1]) + ": it gave no hostport; game port taken as " + guessed + " (query port - 97)",
        "1 listed server did not answer on the query port; left out"};
    std::string err;
    for (const std::string& line : errLines)
        err += "korvane-scan: " + line + "\n";
    EXPECT_EQ(outcome.err, err);
    EXPECT_EQ(folder.read("Masters.txt"), mastersFile);

    // No master gives a list: exit 1, each master's result still printed.
    outcome = runScanProgram(folder, "--master mohaas --masters " + m2 + "," + closed);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.out, "master\t" + m2 + "\trefused\nmaster\t" + closed + "\tunreachable\n");
    // An empty list is a list.
    outcome = runScanProgram(folder, "--master=mohaab --masters=" + m1);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "master\t" + m1 + "\t0 servers\n");
}

TEST(ScanProgram, WrongMasterOptionsExitTwo)
{
    DataFolder folder;
    struct Row
    {
        const char* args;
        const char* error;
    };
    const Row rows[] = {
        {"--master", "option '--master' requires an argument"},
        {"--master MOHAA", "--master needs mohaa, mohaas or mohaab, not 'MOHAA'"},
        {"--masters 127.0.0.1:1", "--masters goes with --master"},
        {"--master mohaa --masters 127.0.0.1:0", "'127.0.0.1:0' in --masters is not HOST:PORT"},
        {"--master mohaa --masters a:1,,b:2", "'' in --masters is not HOST:PORT"},
        {"--master mohaa --in-flight 5", "--in-flight does not go with --master"},
    };
    for (const Row& row : rows) {
        const Outcome outcome = runScanProgram(folder, row.args);
        EXPECT_EQ(outcome.status, 2) << row.args;
        EXPECT_TRUE(outcome.out.empty()) << row.args;
        EXPECT_EQ(outcome.err, "korvane-scan: " + std::string(row.error) +
                                   "\nTry 'korvane-scan --help' for more information.\n")
            << row.args;
    }
    EXPECT_FALSE(folder.exists("Masters.txt"));
}
