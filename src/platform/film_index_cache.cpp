#include "platform/film_index_cache.hpp"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/film_input.hpp"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

constexpr char kMagic[8] = {'V', 'N', 'T', 'F', 'I', 'X', '0', '3'};
constexpr size_t kEntryBytes = 8 + 8 + 8 + 4 + 4 + 1;

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

fs::path cache_file(const FilmStamp& stamp) {
    const fs::path folder = film_cache_folder();
    if (folder.empty()) return {};
    uint64_t hash = 1469598103934665603ull;  // FNV-1a: stable from run to run
    for (unsigned char c : stamp.path) hash = (hash ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.index", static_cast<unsigned long long>(hash));
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

std::optional<FilmIndex> load_cached_index(const fs::path& film) {
    const auto stamp = stamp_of(film);
    if (!stamp) return std::nullopt;
    const fs::path file = cache_file(*stamp);
    if (file.empty()) return std::nullopt;
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Reader r(bytes);
    std::string magic, path;
    uint32_t path_length = 0;
    uint64_t size = 0, count = 0;
    int64_t mtime = 0;
    uint8_t numbered = 0;
    FilmIndex index;
    if (!r.get(magic, sizeof kMagic) || magic != std::string(kMagic, sizeof kMagic)) return std::nullopt;
    if (!r.get(size) || !r.get(mtime) || !r.get(path_length) || !r.get(path, path_length)) return std::nullopt;
    if (path != stamp->path || size != stamp->size || mtime != stamp->mtime) return std::nullopt;
    if (!r.get(numbered) || !r.get(index.width) || !r.get(index.height) || !r.get(index.rate_num) ||
        !r.get(index.rate_den) || !r.get(index.time_base_num) || !r.get(index.time_base_den) || !r.get(count))
        return std::nullopt;
    if (numbered > 2 || count == 0 || count > static_cast<uint64_t>(kMaxFilmFrames) || r.left() != count * kEntryBytes)
        return std::nullopt;
    index.order = static_cast<FilmOrder>(numbered);
    index.entries.resize(count);
    for (FilmIndexEntry& e : index.entries) {
        uint8_t flags = 0;
        if (!r.get(e.pts) || !r.get(e.dts) || !r.get(e.pos) || !r.get(e.picture) || !r.get(e.size) || !r.get(flags) || flags > 3)
            return std::nullopt;
        e.key = (flags & 1) != 0;
        e.empty = (flags & 2) != 0;
    }
    if (!plausible(index)) return std::nullopt;
    return index;
}

bool store_cached_index(const fs::path& film, const FilmIndex& index) {
    const auto stamp = stamp_of(film);
    if (!stamp) return false;
    const fs::path file = cache_file(*stamp);
    if (file.empty()) return false;
    Writer w;
    w.bytes.append(kMagic, sizeof kMagic);
    w.put(stamp->size);
    w.put(stamp->mtime);
    w.put(static_cast<uint32_t>(stamp->path.size()));
    w.bytes += stamp->path;
    w.put(static_cast<uint8_t>(index.order));
    for (int32_t v : {index.width, index.height, index.rate_num, index.rate_den, index.time_base_num, index.time_base_den})
        w.put(v);
    w.put(static_cast<uint64_t>(index.entries.size()));
    w.bytes.reserve(w.bytes.size() + index.entries.size() * kEntryBytes);
    for (const FilmIndexEntry& e : index.entries) {
        w.put(e.pts);
        w.put(e.dts);
        w.put(e.pos);
        w.put(e.picture);
        w.put(e.size);
        w.put(static_cast<uint8_t>((e.key ? 1 : 0) | (e.empty ? 2 : 0)));
    }
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    // Written aside and renamed, so a reader never sees half a file.
    const fs::path part = file.string() + "." + std::to_string(::getpid()) + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!out.write(w.bytes.data(), static_cast<std::streamsize>(w.bytes.size()))) {
            fs::remove(part, error);
            return false;
        }
    }
    fs::rename(part, file, error);
    if (!error) return true;
    fs::remove(part, error);
    return false;
}

std::optional<FilmIndex> film_index(const fs::path& film, const std::function<void(int)>& progress) {
    if (auto cached = load_cached_index(film)) return cached;
    auto built = build_film_index(film, progress);
    if (built) store_cached_index(film, *built);
    return built;
}

}  // namespace vantrel
