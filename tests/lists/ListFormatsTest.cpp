// SSLF and ASE import and export on real files in a data folder; what an
// import from the masters makes of their lists: the report and the entries.
#include "lists/ListFormats.h"
#include "admin/PasswordFile.h"
#include "lists/MasterImport.h"
#include "platform/Errors.h"
#include "support/DataFolder.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <sys/inotify.h>
#include <unistd.h>

using namespace korvane;
using korvane::test::crlf;
using korvane::test::DataFolder;
using namespace std::string_literals;

namespace {

const std::string PasswordHeader = "// Korvane 1.11 password list\r\n//\r\n\r\n";

std::string records(const std::vector<ServerEntry>& servers)
{
    std::string bytes;
    for (const ServerEntry& s : servers)
        bytes += crlf({s.name, s.ip, s.port});
    return bytes;
}

// Every file under the data folder with its bytes.
std::map<std::string, std::string> snapshot(const DataFolder& folder)
{
    std::map<std::string, std::string> files;
    const std::filesystem::path root(folder.path().toStdString());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
        if (entry.is_regular_file()) {
            const std::string relative = std::filesystem::relative(entry.path(), root).string();
            files[relative] = folder.read(relative);
        }
    return files;
}

// How often the action opens the file, by the kernel's own account (inotify;
// closes are watched too, as equal events in a row would count once).
int opensDuring(const std::string& path, const std::function<void()>& action)
{
    const int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    inotify_add_watch(fd, path.c_str(), IN_OPEN | IN_CLOSE);
    action();
    int opens = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        for (const char* at = buffer; at < buffer + got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            opens += (event->mask & IN_OPEN) != 0;
            at += sizeof(inotify_event) + event->len;
        }
    ::close(fd);
    return opens;
}

ResolvedServer resolved(std::string hostName, int gamePort, GamePortSource source = GamePortSource::HostPort)
{
    ResolvedServer server;
    server.listed = {0x0A000001, gamePort + 97};
    server.gamePort = gamePort;
    server.source = source;
    server.hostName = std::move(hostName);
    return server;
}

MasterResult master(const char* host, MasterResult::Outcome outcome, int servers = 0)
{
    MasterResult result;
    result.master = {host, 28900};
    result.outcome = outcome;
    for (int i = 0; i < servers; ++i)
        result.servers.push_back({0x0A000001, 12300 + i});
    return result;
}

} // namespace

TEST(ListFormats, SslfExportThenImportGivesBackTheSameServersAndServerPasswords)
{
    DataFolder folder;
    const std::vector<ServerEntry> servers = {
        {"Alpha", "10.0.0.1", "12203"},
        {"Bravo", "10.0.0.2", "12204"},         // remote-console password only
        {" two  blanks ", "10.0.0.3", "12205"}, // the later of two passwords
        {"Caf\xE9 | a:b", "host.example", "1"}, // Latin-1, separators of other formats
        {"", "10.0.0.4", "12206"},              // an empty password is no password
    };
    folder.write("Serverlists/Clan", records(servers));
    const std::string passwords =
        PasswordHeader + crlf({"10.0.0.112203", "secret", "10.0.0.212204", "rcon:admin", "10.0.0.312205",
                               "old", "10.0.0.312205", "newer", "10.0.0.412206", ""});
    folder.write(PasswordFileName, passwords);

    std::filesystem::create_directory(folder.file("out"));
    // The password file is read once for the whole list, not once per server.
    EXPECT_EQ(
        opensDuring(folder.file(PasswordFileName), [&] { exportSslf("Clan", folder.file("out/Clan")); }), 1);
    EXPECT_EQ(
        folder.read("out/Clan.sslf"),
        crlf({"SSLF - Shared Server List Format - Version 1.01", " ",
              "// Create by HLSW (http://www.hlsw.net)",
              "// Dateiformatsinformationen auf http://www.hlsw.net unter Developer", " ",
              "Name=\"https://korvane.sourceforge.io/support - serverlist\"", " ",
              "Server=MoHAA 10.0.0.1:12203 secret \"Alpha\"", "Server=MoHAA 10.0.0.2:12204 \"\" \"Bravo\"",
              "Server=MoHAA 10.0.0.3:12205 newer \" two  blanks \"",
              "Server=MoHAA host.example:1 \"\" \"Caf\xE9 | a:b\"",
              "Server=MoHAA 10.0.0.4:12206 \"\" \"\""}));
    exportSslf("Clan", folder.file("out/Clan.sslf")); // the extension is appended whatever the name
    EXPECT_TRUE(folder.exists("out/Clan.sslf.sslf"));

    folder.write("Serverlists/Clan", "stale\r\n1\r\n2\r\n");
    importSslf(folder.file("out/Clan.sslf"), importedListName(folder.file("out/Clan.sslf"), ".sslf"));
    EXPECT_EQ(folder.read("Serverlists/Clan"), records(servers));
    EXPECT_EQ(folder.read(PasswordFileName),
              passwords + crlf({"10.0.0.112203", "secret", "10.0.0.312205", "newer"}));
}

