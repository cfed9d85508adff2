// Line reading, appending and atomic replacement of text files.
#include "platform/TextFile.h"
#include "platform/Collation.h"
#include "platform/Convert.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "support/DataFolder.h"
#include "support/ErrorText.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QStringList>

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace korvane;
using korvane::test::DataFolder;
using korvane::test::errorText;

TEST(TextFile, LineEndsOfEveryKindAndReadsPastTheEnd)
{
    struct Case
    {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"x\n\r\ny", {"x", "", "y"}},
        {std::string("\xff\x01z\r\n", 5), {std::string("\xff\x01z", 3)}},
    };
    DataFolder folder;
    for (const Case& c : cases) {
        folder.write("f.txt", c.bytes);
        EXPECT_EQ(readAllLines(folder.file("f.txt")), c.lines) << c.bytes;
        TextReader reader(folder.file("f.txt"));
        for (size_t i = 0; i < c.lines.size(); ++i)
            reader.readLine();
        EXPECT_TRUE(reader.eof());
        EXPECT_EQ(reader.readLine(), "");
    }
}

TEST(TextFile, MissingFilesSayFileNotFound)
{
    DataFolder folder;
    const std::string missing = folder.file("nothing.txt");
    EXPECT_EQ(errorText([&] { TextReader r(missing); }), "File not found");
    EXPECT_EQ(errorText([&] { appendFileLines(missing, {"x"}); }), "File not found");
    EXPECT_EQ(errorText([&] { deleteFile(missing); }), "File not found");
    EXPECT_EQ(errorText([&] { TextReader r(folder.file("Serverlists")); }), std::strerror(EISDIR));
    // Neither a pipe (which would wait for a writer for good) nor a device is a data file.
    ASSERT_EQ(::mkfifo(folder.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(errorText([&] { TextReader r(folder.file("fifo")); }), "File not found");
    EXPECT_EQ(errorText([&] { readAllLines("/dev/zero"); }), "File not found");
    EXPECT_FALSE(folder.exists("nothing.txt"));
}

TEST(TextFile, EveryWrittenLineIsOneRecord)
{
    DataFolder folder;
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "new", "new\r\n"},
        {"old", "new", "old\r\nnew\r\n"},
        {"old\r\n", "new", "old\r\nnew\r\n"},
        {"old\n", "new", "old\nnew\r\n"},
        // A name from the network never becomes several records.
        {"", std::string("Evil\r\nInjected\0x", 16), "Evil  Injected x\r\n"},
    };
    for (const auto& [before, line, after] : cases) {
        folder.write("b.txt", before);
        appendFileLines(folder.file("b.txt"), {line});
        EXPECT_EQ(folder.read("b.txt"), after);
        replaceFileLines(folder.file("r.txt"), {line});
        EXPECT_EQ(readAllLines(folder.file("r.txt")).size(), 1u);
    }
}

