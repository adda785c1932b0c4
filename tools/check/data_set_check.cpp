#include "check/data_set_check.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "cab/string_reader.hpp"
#include "check/drive_check.hpp"
#include "check/file_sniff.hpp"
#include "check/hints.hpp"
#include "check/media.hpp"
#include "check/route_checks.hpp"
#include "common/data_text.hpp"
#include "common/shown_errors.hpp"
#include "controllers/mascon_reader.hpp"
#include "dynamics/train_reader.hpp"
#include "dynamics/train_setup.hpp"
#include "platform/qt_picture_loader.hpp"
#include "route/route_reader.hpp"
#include "sound/sound_channels.hpp"
#include "sound/sound_loader.hpp"

namespace vantrel::check {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStringFile = "vantrel.dat";
constexpr const char* kOperationFile = "operation.dat";
constexpr const char* kOpeningMovie = "move\\opening.avi";

// The problems of each file in the order the files are first named.
class Files {
public:
    ProblemSink& of(const std::string& file) {
        auto [it, fresh] = sinks_.try_emplace(file);
        if (fresh) order_.push_back(file);
        return it->second;
    }
    [[nodiscard]] std::vector<Problem> grouped() const {
        std::vector<Problem> all;
        for (const auto& file : order_) {
            std::vector<Problem> mine = sinks_.at(file).problems();
            std::stable_sort(mine.begin(), mine.end(),
                             [](const Problem& a, const Problem& b) { return a.line < b.line; });
            // A wave named twice on one line, or a film shared by routes, is told once per place.
            for (std::size_t i = 0; i < mine.size(); ++i) {
                const bool seen =
                    std::any_of(mine.begin(), mine.begin() + static_cast<std::ptrdiff_t>(i), [&](const Problem& q) {
                        return q.line == mine[i].line && q.code == mine[i].code && q.message == mine[i].message &&
                               q.detail == mine[i].detail;
                    });
                if (!seen) all.push_back(mine[i]);
            }
        }
        return all;
    }

private:
    std::map<std::string, ProblemSink> sinks_;
    std::vector<std::string> order_;
};

void add_unique(std::vector<std::string>& names, const std::string& name) {
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
}

bool same_name(std::string a, std::string b) {
    for (auto* s : {&a, &b})
        for (char& c : *s)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return a == b;
}

class DataSetCheck {
public:
    DataSetCheck(const fs::path& dir, CheckOptions options)
        : resolver_(dir), media_(resolver_), options_(std::move(options)) {}

    CheckOutcome run() {
        text_files();
        title_pictures();
        find_trains_and_routes();
        for (const auto& t : trains_) read_train(t);
        for (const auto& r : routes_) read_route(r);
        CheckOutcome out;
        for (const auto& [train, route] : pairs_) {
            const auto t = loaded_trains_.find(train);
            const auto r = loaded_routes_.find(route);
            if (t == loaded_trains_.end() || r == loaded_routes_.end()) continue;
            check_pair(files_.of(route), route, r->second, train, t->second);
            if (options_.drive &&
                check_drive(files_.of(route), resolver_.data_dir(), train, route, route_frames_[route]))
                ++out.driven;
            out.pairs.emplace_back(train, route);
        }
        if (strings_empty_) drop_films_of_empty_strings();
        // Last, when every check of each file has spoken.
        for (const std::string& file : {std::string(kStringFile), std::string(kOperationFile), std::string(kMasconFile)})
            root_causes(file);
        for (const auto& files : {trains_, routes_})
            for (const auto& file : files) root_causes(file);
        if (out.pairs.empty())
            files_.of(kStringFile)
                .warning("set.no_pair", kStringFile, 0, "no train and route that both load: nothing was checked together",
                         std::to_string(trains_.size()) + " train files, " + std::to_string(routes_.size()) +
                             " route files");
        out.problems = files_.grouped();
        for (Problem& p : out.problems) p.hint = hint_for(p.code);
        return out;
    }

private:
    void text_files() {
        auto strings = read_string_file(kStringFile, resolver_, &files_.of(kStringFile));
        if (strings) {
            strings_ = std::move(strings.value());
            const auto path = resolver_.resolve(kStringFile);
            strings_empty_ = path && sniff_file(*path).empty;
            if (strings_empty_)
                files_.of(kStringFile).warning("strings.file.empty", kStringFile, 0,
                                               "the string file is empty: no [Path] to the films and no texts");
        }
        if (resolver_.resolve(std::string(kMasconFile)))
            (void)read_mascon_file(kMasconFile, resolver_, &files_.of(std::string(kMasconFile)));
        ProblemSink& op = files_.of(kOperationFile);
        const auto path = resolver_.resolve(kOperationFile);
        const auto lines = path ? read_cp932_lines(*path) : std::nullopt;
        if (!lines) {
            op.error("operation.unreadable", kOperationFile, 0, missing_file_text(kOperationFile));
            return;
        }
        for (std::size_t i = 0; i < lines->size(); ++i)
            if (has_undecoded_bytes((*lines)[i]))
                op.warning("text.not_cp932", kOperationFile, static_cast<int>(i) + 1, "shown text: " + (*lines)[i]);
    }

