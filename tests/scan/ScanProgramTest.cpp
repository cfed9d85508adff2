// korvane-scan run as a child process in a data folder against a fleet on 127.0.0.1.

#include "ScanTestSupport.h"

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
