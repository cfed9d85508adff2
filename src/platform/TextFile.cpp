#include "platform/TextFile.h"

#include "platform/Errors.h"

#include <algorithm>
#include <atomic>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace korvane {

namespace {

[[noreturn]] void throwErrno(int error)
{
    if (error == ENOENT || error == ENOTDIR) throw IoError(FileNotFoundText);
    throw IoError(std::strerror(error));
}

// The path as the system takes it: a NUL byte would end it early and name another file.
const char* systemPath(const std::string& path)
{
    if (path.find('\0') != std::string::npos) throwErrno(ENOENT);
    return path.c_str();
}

// A line written is one record: a CR, LF or NUL inside it (a player's name
// from the network, a pasted text) becomes a blank instead of ending it early.
void appendLine(std::string& data, const std::string& line)
{
    const size_t start = data.size();
    data += line;
    for (size_t i = start; i < data.size(); ++i)
        if (data[i] == '\r' || data[i] == '\n' || data[i] == '\0') data[i] = ' ';
    data += "\r\n";
}

} // namespace

namespace {

FileIdentity identityOf(const struct stat& info)
{
    FileIdentity identity;
    identity.device = static_cast<std::uint64_t>(info.st_dev);
    identity.inode = static_cast<std::uint64_t>(info.st_ino);
    identity.size = static_cast<std::int64_t>(info.st_size);
    identity.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.changedNs = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

} // namespace

std::optional<FileIdentity> regularFileIdentity(const std::string& path)
{
    struct stat info
    {};
    if (path.find('\0') != std::string::npos) return std::nullopt;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return identityOf(info);
}

std::int64_t realtimeNs()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::string readTextFileBytes(const std::string& path)
{
    // Opened without waiting: a FIFO in place of a list must not hang the program.
    const int fd = ::open(systemPath(path), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throwErrno(errno);
    auto fail = [fd](int error) {
        ::close(fd);
        throwErrno(error);
    };
    struct stat info
    {};
    if (::fstat(fd, &info) != 0) fail(errno);
    if (S_ISDIR(info.st_mode)) fail(EISDIR);
    // A device or a pipe is no data file: it reads like a missing one.
    if (!S_ISREG(info.st_mode)) fail(ENOENT);
    if (info.st_size > MaxTextFileBytes) fail(EFBIG);
    std::string data;
    // Read in one piece where the size holds, not regrown (and copied) on the way.
    data.reserve(static_cast<size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) fail(errno);
        if (got == 0) break;
        data.append(buffer, static_cast<size_t>(got));
        if (data.size() > static_cast<size_t>(MaxTextFileBytes)) fail(EFBIG);
    }
    ::close(fd);
    return data;
}

std::string nextTextLine(const std::string& data, size_t& pos)
{
    if (pos >= data.size()) return {};
    const size_t end = data.find_first_of("\r\n", pos);
    if (end == std::string::npos) {
        std::string line = data.substr(pos);
        pos = data.size();
        return line;
    }
    std::string line = data.substr(pos, end - pos);
    pos = end + 1;
    if (data[end] == '\r' && pos < data.size() && data[pos] == '\n') ++pos;
    return line;
}

namespace {

// Whether the identity taken at readStart can tell every later change: only
// stamps finer than a millisecond come from this machine's kernel clock, whose
// tick is at most 10 ms, and they must be older than that tick. Coarser stamps
// (FAT's two seconds, one-second file systems, another machine's clock) cannot
// tell a same-size rewrite from no change at all.
bool stampsCanTell(const FileIdentity& identity, std::int64_t readStart)
{
    const bool fine = identity.modifiedNs % 1'000'000 != 0 && identity.changedNs % 1'000'000 != 0;
    return fine && std::max(identity.modifiedNs, identity.changedNs) + 50'000'000 <= readStart;
}

} // namespace

bool FileSnapshot::refresh(const std::string& path)
{
    return refresh(path, m_probe(path));
}

bool FileSnapshot::refresh(const std::string& path, const std::optional<FileIdentity>& identityNow)
{
    if (m_valid && m_trusted && path == m_path && identityNow && *identityNow == m_identity) return false;
    const std::int64_t readStart = realtimeNs();
    // Taken before the read: a change during it then shows as another identity.
    const std::optional<FileIdentity> identity = m_probe(path);
    std::string data;
    try {
        data = readTextFileBytes(path);
    } catch (...) {
        forget();
        throw;
    }
    const bool changed = !m_valid || path != m_path || data != m_bytes;
    m_valid = true;
    m_path = path;
    m_trusted = identity && stampsCanTell(*identity, readStart);
    if (identity) m_identity = *identity;
    m_bytes = std::move(data);
    return changed;
}

void FileSnapshot::forget()
{
    m_valid = false;
    m_trusted = false;
    m_path.clear();
    m_bytes.clear();
}

TextReader::TextReader(const std::string& path) : m_data(readTextFileBytes(path)) {}

TextReader::~TextReader() = default;

bool TextReader::eof() const
{
    return m_pos >= m_data.size();
}

std::string TextReader::readLine()
{
    return nextTextLine(m_data, m_pos);
}

std::vector<std::string> readAllLines(const std::string& path)
{
    TextReader reader(path);
    std::vector<std::string> lines;
    while (!reader.eof())
        lines.push_back(reader.readLine());
    return lines;
}

namespace {

// Where a rewrite lands: the file a symbolic link leads to, so the link stays a link.
std::string linkTarget(const std::string& path)
{
    std::string target = path;
    for (int depth = 0; depth < 40; ++depth) {
        char buffer[PATH_MAX];
        const ssize_t got = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (got <= 0 || static_cast<size_t>(got) >= sizeof buffer) break;
        std::string next(buffer, static_cast<size_t>(got));
        const size_t slash = target.rfind('/');
        if (next.front() != '/' && slash != std::string::npos) next = target.substr(0, slash + 1) + next;
        target = next;
    }
    return target;
}

// A scratch file beside the target, named so that no list can take it (a list
// name has no dot) and short whatever the target's length. Created with the
// permissions a new file gets, or the target's own where it exists.
int createScratch(const std::string& target, std::string& scratch)
{
    static std::atomic<unsigned> counter{0};
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    struct stat old
    {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    for (;;) {
        scratch = folder + ".korvane-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) throwErrno(errno);
        [[maybe_unused]] const int kept = replacing ? ::fchmod(fd, old.st_mode & 07777) : 0;
        return fd;
    }
}

} // namespace

void replaceFileLines(const std::string& path, const std::vector<std::string>& lines)
{
    std::string data;
    for (const std::string& line : lines)
        appendLine(data, line);
    const std::string target = linkTarget(systemPath(path));
    std::string scratch;
    const int fd = createScratch(target, scratch);
    int error = 0;
    for (size_t done = 0; done < data.size() && error == 0;) {
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0)
            error = written < 0 ? errno : EIO;
        else
            done += static_cast<size_t>(written);
    }
    // A write the disk refuses late shows up here; a short file is never renamed over the old one.
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(scratch.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(scratch.c_str());
        throwErrno(error);
    }
}

std::uint64_t appendFileLines(const std::string& path, const std::vector<std::string>& lines)
{
    const int fd = ::open(systemPath(path), O_RDWR | O_CLOEXEC);
    if (fd < 0) throwErrno(errno);
    auto fail = [&](int error) {
        ::close(fd);
        throwErrno(error);
    };
    struct stat info
    {};
    if (::fstat(fd, &info) != 0) fail(errno);
    const off_t oldSize = info.st_size;

    std::string data;
    if (oldSize > 0) {
        char last = 0;
        if (::pread(fd, &last, 1, oldSize - 1) != 1) fail(errno ? errno : EIO);
        if (last != '\n' && last != '\r') data = "\r\n";
    }
    for (const std::string& line : lines)
        appendLine(data, line);

    int error = 0;
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t written =
            ::pwrite(fd, data.data() + done, data.size() - done, oldSize + static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = written < 0 ? errno : EIO;
            break;
        }
        done += static_cast<size_t>(written);
    }
    // A write the disk refuses late shows up here; it must not leave half a record.
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (error != 0) {
        // The write's error is the one to report, whatever the cut-back gives.
        [[maybe_unused]] const int cut = ::ftruncate(fd, oldSize);
        fail(error);
    }
    if (::close(fd) != 0) {
        error = errno;
        [[maybe_unused]] const int cut = ::truncate(path.c_str(), oldSize);
        throwErrno(error);
    }
    return static_cast<std::uint64_t>(oldSize);
}

