#pragma once
// Line-oriented text files with the program's classic rules: CR, LF or CR LF
// end a line; a read past the end gives empty text; written lines end in CR LF.
// Paths are full native paths (see Paths.h: dataPath()). Failures throw IoError
// ("File not found" for a missing file, the system's text otherwise).

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace korvane {

// Far above any real list or buddy file; a larger file is refused, not read.
inline constexpr long long MaxTextFileBytes = 256LL * 1024 * 1024;

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
void deleteFile(const std::string& path); // throws IoError
void createEmptyFile(const std::string& path);

// Regular files of a folder whose names match a wildcard pattern ("*.", "*.*",
// "*"), in the order the file system gives them. "*." means names without a dot.
std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern);

} // namespace korvane
