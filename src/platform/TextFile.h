#pragma once
// Line-oriented text files with the program's classic rules: CR, LF or CR LF
// end a line; a read past the end gives empty text; written lines end in CR LF.
// Paths are full native paths (see Paths.h: dataPath()), taken as the exact
// bytes given (a NUL byte in one names no file). Failures throw IoError
// ("File not found" for a missing file, the system's text otherwise).

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Far above any real list or buddy file; a larger file is refused, not read.
inline constexpr long long MaxTextFileBytes = 256LL * 1024 * 1024;

// What tells one state of a file from another without reading it: a rewrite
// in place, an append and an atomic replace each change some field.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of a regular file, or nothing (missing, a folder, a device...).
std::optional<FileIdentity> regularFileIdentity(const std::string& path);

// Nanoseconds of the realtime clock, the clock file times are stamped from.
std::int64_t realtimeNs();

// The whole contents of a text file, as TextReader reads it (same errors).
std::string readTextFileBytes(const std::string& path);

// The line of data starting at pos, pos moved past its line end (CR, LF or
// CR LF); empty text when pos is at or past the end.
std::string nextTextLine(const std::string& data, size_t& pos);

// The contents of one file kept between reads. A file is read again when its
// identity differs, and also whenever its time stamps cannot tell a rewrite
// from no change (too coarse, or too recent): the contents then decide.
class FileSnapshot
{
public:
    using IdentityProbe = std::optional<FileIdentity> (*)(const std::string& path);
    // The probe tells a file's identity (tests stand in for other file systems).
    explicit FileSnapshot(IdentityProbe probe = regularFileIdentity) : m_probe(probe) {}

    // Brings the contents up to date; true when they differ from the last
    // ones (always on the first call). Throws as readTextFileBytes, and then
    // holds nothing.
    bool refresh(const std::string& path);
    // The same, for a caller that has just taken the file's identity itself:
    // an unchanged file then costs no second look.
    bool refresh(const std::string& path, const std::optional<FileIdentity>& identity);
    const std::string& bytes() const { return m_bytes; }
    void forget();

private:
    IdentityProbe m_probe;
    bool m_valid = false;
    bool m_trusted = false; // the identity alone tells a change
    std::string m_path;
    FileIdentity m_identity;
    std::string m_bytes;
};

class TextReader
{
public:
    explicit TextReader(const std::string& path); // throws IoError
    ~TextReader();
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool eof() const;
    std::string readLine(); // empty text past the end

private:
    std::string m_data;
    size_t m_pos = 0;
};

// All lines of a file (a last line without a line end still counts).
std::vector<std::string> readAllLines(const std::string& path);

// Replaces the whole file atomically: readers see the old or the new contents,
// never a missing or half-written file; on failure the old file stays whole.
void replaceFileLines(const std::string& path, const std::vector<std::string>& lines);

// Appends all the lines or none: the file must exist ("File not found"), an
// unterminated last line is ended first, and a failed write, flush or close
// cuts the file back to its old size before the error propagates. Returns that
// old size, so a caller whose later step fails can cut it back too.
std::uint64_t appendFileLines(const std::string& path, const std::vector<std::string>& lines);

void truncateFile(const std::string& path, std::uint64_t size); // throws IoError

bool fileExists(const std::string& path); // regular file
bool pathExists(const std::string& path); // anything under that name, a dangling link too
void deleteFile(const std::string& path); // throws IoError
void createEmptyFile(const std::string& path);
// The longest file name, in bytes, the folder's file system takes.
std::size_t longestFileName(const std::string& folder);

// Regular files of a folder whose names match a wildcard pattern ("*.", "*.*",
// "*"), in the order the file system gives them. "*." means names without a dot.
std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern);

} // namespace korvane