    // A flood of problems from one cause is told as that cause: line ends or an empty file
    // stand for all of the file's problems, UTF-8 text for its garbled shown texts.
    void root_causes(const std::string& file) {
        const auto path = resolver_.resolve(file);
        if (!path) return;
        const FileSniff f = sniff_file(*path);
        auto& problems = files_.of(file).problems();
        auto replace_all = [&](std::string code, int line, std::string message) {
            const bool errors = std::any_of(problems.begin(), problems.end(),
                                            [](const Problem& p) { return p.severity == Severity::Error; });
            const std::string follow = problems.empty()      ? ""
                                       : problems.size() == 1 ? "1 further problem follows from it"
                                                              : std::to_string(problems.size()) + " further problems follow from it";
            problems.clear();
            problems.push_back(Problem{errors ? Severity::Error : Severity::Warning, std::move(code), file, line, {}, {},
                                       std::move(message), follow, {}});
        };
        if (f.empty) {
            if (file != kStringFile) replace_all("file.empty", 0, "the file is empty");
            return;
        }
        if (f.cr_cr_lf_line > 0) {
            replace_all("file.line_ends", f.cr_cr_lf_line, "line ends CR CR LF");
            return;
        }
        if (f.utf8 || f.not_utf8) {
            std::erase_if(problems, [](const Problem& p) { return p.code == "text.not_cp932"; });
            std::string message = f.utf8 ? "written in UTF-8 without a byte-order mark, read as CP932"
                                         : "begins with a UTF-8 byte-order mark but is not UTF-8, read as UTF-8";
            if (f.garbled_line > 0) message += ": \"" + f.meant + "\" shows as \"" + f.shown + "\"";
            problems.push_back(Problem{Severity::Warning, f.utf8 ? "file.utf8" : "file.bom.not_utf8", file,
                                       f.garbled_line, {}, {}, message, {}, {}});
        } else if (f.bom) {
            files_.of(file).warning("file.bom", file, 1, "begins with a UTF-8 byte-order mark: read as UTF-8");
        }
    }

    // Without [Path] every film is missing: the empty string file says it once.
    void drop_films_of_empty_strings() {
        for (const auto& route : routes_)
            std::erase_if(files_.of(route).problems(), [](const Problem& p) { return p.code == "film.missing"; });
    }

    // The title window shows one of nine pictures at random, and ends when it cannot.
    void title_pictures() {
        for (int n = 1; n <= 9; ++n) {
            const std::string name = "image\\title\\0" + std::to_string(n) + ".jpg";
            const std::string message = missing_file_text(name);
            const auto path = resolver_.resolve(name);
            if (!path) {
                files_.of(name).error("title.picture.missing", name, 0, message);
            } else if (!pictures_.open(*path, PictureFormat::Any)) {
                files_.of(name).error("title.picture.unreadable", name, 0, message);
            } else if (const auto spelling = spelling_problem(resolver_, name); !spelling.empty()) {
                files_.of(name).warning(std::string(spelling), name, 0, name);
            }
        }
        if (resolver_.resolve(kOpeningMovie)) {
            ProblemSink& movie = files_.of(kOpeningMovie);
            (void)media_.check_film(movie, kOpeningMovie, 0, kOpeningMovie);
            for (Problem& p : movie.problems())
                if (p.code == "film.unreadable") p.message = std::string(kOpeningMovieUnreadable);
        }
    }

    void find_trains_and_routes() {
        // A data set with none of the title window's files is driven by naming its files
        // outright: the pairs the author names, else every train with every route.
        const auto title = title_pairs();
        titled_ = std::any_of(title.begin(), title.end(), [&](const Pairing& p) {
            return resolver_.resolve(p.first) || resolver_.resolve(p.second);
        });
        const auto& named = options_.pairs.empty() ? title : options_.pairs;
        for (const auto& [train, route] : titled_ || !options_.pairs.empty() ? named : std::vector<Pairing>{}) {
            add_unique(trains_, train);
            add_unique(routes_, route);
            pairs_.emplace_back(train, route);
        }
        titled_routes_ = routes_;
        std::vector<fs::path> found;
        std::error_code ec;
        for (fs::directory_iterator it(resolver_.data_dir(), ec), end; !ec && it != end; it.increment(ec))
            if (it->is_regular_file(ec) && same_name(it->path().extension().string(), ".dat"))
                found.push_back(it->path());
        std::sort(found.begin(), found.end());
        for (const auto& path : found) {
            const std::string name = path.filename().string();
            if (same_name(name, kStringFile) || same_name(name, kOperationFile) ||
                same_name(name, std::string(kMasconFile)))
                continue;
            const bool named =
                std::any_of(trains_.begin(), trains_.end(), [&](auto& t) { return same_name(t, name); }) ||
                std::any_of(routes_.begin(), routes_.end(), [&](auto& r) { return same_name(r, name); });
            if (named) continue;
            const Kind kind = sniff_file(path).kind;
            if (kind == Kind::Train) add_unique(trains_, name);
            if (kind == Kind::Route) add_unique(routes_, name);
        }
        if (pairs_.empty())
            for (const auto& train : trains_)
                for (const auto& route : routes_) pairs_.emplace_back(train, route);
    }