void truncateFile(const std::string& path, std::uint64_t size)
{
    if (::truncate(systemPath(path), static_cast<off_t>(size)) != 0) throwErrno(errno);
}

bool fileExists(const std::string& path)
{
    return regularFileIdentity(path).has_value();
}

bool pathExists(const std::string& path)
{
    struct stat info
    {};
    return path.find('\0') == std::string::npos && ::lstat(path.c_str(), &info) == 0;
}

void deleteFile(const std::string& path)
{
    if (::unlink(systemPath(path)) != 0) throwErrno(errno);
}

std::size_t longestFileName(const std::string& folder)
{
    const long longest =
        folder.find('\0') == std::string::npos ? ::pathconf(folder.c_str(), _PC_NAME_MAX) : -1;
    return longest > 0 ? static_cast<std::size_t>(longest) : NAME_MAX;
}

void createEmptyFile(const std::string& path)
{
    replaceFileLines(path, {});
}

std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern)
{
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return names;
    const bool anyName = pattern == "*" || pattern == "*.*";
    const bool noExtension = pattern == "*.";
    for (const auto& entry : it) {
        std::error_code typeError;
        if (!entry.is_regular_file(typeError)) continue;
        const std::string name = entry.path().filename().string();
        bool match;
        if (anyName)
            match = true;
        else if (noExtension)
            match = name.find('.') == std::string::npos;
        else
            match = fnmatch(pattern.c_str(), name.c_str(), FNM_CASEFOLD) == 0;
        if (match) names.push_back(name);
    }
    return names;
}

} // namespace korvane
