#include "platform/FileSettingsStore.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/Error.h"

namespace tavixTGCL2 {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kFormatName = "tavixTGCL2-settings";
constexpr int kFormatVersion = 1;
constexpr std::string_view kTrailerPrefix = "end crc32=";
// Far above anything a host stores; a bigger file is treated as damaged
// rather than read into memory.
constexpr off_t kMaxHiveFileBytes = 64 * 1024 * 1024;

// --- Checksum ----------------------------------------------------------------

constexpr std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}

constexpr auto kCrcTable = makeCrcTable();

std::uint32_t crc32(std::string_view data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) crc = kCrcTable[(crc ^ byte) & 0xFFu] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

std::string hex8(std::uint32_t value, bool upper = false) {
    const char* digits = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4) text[static_cast<std::size_t>(i)] = digits[value & 0xFu];
    return text;
}

std::string header(SettingsHive hive) {
    return std::string(kFormatName) + ' ' + std::to_string(kFormatVersion) +
           " hive=" + hex8(hive, true);
}

// --- Escaping ----------------------------------------------------------------

// Bytes that would break a line apart, start a section, split a name from its
// value or be mangled by an editor's idea of the character set.
bool needsEscape(unsigned char c) {
    return c < 0x20 || c >= 0x7F || c == '%' || c == '=' || c == '[' || c == ']';
}

void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char digits[] = "0123456789ABCDEF";
    for (unsigned char c : text) {
        if (needsEscape(c)) {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xFu];
        } else {
            out += static_cast<char>(c);
        }
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::optional<std::string> unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '%') {
            if (i + 2 >= field.size()) return std::nullopt;
            const int hi = hexDigit(field[i + 1]);
            const int lo = hexDigit(field[i + 2]);
            if (hi < 0 || lo < 0) return std::nullopt;
            out += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else if (needsEscape(static_cast<unsigned char>(c))) {
            return std::nullopt;
        } else {
            out += c;
        }
    }
    return out;
}

// --- Writing the text form ---------------------------------------------------

void appendValues(std::string& out, const SettingsKey& key) {
    for (const auto& [folded, entry] : key.values()) {
        appendEscaped(out, entry.name);
        if (const auto* s = std::get_if<std::string>(&entry.value)) {
            out += "=s:";
            appendEscaped(out, *s);
        } else {
            out += "=i:";
            out += std::to_string(std::get<std::int32_t>(entry.value));
        }
        out += '\n';
    }
}

void appendKey(std::string& out, const SettingsKey& key, const std::string& path) {
    // Keys that only hold subkeys are implied by their subkeys' sections.
    if (!key.values().empty() || key.subkeys().empty()) {
        out += '[';
        out += path;
        out += "]\n";
        appendValues(out, key);
    }
    for (const auto& [folded, sub] : key.subkeys()) {
        std::string subPath = path;
        if (!subPath.empty()) subPath += '\\';
        appendEscaped(subPath, sub->name());
        appendKey(out, *sub, subPath);
    }
}

// --- Files -------------------------------------------------------------------

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            reset();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    ~FileDescriptor() { reset(); }
    int get() const { return m_fd; }
    void reset() {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = -1;
    }
    // close() reports write-back errors of some file systems; callers that
    // wrote through the descriptor must hear about them.
    int close() {
        const int fd = std::exchange(m_fd, -1);
        return fd >= 0 && ::close(fd) != 0 ? errno : 0;
    }

private:
    int m_fd;
};

[[noreturn]] void throwIo(const std::string& what, const fs::path& path, int error) {
    throw Error(errIo, what + " \"" + path.string() + "\": " +
                           std::generic_category().message(error));
}

int writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

struct FileRead {
    enum class State { Missing, Read, Unreadable } state = State::Missing;
    std::string text;
    mode_t mode = 0;
};

FileRead readHiveFile(const fs::path& file) {
    FileRead result;
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        result.state = (errno == ENOENT || errno == ENOTDIR) ? FileRead::State::Missing
                                                             : FileRead::State::Unreadable;
        return result;
    }
    result.state = FileRead::State::Unreadable;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxHiveFileBytes)
        return result;
    result.mode = st.st_mode & 07777;
    std::string text;
    text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return result;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (static_cast<off_t>(text.size()) > kMaxHiveFileBytes) return result;
    }
    result.state = FileRead::State::Read;
    result.text = std::move(text);
    return result;
}

void makeFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return;
    const fs::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder) makeFolder(parent);
    // Settings are the user's own business: a folder we create is private.
    if (::mkdir(folder.c_str(), 0700) == 0) return;
    const int error = errno;
    if (error == EEXIST && fs::is_directory(folder, ec)) return;
    throwIo("cannot create the settings folder", folder, error == EEXIST ? ENOTDIR : error);
}

void syncFolder(const fs::path& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) throwIo("cannot open the settings folder to flush it", folder, errno);
    // Some file systems cannot flush a directory at all; there is nothing
    // more to make durable on them.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        throwIo("the settings were written but the folder could not be flushed", folder, errno);
}