    void read_train(const std::string& file) {
        ProblemSink& sink = files_.of(file);
        auto train = read_train_file(file, resolver_, pictures_, &sink);
        // A picture the train names is reported as the window reports it.
        for (Problem& p : sink.problems())
            if ((p.code == "train.picture.missing" || p.code == "train.picture.unreadable") && !p.detail.empty())
                p.message = shown_error_text(DataError{p.message, file, p.line, std::exchange(p.detail, {})});
        if (!train) return;
        const TrainParams& t = train.value();
        if (t.brake_type != 0 && t.brake_notches < 3)
            sink.error("train.brake.notches", file, 0, std::string(kTooFewBrakeNotches));
        if (kMotorChannel + static_cast<int>(t.motor_sounds.size()) > kChannelCount)
            sink.error("sound.channels.full", file, sink.line_of("[MotorSound]", 0), std::string(kTooManyChannels),
                       std::to_string(t.motor_sounds.size()) + " motor sounds");
        for (std::size_t i = 0; i < t.drive_sounds.size(); ++i)
            media_.check_wave(sink, file, sink.line_of("[DriveSound]", i), t.drive_sounds[i]);
        for (std::size_t i = 0; i < t.motor_sounds.size(); ++i)
            media_.check_wave(sink, file, sink.line_of("[MotorSound]", i), t.motor_sounds[i].file);
        loaded_trains_.emplace(file, std::move(train.value()));
    }

    void read_route(const std::string& file) {
        ProblemSink& sink = files_.of(file);
        auto route = read_route_file(file, resolver_, pictures_, PictureRef{}, &sink);
        if (!route) return;
        const RouteTables& r = route.value();
        for (std::size_t i = 0; i < r.sound_data.size(); ++i)
            media_.check_wave(sink, file, sink.line_of("[SoundData]", i), r.sound_data[i]);
        for (std::size_t i = 0; i < r.kanko_sound1.size(); ++i)
            media_.check_wave(sink, file, sink.line_of("[KankoSound1]", i), r.kanko_sound1[i]);
        for (std::size_t i = 0; i < r.kanko_sound2.size(); ++i)
            media_.check_wave(sink, file, sink.line_of("[KankoSound2]", i), r.kanko_sound2[i]);
        for (std::size_t i = 0; i < r.other_images.size(); ++i) {
            const int line = sink.line_of("[OtherImageList]", i);
            media_.check_wave(sink, file, line == 0 ? 0 : line + 1, r.other_images[i].wave);
        }
        const std::string film = strings_.path + r.data_name + ".avi";
        // A route no title button offers is a test route, run with the frames given to the
        // runner: its film may well be absent.
        const bool offered = !titled_ || std::find(titled_routes_.begin(), titled_routes_.end(), file) !=
                                             titled_routes_.end();
        const auto frames = offered || resolver_.resolve(film)
                                ? media_.check_film(sink, file, sink.line_of("[DataName]", 0), film)
                                : std::nullopt;
        check_route(sink, file, r, frames);
        // Without its film the drive runs over the frames the filmed-speed table covers.
        route_frames_[file] = frames ? *frames : (r.speed_units.empty() ? 0 : r.speed_units.back().end + 1);
        loaded_routes_.emplace(file, std::move(route.value()));
    }

    PathResolver resolver_;
    QtPictureLoader pictures_;
    Media media_;
    Files files_;
    Strings strings_;
    std::vector<std::string> trains_, routes_;
    std::vector<Pairing> pairs_;
    std::map<std::string, TrainParams> loaded_trains_;
    std::map<std::string, RouteTables> loaded_routes_;
    std::map<std::string, int32_t> route_frames_;
    std::vector<std::string> titled_routes_;  // the routes the title window or the author pairs
    CheckOptions options_;
    bool titled_ = false;
    bool strings_empty_ = false;
};

}  // namespace

std::vector<Pairing> title_pairs() {
    // Train1, Train2, Train3, train4: the train, then the Shift alternate, with its route.
    return {{"train_785.dat", "line_exp.dat"},    {"train_731.dat", "line_local.dat"},
            {"train_721.dat", "line_local.dat"},  {"train_40.dat", "line_local2.dat"},
            {"train_711.dat", "line_local2.dat"}, {"train_721.dat", "line_rapid.dat"},
            {"train_731.dat", "line_rapid.dat"}};
}

CheckOutcome check_data_set(const fs::path& dir, CheckOptions options) {
    return DataSetCheck(dir, std::move(options)).run();
}

}  // namespace vantrel::check