TEST(ListFormats, SslfImportTakesFilesAsOtherProgramsWriteThem)
{
    DataFolder folder;
    folder.write(PasswordFileName, PasswordHeader);
    folder.write("List.sslf",
                 "\xEF\xBB\xBFserver=MoHAA 1.1.1.1:1 \"\" \"One\"\n" // byte-order mark, LF, any case
                 "// comment\n \r\nSERVER=MoHAA 2.2.2.2:2 pw \"Two\"\r\n"
                 "Server=\"Medal of Honor\" 3.3.3.3:3 \"\" \"The \"Best\" \xC4rger\"\r\n"
                 "Server=MoHAA 5.5.5.5:5\r\n" // ends after the port: an empty password
                 "Server=MoHAA 6.6.6.6:6 \"\"\r\nServer=MoHAA 8.8.8.8:8 p8 Plain name");
    importSslf(folder.file("List.sslf"), "List");
    EXPECT_EQ(folder.read("Serverlists/List"), records({{"One", "1.1.1.1", "1"},
                                                        {"Two", "2.2.2.2", "2"},
                                                        {"The Best \xC4rger", "3.3.3.3", "3"},
                                                        {"", "5.5.5.5", "5"},
                                                        {"", "6.6.6.6", "6"},
                                                        {"Plain name", "8.8.8.8", "8"}}));
    EXPECT_EQ(folder.read(PasswordFileName),
              PasswordHeader + crlf({"2.2.2.22", "pw", "5.5.5.55", "", "8.8.8.88", "p8"}));
}

TEST(ListFormats, AseLinesSplitFromTheRightAndListNamesDropTheExtension)
{
    const std::pair<std::string, ServerEntry> lines[] = {
        {"a|b|c:1", {"a|b", "c", "1"}},
        {"[ab] Server: 1|2 |1.2.3.4:x:12203", {"[ab] Server: 1|2 ", "1.2.3.4:x", "12203"}},
        {"1.2.3.4:5", {"", "1.2.3.4", "5"}},
        {"no colon|at all", {"", "", "no colon|at all"}},
    };
    for (const auto& [line, entry] : lines)
        EXPECT_EQ(parseAseLine(line), entry) << line;

    DataFolder folder;
    folder.write("servers.TXT", "\xEF\xBB\xBF"
                                "First|1.1.1.1:1\nCaf\xE9|2.2.2.2:2\r\n");
    importAse(folder.file("servers.TXT"), importedListName(folder.file("servers.TXT"), ".txt"));
    EXPECT_EQ(folder.read("Serverlists/servers"),
              records({{"First", "1.1.1.1", "1"}, {"Caf\xE9", "2.2.2.2", "2"}}));

    const std::tuple<std::string, std::string, std::string> names[] = {
        {"/home/me/Clan.sslf", ".sslf", "Clan"},
        {"/home/me/CLAN.SSLF", ".sslf", "CLAN"},
        {"/home/me/My.sslf.backup.sslf", ".sslf", "My.backup"},
        {"/data/old.txt.bak", ".txt", "old.bak"},
        {"/a.sslf/C:\\b.sslf", ".sslf", "b"}, // the file-name part only
    };
    for (const auto& [path, extension, name] : names)
        EXPECT_EQ(importedListName(path, extension), name) << path;
}

