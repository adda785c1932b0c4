#include "platform/film_index_cache.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/film_input.hpp"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'V', 'N', 'T', 'F', 'I', 'X', '0', '4'};
constexpr size_t kEntryBytes = 8 + 8 + 8 + 4 + 4 + 1;
constexpr uint32_t kMaxLeadEntries = 64;
constexpr uint32_t kMaxPieces = 100000;

struct FilmStamp {
    std::string path;  // absolute
    uint64_t size = 0;
    int64_t mtime = 0;  // file clock ticks
};

std::optional<FilmStamp> stamp_of(const fs::path& film) {
    std::error_code error;
    FilmStamp stamp;
    const fs::path absolute = fs::absolute(film, error);
    if (error) return std::nullopt;
    stamp.path = absolute.lexically_normal().string();
    stamp.size = fs::file_size(film, error);
    if (error) return std::nullopt;
    const auto time = fs::last_write_time(film, error);
    if (error) return std::nullopt;
    stamp.mtime = static_cast<int64_t>(time.time_since_epoch().count());
    return stamp;
}

// FNV-1a: stable from run to run, for the file's name and its whole-content check.
uint64_t checksum(std::string_view bytes) {
    uint64_t hash = 1469598103934665603ull;
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

fs::path cache_file(const FilmStamp& stamp) {
    const fs::path folder = film_cache_folder();
    if (folder.empty()) return {};
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.index", static_cast<unsigned long long>(checksum(stamp.path)));
    return folder / name;
}

class Writer {
public:
    template <typename T>
    void put(T value) {
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    std::string bytes;
};

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    template <typename T>
    bool get(T& value) {
        if (bytes_.size() - at_ < sizeof value) return false;
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return true;
    }
    bool get(std::string& text, size_t length) {
        if (bytes_.size() - at_ < length) return false;
        text.assign(bytes_, at_, length);
        at_ += length;
        return true;
    }
    [[nodiscard]] size_t left() const { return bytes_.size() - at_; }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

// The cache file is read back as untrusted input: every field is checked against what
// an index built here can hold.
bool plausible(const FilmIndex& index) {
    if (index.width <= 0 || index.height <= 0 || index.width > kMaxFilmSide || index.height > kMaxFilmSide) return false;
    if (index.rate_num <= 0 || index.rate_den <= 0 || index.time_base_num <= 0 || index.time_base_den <= 0) return false;
    if (index.entries.empty()) return false;
    if (!std::all_of(index.lead.begin(), index.lead.end(), [](const FilmIndexEntry& e) { return e.key && !e.empty; })) return false;
    for (size_t n = 1; n < index.pieces.size(); ++n) {
        if (index.pieces[n].pos <= index.pieces[n - 1].pos) return false;
    }
    for (size_t n = 0; n < index.entries.size(); ++n) {
        const FilmIndexEntry& e = index.entries[n];
        if (index.order == FilmOrder::Sample) {
            const int32_t before = n == 0 ? 0 : index.entries[n - 1].picture;
            if (e.picture < 0 || e.picture < before || e.picture > before + 1) return false;
        } else {
            if (e.empty || e.picture != static_cast<int32_t>(n)) return false;
            if (n > 0 && index.order == FilmOrder::Time && e.pts <= index.entries[n - 1].pts) return false;
        }
    }
    return true;
}

}  // namespace

fs::path film_cache_folder() {
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && xdg[0] == '/') return fs::path(xdg) / "vantrel";
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') return fs::path(home) / ".cache" / "vantrel";
    return {};
}