TEST(TextFile, ReplaceIsAtomicAndLeavesNoScratchFile)
{
    DataFolder folder;
    folder.write("list", "old\r\n");
    replaceFileLines(folder.file("list"), {"a", "", "b"});
    EXPECT_EQ(folder.read("list"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(folder.files("."), (std::vector<std::string>{"Serverlists", "list"}));

    // A folder that cannot be written keeps the old file whole.
    ASSERT_EQ(::chmod(folder.path().toLocal8Bit().constData(), 0500), 0);
    if (::geteuid() != 0) {
        EXPECT_THROW(replaceFileLines(folder.file("list"), {"new"}), IoError);
        EXPECT_EQ(folder.read("list"), "a\r\n\r\nb\r\n");
    }
    ::chmod(folder.path().toLocal8Bit().constData(), 0700);
    EXPECT_THROW(replaceFileLines(folder.file("no/such/folder/list"), {"x"}), IoError);
}

TEST(TextFile, EveryOperationUsesTheNameBytesExactly)
{
    DataFolder folder;
    const std::string names[] = {
        "Caf\xE9", // Latin-1, from an old Windows install
        "\xC3\x9C"
        "bung",                     // UTF-8
        "\xE5\x90\x8D\xE5\x89\x8D", // CJK in UTF-8
        "bad\xFF\xFE",              // not UTF-8 at all
        std::string(255, 'n'),      // as long as a name can be
    };
    for (const std::string& name : names) {
        const std::string path = folder.file("Serverlists/" + name);
        replaceFileLines(path, {"a"});
        appendFileLines(path, {"b"});
        EXPECT_EQ(folder.files("Serverlists"), std::vector<std::string>{name});
        EXPECT_EQ(readAllLines(path), (std::vector<std::string>{"a", "b"}));
        deleteFile(path);
        EXPECT_TRUE(folder.files("Serverlists").empty());
    }
}

TEST(TextFile, FailedWritesGiveTheSystemsReason)
{
    DataFolder folder;
    folder.write("list", "old\r\n");
    QDir(folder.path()).mkdir("folder");
    const auto reason = [](const std::string& path) {
        return errorText([&] { replaceFileLines(path, {"new and longer"}); });
    };
    {
        test::FileSizeLimit diskFull(4);
        EXPECT_EQ(reason(folder.file("list")), std::strerror(EFBIG));
    }
    EXPECT_EQ(reason(folder.file(std::string(256, 'n'))), std::strerror(ENAMETOOLONG));
    EXPECT_EQ(reason(folder.file("folder")), std::strerror(EISDIR));
    EXPECT_EQ(reason(folder.file("none/list")), "File not found");
    EXPECT_EQ(folder.read("list"), "old\r\n");
    EXPECT_EQ(folder.files("."), (std::vector<std::string>{"Serverlists", "folder", "list"}));
}

TEST(TextFile, ANulByteNeverNamesAnotherFile)
{
    DataFolder folder;
    folder.write("Serverlists/Standard", "keep\r\n");
    const std::string path = folder.file("Serverlists/Standard") + std::string("\0x", 2);
    EXPECT_FALSE(fileExists(path));
    EXPECT_FALSE(regularFileIdentity(path));
    EXPECT_EQ(errorText([&] { readAllLines(path); }), "File not found");
    EXPECT_EQ(errorText([&] { appendFileLines(path, {"x"}); }), "File not found");
    EXPECT_EQ(errorText([&] { deleteFile(path); }), "File not found");
    EXPECT_NE(errorText([&] { replaceFileLines(path, {"x"}); }), "");
    EXPECT_EQ(folder.read("Serverlists/Standard"), "keep\r\n");
}

TEST(TextFile, SnapshotComparesContentsWhereTimeStampsCannotTell)
{
    // FAT: two-second stamps and no change time of its own; here from a
    // writer whose clock lags, so a rewrite keeps the stamp it had.
    const FileSnapshot::IdentityProbe fat = [](const std::string& path) {
        std::optional<FileIdentity> identity = regularFileIdentity(path);
        if (identity) identity->modifiedNs = identity->changedNs = 1'600'000'000LL * 1'000'000'000;
        return identity;
    };
    DataFolder folder;
    FileSnapshot snapshot(fat);
    folder.write("Buddys.txt", "bob\r\n");
    EXPECT_TRUE(snapshot.refresh(folder.file("Buddys.txt")));
    folder.write("Buddys.txt", "tom\r\n"); // same size, in place
    EXPECT_TRUE(snapshot.refresh(folder.file("Buddys.txt")));
    EXPECT_EQ(snapshot.bytes(), "tom\r\n");
    EXPECT_FALSE(snapshot.refresh(folder.file("Buddys.txt")));
}

TEST(TextFile, SeveralLinesAppendAllOrNoneAndCanBeCutBack)
{
    DataFolder folder;
    const std::tuple<std::string, rlim_t, std::string> cases[] = {
        // before, file size limit (0: none), after
        {"old", 0, "old\r\na\r\nb\r\n"}, // an unterminated last line is ended first
        {"old\r\n", 7, "old\r\n"},       // the write stops inside the first line: none of it stays
        {"old", 4, "old"},               // the added line end goes too
    };
    for (const auto& [before, limit, after] : cases) {
        folder.write("p.txt", before);
        if (limit == 0) {
            EXPECT_EQ(appendFileLines(folder.file("p.txt"), {"a", "b"}), before.size());
        } else {
            test::FileSizeLimit fileSizeLimit(limit);
            EXPECT_THROW(appendFileLines(folder.file("p.txt"), {"a", "b"}), IoError);
        }
        EXPECT_EQ(folder.read("p.txt"), after) << before << " limit " << limit;
    }
    EXPECT_THROW(appendFileLines(folder.file("missing.txt"), {"x"}), IoError);
    EXPECT_FALSE(folder.exists("missing.txt"));
}

TEST(TextFile, ListsRegularFilesByPattern)
{
    DataFolder folder;
    folder.write("Serverlists/Standard", "");
    folder.write("Serverlists/Clan", "");
    folder.write("Serverlists/import.sslf", "");
    folder.write("Serverlists/sub/inner", "");
    auto sorted = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(sorted(listFiles(folder.file("Serverlists"), "*.")),
              (std::vector<std::string>{"Clan", "Standard"}));
    EXPECT_EQ(sorted(listFiles(folder.file("Serverlists"), "*.*")),
              (std::vector<std::string>{"Clan", "Standard", "import.sslf"}));
    EXPECT_EQ(listFiles(folder.file("Serverlists"), "*.SSLF"), (std::vector<std::string>{"import.sslf"}));
    EXPECT_TRUE(listFiles(folder.file("missing"), "*.*").empty());
}

TEST(Paths, BackslashNamesMapToTheDataFolder)
{
    DataFolder folder;
    EXPECT_EQ(dataPath("Serverlists\\Standard"), folder.file("Serverlists/Standard"));
    EXPECT_EQ(dataPath("\\Buddys.txt"), folder.file("Buddys.txt"));
    EXPECT_EQ(folderOf("C:\\Games\\MOHAA\\MOHAA.exe"), "C:\\Games\\MOHAA");
    EXPECT_EQ(folderOf("/opt/mohaa/MOHAA.exe"), "/opt/mohaa");
    EXPECT_EQ(folderOf("MOHAA.exe"), "");
}

TEST(Convert, IntegerTextsAndTheErrorText)
{
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"1000", 1000},
        {"-5", -5},
        {"+7", 7},
        {"  12", 12},
        {"$1F", std::nullopt}, // decimal only
        {"0x10", std::nullopt},
        {"", std::nullopt},
        {"12 ", std::nullopt},
        {"abc", std::nullopt},
        {"1.5", std::nullopt},
        {"-", std::nullopt},
        {"2147483647", 2147483647},
        {"2147483648", std::nullopt},
        {"-2147483648", -2147483647 - 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(tryStrToInt(text), value) << text;
    EXPECT_EQ(errorText([] { strToInt("abc"); }), "'abc' is not a valid integer value");
    EXPECT_EQ(removeAllNoCase("xRCON:yrcon:z", "rcon:"), "xyz");
    EXPECT_TRUE(containsNoCase("a StatusResponse", "statusresponse"));
    EXPECT_TRUE(containsNoCase("[\x8A\xC4]\x8AIMON", "\x9A\xE4]\x9Aimon")); // Windows-1252 letters too
}

TEST(Collation, SameOrderUnderEveryLocale)
{
    QStringList names{"Bob",   "alice",       "[XY]Ann", "bob",  "Alice",
                      "12/16", "no response", "FULL",    "0/16", "2/20"};
    std::sort(names.begin(), names.end(), captionLess);
    EXPECT_EQ(names, (QStringList{"0/16", "12/16", "2/20", "[XY]Ann", "alice", "Alice", "bob", "Bob", "FULL",
                                  "no response"}));
    EXPECT_EQ(compareCaptions(std::string("a"), std::string("a")), 0);
    EXPECT_LT(compareCaptions(std::string("ab"), std::string("abc")), 0);
}