TEST(ListFormats, FailuresLeaveEveryFileWholeAndTheListAndPasswordsInAgreement)
{
    struct Case
    {
        rlim_t limit; // 0: none
        bool passwordFile;
        std::function<void(const DataFolder&)> action;
    };
    const Case cases[] = {
        {200, true,
         [](auto& f) { importSslf(f.file("Clan.sslf"), "Clan"); }},           // the list, after the passwords
        {45, true, [](auto& f) { importSslf(f.file("Clan.sslf"), "Clan"); }}, // the passwords, part-way
        {0, false, [](auto& f) { importSslf(f.file("Clan.sslf"), "New"); }},  // "File not found"
        {100, true, [](auto& f) { exportSslf("Clan", f.file("old")); }},      // over an old file
        {100, true, [](auto& f) { exportSslf("Clan", f.file("new")); }},
        {0, false, [](auto& f) { exportSslf("Clan", f.file("new")); }},
        {40, true, [](auto& f) { importAse(f.file("Clan.txt"), "Clan"); }},
        {0, true, [](auto& f) { importAse(f.file("Clan.txt"), "..\\Config"); }}, // a name is never a path
    };
    int row = 0;
    for (const Case& c : cases) {
        DataFolder folder;
        folder.write("Serverlists/Clan", records({{"Old", "9.9.9.9", "1"}}));
        folder.writeLines("Config", test::config());
        if (c.passwordFile) folder.write(PasswordFileName, PasswordHeader);
        std::string sslf = "Server=MoHAA 10.0.0.1:12203 secret \"Alpha\"\r\n", ase;
        for (int i = 0; i < 20; ++i) {
            sslf += "Server=MoHAA 10.0.1.1:12203 \"\" \"Server " + std::to_string(i) + "\"\r\n";
            ase += "Server " + std::to_string(i) + "|10.0.1.1:12203\r\n";
        }
        folder.write("Clan.sslf", sslf);
        folder.write("Clan.txt", ase);
        folder.write("old.sslf", "old export\r\n");
        const auto before = snapshot(folder);
        try {
            std::optional<test::FileSizeLimit> limit;
            if (c.limit != 0) limit.emplace(c.limit);
            c.action(folder);
            ADD_FAILURE() << "row " << row << ": no error";
        } catch (const IoError& error) {
            EXPECT_TRUE(c.passwordFile || std::string(error.what()) == "File not found") << error.what();
        }
        EXPECT_EQ(snapshot(folder), before) << "row " << row++;
    }

    // The password file is needed only when there is a password to store.
    DataFolder folder;
    folder.write("plain.sslf", "Server=MoHAA 1.1.1.1:1 \"\" \"One\"\r\n");
    importSslf(folder.file("plain.sslf"), "plain");
    EXPECT_EQ(folder.read("Serverlists/plain"), records({{"One", "1.1.1.1", "1"}}));
}

// The list is replaced only when the import found something to put there;
// the window's test shows the report of a list found and of none.
TEST(MasterImport, ReportSaysWhatBecameOfTheList)
{
    using Outcome = MasterResult::Outcome;
    // Whether the list is replaced, and the report's last line.
    const auto ending = [](std::vector<MasterResult> masters, int listed, int silent,
                           std::vector<ResolvedServer> servers) {
        ImportOutcome outcome{std::move(masters), listed, {std::move(servers), silent}};
        return std::pair(outcome.replacesList(),
                         importSummary(*findMasterGame("mohaa"), outcome, outcome.replacesList()));
    };
    EXPECT_EQ(ending({master("a", Outcome::Listed, 3)}, 3, 3, {}),
              std::pair(false,
                        "Internet AA left as it was: none of the 3 servers listed answered on its query "
                        "port."s));
    EXPECT_EQ(ending({master("a", Outcome::Listed, 0), master("b", Outcome::Unreachable)}, 0, 0, {}),
              std::pair(true, "Internet AA: 0 servers of 0 listed."s));
    EXPECT_EQ(ending({master("a", Outcome::Listed, 3)}, 3, 1,
                     {resolved("x", 12203), resolved("y", 12204, GamePortSource::Guessed)}),
              std::pair(true, "Internet AA: 2 servers of 3 listed; 1 did not answer; 1 game ports guessed as "
                              "query port - 97."s));
}

TEST(MasterImport, EntryNamesAreOneLineAndUnique)
{
    ResolveResult result;
    result.servers = {resolved("", 1), resolved("   ", 2), resolved(std::string(100, 'n'), 3),
                      resolved("\ta\r\nb\x7f\x01 ", 4), resolved("12203", 5)};
    const std::vector<ServerEntry> entries = internetListEntries(result);
    const std::vector<std::string> names = {"10.0.0.1:1", "10.0.0.1:2",
                                            std::string(64, 'n') + " (10.0.0.1:3)", "ab (10.0.0.1:4)",
                                            "12203 (10.0.0.1:5)"};
    ASSERT_EQ(entries.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(entries[i].name, names[i]);
}
