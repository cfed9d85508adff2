// qstat, an independent client of the game protocol, must read the stand-in
// servers the way it reads real ones.

#include "fleet/Fleet.h"

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

using namespace korvane::fleet;

namespace {

std::string findQuakestat()
{
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "/usr/bin:/bin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = dir + "/quakestat";
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

std::vector<std::vector<std::string>> runQuakestat(const std::string& program, int port)
{
    // Tab-separated raw output: names may hold any other delimiter.
    const std::string command =
        program + " -maqs 127.0.0.1:" + std::to_string(port) + " -R -P -raw '\t' -timeout 5";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {};
    std::string output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    ::pclose(pipe);
    std::vector<std::vector<std::string>> lines;
    std::stringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        std::vector<std::string> fields;
        std::stringstream parts(line);
        for (std::string f; std::getline(parts, f, '\t');)
            fields.push_back(f);
        lines.push_back(fields);
    }
    return lines;
}

} // namespace

TEST(Qstat, ReadsTheSameHostMapMaximumAndPlayers)
{
    const std::string quakestat = findQuakestat();
    if (quakestat.empty())
        GTEST_SKIP() << "quakestat (Debian package qstat) is not installed; install it to run this test";

    ServerConfig aa;
    aa.listName = aa.hostName = "Omaha Beach 24/7 [XY] clan";
    aa.map = "obj/obj_team3";
    aa.maxClients = 20;
    aa.players = {{12, 48, "Bob"}, {9, 61, "[XY]Ann"}, {3, 120, "Pvt. James Ryan"}, {0, 999, "=DH=Sniper"}};
    ServerConfig sh = aa;
    sh.hostName = "Spearhead Bazaar";
    sh.map = "dm/MP_Bazaar_DM";
    sh.maxClients = 12;
    sh.game = Game::Spearhead;
    sh.players = {{1, 2, "Joe [77th]"}};
    FleetConfig config;
    config.servers = {aa, sh};
    Fleet fleet(config);
    fleet.start();

    for (std::size_t i = 0; i < fleet.size(); ++i) {
        const ServerConfig& served = config.servers[i];
        const auto lines = runQuakestat(quakestat, fleet.port(i));
        ASSERT_GE(lines.size(), 2u) << "no answer read by qstat";
        const auto& server = lines[0];
        ASSERT_GE(server.size(), 5u);
        EXPECT_EQ(server[2], served.hostName);
        EXPECT_EQ(server[3], served.map);
        EXPECT_EQ(server[4], std::to_string(served.maxClients));
        std::vector<std::string> names;
        for (std::size_t l = 2; l < lines.size(); ++l)
            names.push_back(lines[l][0]);
        std::vector<std::string> expected;
        for (const Player& p : served.players)
            expected.push_back(p.name);
        EXPECT_EQ(names, expected);
        bool versionSeen = false;
        for (const std::string& rule : lines[1])
            versionSeen = versionSeen || rule == "version=" + versionText(served);
        EXPECT_TRUE(versionSeen) << "qstat reads the game's version text";
    }
}
