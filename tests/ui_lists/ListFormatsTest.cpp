

// SSLF and ASE import and export on real files in a data folder.
#include "ui/lists/ListFormats.h"
#include "admin/PasswordFile.h"
#include "platform/Errors.h"
#include "support/DataFolder.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

using namespace korvane;
using korvane::test::crlf;
using korvane::test::DataFolder;

namespace {

const std::vector<std::string> PasswordHeader = {"// Korvane 1.11 password list", "//", ""};

std::vector<std::string> records(const std::vector<ServerEntry>& servers)
{
    std::vector<std::string> lines;
    for (const ServerEntry& s : servers) {
        lines.push_back(s.name);
        lines.push_back(s.ip);
        lines.push_back(s.port);
    }
    return lines;
}

std::vector<std::string> joined(std::vector<std::string> a, const std::vector<std::string>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
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

const std::string Header =
    crlf({"SSLF - Shared Server List Format - Version 1.01", " ", "// Create by HLSW (http://www.hlsw.net)",
          "// Dateiformatsinformationen auf http://www.hlsw.net unter Developer", " ",
          "Name=\"https://korvane.sourceforge.io/support - serverlist\"", " "});

} // namespace

TEST(ListFormats, SslfExportThenImportGivesBackTheSameServersAndServerPasswords)
{
    DataFolder folder;
    const std::vector<ServerEntry> servers = {
        {"Alpha", "10.0.0.1", "12203"},
        {"Bravo", "10.0.0.2", "12204"},         // remote-console password only
        {" two  blanks ", "10.0.0.3", "12205"}, // blanks of a name are kept
        {"Caf\xE9 | a:b", "host.example", "1"}, // Latin-1 bytes, separators of other formats
        {"", "10.0.0.4", "12206"},              // an empty password is no password
    };
    folder.writeLines("Serverlists/Clan", records(servers));
    const std::vector<std::string> passwords = {"10.0.0.112203", "secret", "10.0.0.212204", "rcon:admin",
                                                "10.0.0.312205", "old",    "10.0.0.312205", "newer",
                                                "10.0.0.412206", ""};
    folder.writeLines(PasswordFileName, joined(PasswordHeader, passwords));

    std::filesystem::create_directory(folder.file("out"));
    exportSslf("Clan", folder.file("out/Clan"));
    EXPECT_EQ(folder.read("out/Clan.sslf"),
              Header + crlf({"Server=MoHAA 10.0.0.1:12203 secret \"Alpha\"",
                             "Server=MoHAA 10.0.0.2:12204 \"\" \"Bravo\"",
                             "Server=MoHAA 10.0.0.3:12205 newer \" two  blanks \"",
                             "Server=MoHAA host.example:1 \"\" \"Caf\xE9 | a:b\"",
                             "Server=MoHAA 10.0.0.4:12206 \"\" \"\""}));
    exportSslf("Clan", folder.file("out/Clan.sslf")); // the extension is appended whatever the name
    EXPECT_TRUE(folder.exists("out/Clan.sslf.sslf"));

    folder.write("Serverlists/Clan", "stale\r\n1\r\n2\r\n");
    importSslf(folder.file("out/Clan.sslf"), importedListName(folder.file("out/Clan.sslf"), ".sslf"));
    EXPECT_EQ(folder.read("Serverlists/Clan"), crlf(records(servers)));
    EXPECT_EQ(folder.read(PasswordFileName),
              crlf(joined(joined(PasswordHeader, passwords),
                          {"10.0.0.112203", "secret", "10.0.0.312205", "newer"})));
}

TEST(ListFormats, SslfImportTakesFilesAsOtherProgramsWriteThem)
{
    struct Case
    {
        const char* why;
        std::string bytes;
        std::vector<ServerEntry> list;
        std::vector<std::string> passwords; // appended to Passwords.txt
    };
    const Case cases[] = {
        {"byte-order mark before a server line, LF line ends, any case of the mark",
         "\xEF\xBB\xBFserver=MoHAA 1.1.1.1:12203 \"\" \"One\"\nSERVER=MoHAA 2.2.2.2:12204 pw \"Two\"\n",
         {{"One", "1.1.1.1", "12203"}, {"Two", "2.2.2.2", "12204"}},
         {"2.2.2.212204", "pw"}},
        {"quoted game tag with blanks; quotes inside a name dropped; Latin-1 kept; comments and blanks "
         "skipped",
         "SSLF - Shared Server List Format - Version 1.01\r\n\r\n// comment\r\n \r\nName=\"x\"\r\n"
         "Server=\"Medal of Honor\" 3.3.3.3:12205 \"\" \"The \"Best\" \xC4rger\"\r\n"
         "Server=\"Spear head\" 4.4.4.4:12206 p4 \"Four\"\r\n",
         {{"The Best \xC4rger", "3.3.3.3", "12205"}, {"Four", "4.4.4.4", "12206"}},
         {"4.4.4.412206", "p4"}},
        {"a line ending after the port stores an empty password; missing and unquoted names",
         "Server=MoHAA 5.5.5.5:12207\r\nServer=MoHAA 6.6.6.6:12208 \"\"\r\nServer=MoHAA 7.7.7.7:1 "
         "\"Seven\"\r\n"
         "Server=MoHAA 8.8.8.8:2 p8 Plain name",
         {{"", "5.5.5.5", "12207"},
          {"", "6.6.6.6", "12208"},
          {"Seven", "7.7.7.7", "1"},
          {"Plain name", "8.8.8.8", "2"}},
         {"5.5.5.512207", "", "8.8.8.82", "p8"}},
        {"no server line: an empty list", "SSLF - Shared Server List Format\r\nName=\"x\"\r\n", {}, {}},
    };
    for (const Case& c : cases) {
        DataFolder folder;
        folder.writeLines(PasswordFileName, PasswordHeader);
        folder.write("in/List.sslf", c.bytes);
        importSslf(folder.file("in/List.sslf"), "List");
        EXPECT_EQ(folder.read("Serverlists/List"), crlf(records(c.list))) << c.why;
        EXPECT_EQ(folder.read(PasswordFileName), crlf(joined(PasswordHeader, c.passwords))) << c.why;
    }
}

TEST(ListFormats, AseLinesSplitFromTheRight)
{
    const std::pair<std::string, ServerEntry> lines[] = {
        {"Name|1.2.3.4:12203", {"Name", "1.2.3.4", "12203"}},
        {"a|b|c:1", {"a|b", "c", "1"}},
        {"[ab] Server: 1|2 |1.2.3.4:x:12203", {"[ab] Server: 1|2 ", "1.2.3.4:x", "12203"}},
        {"1.2.3.4:5", {"", "1.2.3.4", "5"}},
        {"|h:", {"", "h", ""}},
        {"no colon|at all", {"", "", "no colon|at all"}},
        {"", {"", "", ""}},
    };
    for (const auto& [line, entry] : lines)
        EXPECT_EQ(parseAseLine(line), entry) << line;

    DataFolder folder;
    folder.write("servers.txt", "\xEF\xBB\xBF"
                                "First|1.1.1.1:1\nCaf\xE9|2.2.2.2:2\r\n");
    importAse(folder.file("servers.txt"), importedListName(folder.file("servers.txt"), ".txt"));
    EXPECT_EQ(folder.read("Serverlists/servers"), crlf({"First", "1.1.1.1", "1", "Caf\xE9", "2.2.2.2", "2"}));
}

TEST(ListFormats, ImportedListNameDropsEveryExtensionInAnyCase)
{
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"/home/me/Clan.sslf", ".sslf", "Clan"},
        {"/home/me/CLAN.SSLF", ".sslf", "CLAN"},
        {"/home/me/My.sslf.backup.sslf", ".sslf", "My.backup"},
        {"/data/old.txt.bak", ".txt", "old.bak"},
        {"/data/servers.TXT", ".txt", "servers"},
        {"C:\\Games\\Clan.sslf", ".sslf", "Clan"},
        {"/a.sslf/b.txt", ".sslf", "b.txt"}, // only the file-name part
    };
    for (const auto& [path, extension, name] : cases)
        EXPECT_EQ(importedListName(path, extension), name) << path;
}