FileDescriptor lockHive(const fs::path& file) {
    fs::path lockPath = file;
    lockPath += ".lock";
    FileDescriptor fd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666));
    if (fd.get() < 0) throwIo("cannot open the settings lock file", lockPath, errno);
    while (::flock(fd.get(), LOCK_EX) != 0) {
        if (errno != EINTR) throwIo("cannot lock the settings lock file", lockPath, errno);
    }
    return fd;
}

// Under the hive's lock no other writer is half-way through a temporary file
// of this hive, so any that are left were abandoned by a writer that died.
void removeAbandonedTemporaries(const fs::path& file) {
    const std::string prefix = file.filename().string() + ".tmp-";
    std::error_code ec;
    for (fs::directory_iterator it(file.parent_path(), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0) ::unlink(it->path().c_str());
    }
}

std::string utcStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return text;
}

// Keeps the damaged file under a name of its own; an earlier kept file is
// never overwritten. A hard link keeps the exact file; where links are not
// possible, the bytes already read are copied instead.
void keepAside(const fs::path& file, const FileRead& read) {
    const std::string stamp = utcStamp();
    for (int n = 1; n < 10000; ++n) {
        fs::path aside = file;
        aside += ".damaged-" + stamp + (n > 1 ? "-" + std::to_string(n) : std::string());
        if (::link(file.c_str(), aside.c_str()) == 0) return;
        const int linkError = errno;
        if (linkError == EEXIST) continue;
        if (linkError == ENOENT) return;
        if (read.state != FileRead::State::Read)
            throwIo("cannot keep the unreadable settings file aside, so it is left as it is", file,
                    linkError);
        FileDescriptor fd(
            ::open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
        if (fd.get() < 0 && errno == EEXIST) continue;
        int error = fd.get() < 0 ? errno : writeAll(fd.get(), read.text);
        if (!error && ::fsync(fd.get()) != 0) error = errno;
        if (!error) error = fd.close();
        if (!error) return;
        fd.reset();
        ::unlink(aside.c_str());
        throwIo("cannot keep the damaged settings file aside, so it is left as it is", aside, error);
    }
    throw Error(errIo, "cannot keep the damaged settings file \"" + file.string() +
                           "\" aside: too many kept copies already carry this time");
}

void replaceFile(const fs::path& file, std::string_view text, std::optional<mode_t> mode) {
    static std::atomic<unsigned> serial{0};
    fs::path temporary;
    FileDescriptor fd;
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
        temporary = file;
        temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(serial++);
        fd = FileDescriptor(::open(temporary.c_str(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
        if (fd.get() < 0 && errno != EEXIST)
            throwIo("cannot create a temporary settings file", temporary, errno);
    }
    if (fd.get() < 0) throwIo("cannot create a temporary settings file", temporary, EEXIST);

    // A user who narrowed or widened the file's permissions keeps them.
    if (mode) ::fchmod(fd.get(), *mode);
    int error = writeAll(fd.get(), text);
    if (!error && ::fsync(fd.get()) != 0) error = errno;
    if (!error) error = fd.close();
    if (!error && ::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error) {
        fd.reset();
        ::unlink(temporary.c_str());
        throwIo("cannot write the settings file", file, error);
    }
    syncFolder(file.parent_path());
}

}  // namespace

// --- FileSettingsStore -------------------------------------------------------

FileSettingsStore::FileSettingsStore() : FileSettingsStore(defaultFolder()) {}

FileSettingsStore::FileSettingsStore(fs::path folder) : m_folder(std::move(folder)) {}

fs::path FileSettingsStore::defaultFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // Relative values are not valid there and must be ignored.
    if (config && config[0] == '/') return fs::path(config) / "tavixTGCL2";
    std::string home;
    if (const char* h = std::getenv("HOME"); h && h[0] == '/') {
        home = h;
    } else {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
            found->pw_dir && found->pw_dir[0] == '/')
            home = found->pw_dir;
    }
    if (home.empty()) return {};
    return fs::path(home) / ".config" / "tavixTGCL2";
}

fs::path FileSettingsStore::hiveFile(SettingsHive hive) const {
    const std::string_view name = hiveName(hive);
    if (m_folder.empty() || name.empty()) return {};
    return m_folder / (std::string(name) + ".settings");
}

std::string FileSettingsStore::formatHive(SettingsHive hive, const SettingsKey& root) {
    std::string out = header(hive);
    out += '\n';
    if (!root.values().empty()) {
        out += "[]\n";
        appendValues(out, root);
    }
    for (const auto& [folded, sub] : root.subkeys()) {
        std::string path;
        appendEscaped(path, sub->name());
        appendKey(out, *sub, path);
    }
    const std::uint32_t crc = crc32(out);
    out += kTrailerPrefix;
    out += hex8(crc);
    out += '\n';
    return out;
}