namespace {

struct Descriptor {
    explicit Descriptor(int f) : fd(f) {}
    int fd;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

// The largest cache file a film of `film_size` bytes can have: an entry per packet (AVI: and
// per empty sample between them), the path, the keyframes before the first picture, the pieces.
uint64_t largest_cache(uint64_t film_size) {
    const uint64_t entries = std::min<uint64_t>(static_cast<uint64_t>(kMaxFilmFrames), film_size * 65 + 64);
    return 4096 + 65536 + entries * kEntryBytes + (kMaxLeadEntries + kMaxPieces) * kEntryBytes;
}

// The bytes of a regular file no larger than `limit`; nullopt for anything else (a folder, a
// pipe, a device: none of them may block or flood the reader).
std::optional<std::string> read_regular(const fs::path& file, uint64_t limit) {
    const Descriptor in(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    const int fd = in.fd;
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > limit) return std::nullopt;
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;  // shrunk while read
        got += static_cast<size_t>(n);
    }
    return bytes;
}

bool get_entry(Reader& r, FilmIndexEntry& e) {
    uint8_t flags = 0;
    if (!r.get(e.pts) || !r.get(e.dts) || !r.get(e.pos) || !r.get(e.picture) || !r.get(e.size) || !r.get(flags) || flags > 3)
        return false;
    e.key = (flags & 1) != 0;
    e.empty = (flags & 2) != 0;
    return true;
}

void put_entry(Writer& w, const FilmIndexEntry& e) {
    w.put(e.pts);
    w.put(e.dts);
    w.put(e.pos);
    w.put(e.picture);
    w.put(e.size);
    w.put(static_cast<uint8_t>((e.key ? 1 : 0) | (e.empty ? 2 : 0)));
}

std::optional<FilmIndex> load_index(const FilmStamp& stamp) {
    const fs::path file = cache_file(stamp);
    if (file.empty()) return std::nullopt;
    const auto bytes = read_regular(file, largest_cache(stamp.size));
    if (!bytes || bytes->size() < sizeof kMagic + sizeof(uint64_t)) return std::nullopt;
    const std::string_view body(bytes->data(), bytes->size() - sizeof(uint64_t));
    uint64_t sum = 0;
    std::memcpy(&sum, bytes->data() + body.size(), sizeof sum);
    if (sum != checksum(body)) return std::nullopt;  // damaged anywhere
    const std::string content(body);
    Reader r(content);
    std::string magic, path;
    uint32_t path_length = 0;
    uint64_t size = 0, count = 0;
    uint32_t leads = 0, pieces = 0;
    int64_t mtime = 0;
    uint8_t numbered = 0;
    FilmIndex index;
    if (!r.get(magic, sizeof kMagic) || magic != std::string(kMagic, sizeof kMagic)) return std::nullopt;
    if (!r.get(size) || !r.get(mtime) || !r.get(path_length) || !r.get(path, path_length)) return std::nullopt;
    if (path != stamp.path || size != stamp.size || mtime != stamp.mtime) return std::nullopt;
    if (!r.get(numbered) || !r.get(index.width) || !r.get(index.height) || !r.get(index.rate_num) ||
        !r.get(index.rate_den) || !r.get(index.time_base_num) || !r.get(index.time_base_den) || !r.get(leads) ||
        !r.get(pieces) || !r.get(count))
        return std::nullopt;
    if (numbered > 2 || leads > kMaxLeadEntries || pieces > kMaxPieces || count == 0 ||
        count > static_cast<uint64_t>(kMaxFilmFrames) || r.left() != (count + leads) * kEntryBytes + pieces * 16)
        return std::nullopt;
    index.order = static_cast<FilmOrder>(numbered);
    index.lead.resize(leads);
    for (FilmIndexEntry& e : index.lead) {
        if (!get_entry(r, e)) return std::nullopt;
    }
    index.pieces.resize(pieces);
    for (FilmPiece& p : index.pieces) {
        if (!r.get(p.pos) || !r.get(p.offset)) return std::nullopt;
    }
    index.entries.resize(count);
    for (FilmIndexEntry& e : index.entries) {
        if (!get_entry(r, e)) return std::nullopt;
    }
    if (!plausible(index)) return std::nullopt;
    return index;
}

bool store_index(const FilmStamp& stamp, const FilmIndex& index) {
    const fs::path file = cache_file(stamp);
    if (file.empty() || index.lead.size() > kMaxLeadEntries || index.pieces.size() > kMaxPieces) return false;
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic);
    w.put(stamp.size);
    w.put(stamp.mtime);
    w.put(static_cast<uint32_t>(stamp.path.size()));
    w.bytes += stamp.path;
    w.put(static_cast<uint8_t>(index.order));
    for (int32_t v : {index.width, index.height, index.rate_num, index.rate_den, index.time_base_num, index.time_base_den})
        w.put(v);
    w.put(static_cast<uint32_t>(index.lead.size()));
    w.put(static_cast<uint32_t>(index.pieces.size()));
    w.put(static_cast<uint64_t>(index.entries.size()));
    w.bytes.reserve(w.bytes.size() + (index.entries.size() + index.lead.size()) * kEntryBytes + index.pieces.size() * 16 + 8);
    for (const FilmIndexEntry& e : index.lead) put_entry(w, e);
    for (const FilmPiece& p : index.pieces) {
        w.put(p.pos);
        w.put(p.offset);
    }
    for (const FilmIndexEntry& e : index.entries) put_entry(w, e);
    w.put(checksum(w.bytes));
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    // Written aside and renamed, so a reader never sees half a file; whatever was at the aside
    // name (even a pipe) is replaced, never written into.
    const fs::path part = file.string() + "." + std::to_string(::getpid()) + ".part";
    fs::remove(part, error);
    size_t put = 0;
    {
        const Descriptor out(::open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (out.fd < 0) return false;
        while (put < w.bytes.size()) {
            const ssize_t n = ::write(out.fd, w.bytes.data() + put, w.bytes.size() - put);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            put += static_cast<size_t>(n);
        }
    }
    if (put == w.bytes.size()) {
        fs::rename(part, file, error);  // a folder in the way stays, and this film is indexed each time
        if (!error) return true;
    }
    fs::remove(part, error);
    return false;
}

}  // namespace

std::optional<FilmIndex> load_cached_index(const fs::path& film) {
    const auto stamp = stamp_of(film);
    if (!stamp) return std::nullopt;
    return load_index(*stamp);
}

bool store_cached_index(const fs::path& film, const FilmIndex& index) {
    const auto stamp = stamp_of(film);
    return stamp && store_index(*stamp, index);
}

std::optional<FilmIndex> film_index(const fs::path& film, const std::function<void(int)>& progress, bool rebuild) {
    // Taken before building: a film replaced meanwhile no longer matches the index stored for it.
    const auto stamp = stamp_of(film);
    if (!rebuild && stamp) {
        if (auto cached = load_index(*stamp)) return cached;
    }
    auto built = build_film_index(film, progress);
    if (built && stamp) store_index(*stamp, *built);
    return built;
}

}  // namespace vantrel