TEST(ListFormats, FailuresLeaveEveryFileWholeAndTheListAndPasswordsInAgreement)
{
    struct Case
    {
        const char* why;
        rlim_t limit; // 0: no limit
        bool passwordsMissing;
        std::function<void(const DataFolder&)> action;
        const char* error; // nullptr: the system's text
    };
    const Case cases[] = {
        {"list replace fails after the passwords went in", 200, false,
         [](const DataFolder& f) { importSslf(f.file("in/Clan.sslf"), "Clan"); }, nullptr},
        {"password append fails part-way", 45, false,
         [](const DataFolder& f) { importSslf(f.file("in/Clan.sslf"), "Clan"); }, nullptr},
        {"no password file for a server with a password", 0, true,
         [](const DataFolder& f) { importSslf(f.file("in/Clan.sslf"), "New"); }, "File not found"},
        {"chosen file gone", 0, false,
         [](const DataFolder& f) { importSslf(f.file("in/gone.sslf"), "Gone"); }, "File not found"},
        {"export over an old file", 100, false,
         [](const DataFolder& f) { exportSslf("Clan", f.file("out/old")); }, nullptr},
        {"export to a new file", 100, false,
         [](const DataFolder& f) { exportSslf("Clan", f.file("out/new")); }, nullptr},
        {"export without a password file", 0, true,
         [](const DataFolder& f) { exportSslf("Clan", f.file("out/new")); }, "File not found"},
        {"ASE import", 40, false, [](const DataFolder& f) { importAse(f.file("in/Clan.txt"), "Clan"); },
         nullptr},
        {"a file called .sslf gives no list name", 0, false,
         [](const DataFolder& f) {
             importSslf(f.file("in/Clan.sslf"), importedListName("/x/.sslf", ".sslf"));
         },
         nullptr},
        {"a list name is never a path", 0, false,
         [](const DataFolder& f) { importAse(f.file("in/Clan.txt"), "..\\Config"); }, nullptr},
    };
    for (const Case& c : cases) {
        DataFolder folder;
        folder.writeLines("Serverlists/Clan", {"Old", "9.9.9.9", "1"});
        folder.writeLines("Config", test::DataFolder::configLines());
        if (!c.passwordsMissing) folder.writeLines(PasswordFileName, PasswordHeader);
        std::string sslf = "Server=MoHAA 10.0.0.1:12203 secret \"Alpha\"\r\n";
        std::string ase;
        for (int i = 0; i < 20; ++i) {
            sslf += "Server=MoHAA 10.0.1." + std::to_string(i) + ":12203 \"\" \"Server " + std::to_string(i) +
                    "\"\r\n";
            ase += "Server " + std::to_string(i) + "|10.0.1.1:12203\r\n";
        }
        folder.write("in/Clan.sslf", sslf);
        folder.write("in/Clan.txt", ase);
        folder.write("out/old.sslf", "old export\r\n");
        const auto before = snapshot(folder);
        try {
            std::optional<test::FileSizeLimit> limit;
            if (c.limit != 0) limit.emplace(c.limit);
            c.action(folder);
            ADD_FAILURE() << c.why << ": no error";
        } catch (const IoError& error) {
            if (c.error) {
                EXPECT_STREQ(error.what(), c.error) << c.why;
            }
        }
        EXPECT_EQ(snapshot(folder), before) << c.why;
    }

    // The password file is needed only when there is a password to store.
    DataFolder folder;
    folder.write("plain.sslf", "Server=MoHAA 1.1.1.1:1 \"\" \"One\"\r\n");
    importSslf(folder.file("plain.sslf"), "plain");
    EXPECT_EQ(folder.read("Serverlists/plain"), crlf({"One", "1.1.1.1", "1"}));
    EXPECT_FALSE(folder.exists(PasswordFileName));
}