std::optional<SettingsKey> FileSettingsStore::parseHive(SettingsHive hive, std::string_view text) {
    if (text.empty() || text.back() != '\n') return std::nullopt;
    const std::size_t lastBreak = text.size() >= 2 ? text.rfind('\n', text.size() - 2) : text.npos;
    if (lastBreak == text.npos) return std::nullopt;
    const std::string_view body = text.substr(0, lastBreak + 1);
    const std::string_view trailer = text.substr(lastBreak + 1, text.size() - lastBreak - 2);
    if (trailer != std::string(kTrailerPrefix) + hex8(crc32(body))) return std::nullopt;

    const std::string expectedHeader = header(hive);
    const std::size_t headerEnd = body.find('\n');
    if (body.substr(0, headerEnd) != expectedHeader) return std::nullopt;

    SettingsKey root;
    SettingsKey* current = nullptr;
    std::set<std::string> sections;
    std::size_t pos = headerEnd + 1;
    while (pos < body.size()) {
        const std::size_t end = body.find('\n', pos);
        const std::string_view line = body.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty()) return std::nullopt;

        if (line.front() == '[') {
            if (line.size() < 2 || line.back() != ']') return std::nullopt;
            const std::string_view inner = line.substr(1, line.size() - 2);
            std::vector<std::string> path;
            std::string foldedPath;
            if (!inner.empty()) {
                std::size_t start = 0;
                for (;;) {
                    const std::size_t sep = inner.find('\\', start);
                    auto segment = unescape(inner.substr(start, sep - start));
                    if (!segment || segment->empty() ||
                        segment->find('\\') != std::string::npos)
                        return std::nullopt;
                    foldedPath += foldSettingsName(*segment);
                    foldedPath += '\\';
                    path.push_back(std::move(*segment));
                    if (sep == inner.npos) break;
                    start = sep + 1;
                }
            }
            if (!sections.insert(foldedPath).second) return std::nullopt;
            current = &root.findOrCreate(path);
            continue;
        }

        if (!current) return std::nullopt;
        const std::size_t eq = line.find('=');
        if (eq == line.npos || line.size() < eq + 3 || line[eq + 2] != ':') return std::nullopt;
        auto name = unescape(line.substr(0, eq));
        if (!name) return std::nullopt;
        const std::string_view payload = line.substr(eq + 3);
        SettingsValue value;
        switch (line[eq + 1]) {
        case 's': {
            auto text = unescape(payload);
            if (!text) return std::nullopt;
            value = std::move(*text);
            break;
        }
        case 'i': {
            std::int32_t number = 0;
            const auto [ptr, ec] =
                std::from_chars(payload.data(), payload.data() + payload.size(), number);
            if (payload.empty() || ec != std::errc{} || ptr != payload.data() + payload.size())
                return std::nullopt;
            value = number;
            break;
        }
        default:
            return std::nullopt;
        }
        // A name met twice in one key (in any case) is not something the
        // writer produces; keeping either would silently drop the other.
        const std::size_t before = current->values().size();
        current->setValue(*name, std::move(value));
        if (current->values().size() == before) return std::nullopt;
    }
    return root;
}

void FileSettingsStore::visit(SettingsHive hive, const Reader& reader) const {
    std::lock_guard lock(m_mutex);
    const fs::path file = hiveFile(hive);
    if (!file.empty()) {
        FileRead read = readHiveFile(file);
        if (read.state == FileRead::State::Read) {
            Cached& cached = m_cache[hive];
            if (cached.valid && cached.text == read.text) {
                reader(cached.root);
                return;
            }
            if (auto root = parseHive(hive, read.text)) {
                cached.root = std::move(*root);
                cached.text = std::move(read.text);
                cached.valid = true;
                reader(cached.root);
                return;
            }
        }
    }
    const SettingsKey empty;
    reader(empty);
}

void FileSettingsStore::change(SettingsHive hive, const Changer& changer) {
    std::lock_guard lock(m_mutex);
    if (m_folder.empty())
        throw Error(errIo,
                    "the settings cannot be stored: no folder was named and neither "
                    "XDG_CONFIG_HOME nor a home directory is known");
    const fs::path file = hiveFile(hive);
    makeFolder(m_folder);
    FileDescriptor hiveLock = lockHive(file);
    removeAbandonedTemporaries(file);

    // Re-read under the lock: another process may have changed the hive since
    // this one last looked, and its values must survive this change.
    FileRead read = readHiveFile(file);
    Cached& cached = m_cache[hive];
    SettingsKey fresh;
    SettingsKey* root = &fresh;
    bool damaged = read.state == FileRead::State::Unreadable;
    if (read.state == FileRead::State::Read) {
        if (cached.valid && cached.text == read.text)
            root = &cached.root;
        else if (auto parsed = parseHive(hive, read.text))
            fresh = std::move(*parsed);
        else
            damaged = true;
    }

    // The cached tree may be changed in place below; it describes the file
    // again only once the new file is in place.
    cached.valid = false;
    if (!changer(*root)) {
        if (root == &cached.root) cached.valid = true;
        return;
    }
    if (damaged) keepAside(file, read);
    std::string text = formatHive(hive, *root);
    std::optional<mode_t> mode;
    if (read.state == FileRead::State::Read) mode = read.mode;
    replaceFile(file, text, mode);
    if (root != &cached.root) cached.root = std::move(fresh);
    cached.text = std::move(text);
    cached.valid = true;
}

}  // namespace tavixTGCL2
