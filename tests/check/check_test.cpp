// The data set checker: one planted problem of each code, all found in one run, and
// the demo pack without an error.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "cab/header_picture_loader.hpp"
#include "check/data_set_check.hpp"
#include "check/hints.hpp"
#include "check/report.hpp"
#include "demo_data/demo_data.hpp"
#include "demo_data/demo_texts.hpp"
#include "demo_data/pack.hpp"
#include "dynamics/train_reader.hpp"
#include "route/route_reader.hpp"
#include "test_support.hpp"

namespace {

using namespace vantrel;
namespace fs = std::filesystem;

// Written through a buffer: the name may be spelt in CP932, which a QString cannot hold.
void picture(const fs::path& file, int w, int h, const char* format = "BMP") {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::gray);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(image.save(&buffer, format));
    test::write_bytes(file, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

std::unique_ptr<test::TempDir> g_pack;

class Checker : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (g_pack) return;
        static const demo::OffscreenApp app;
        g_pack = std::make_unique<test::TempDir>();
        demo::PackOptions o;
        o.small = true;
        o.films = false;
        ASSERT_EQ(demo::write_pack(g_pack->path(), o), "");
        // Without films the pack has no title pictures either; the title window needs them.
        for (int n = 1; n <= 9; ++n)
            picture(g_pack->path() / "image" / "title" / ("0" + std::to_string(n) + ".jpg"), 64, 48, "JPEG");
    }
    static const fs::path& pack() { return g_pack->path(); }
};

void film(const fs::path& file, int frames) {
    fs::create_directories(file.parent_path());
    const std::string command = "ffmpeg -loglevel error -y -f lavfi -i color=c=gray:s=64x32:r=30 -frames:v " +
                                std::to_string(frames) + " -c:v mjpeg '" + file.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
}

std::string lines(int n, const std::string& line) {
    std::string out;
    for (int i = 0; i < n; ++i) out += line + "\n";
    return out;
}

// Every train-file problem in one file: a collecting reader carries on past each.
std::string bad_train() {
    return "[Handle]\nx1\n"                                      // train.number
           "[BrakeType]\n1\n[Brake]\n2\n[Power]\n2\n"            // train.brake.notches
           "[Notch]\n3.0,2.5,40,60,0.9\n#\n"                     // train.notch.diesel
           "[Engine_Type]\n1\n"
           "[Notch]\n3.0,2.5,40,60,0.9\n3.0,2.5\n3.0,2.5,0,60,0.9\n#\n"  // train.record, .notch.speed, .notch.count
           "[Engine]\n0,0,0,1,1,1\n" + lines(6, "0,10,20,1,1,1") + "#\n"   // train.engine.speed, .list.full, .engine.electric
           "[StopLine]\nImage\\nothere.bmp\n"                    // train.picture.missing
           "[Panel]\nImage\\garbage.bmp\n0\n240\n"               // train.picture.unreadable
           "[NotchImageP]\n0\n0\nImage\\A50.bmp\nImage\\b20.bmp\n#\n"   // train.imagelist.size, name.case
           "[DriveSound]\nSound\\none.wav\nSound\\bad.wav\n#\n"  // wave.missing, wave.unreadable
           "[MotorSound]\n" + lines(17, "Sound\\Line\\melody0.wav\n0\n0\n10\n1\n1\n0\n0") + "#\n"  // sound.channels.full
           "[Notch]\n3.0,2.5,40,60,0.9\n";                       // train.list.unterminated; tons, cars, delays absent
}

std::string bad_route() {
    std::string signals;
    for (int i = 0; i < 498; ++i) signals += "0,G" + std::to_string(i) + ",0,2,30,40,35,38,0,0\n";
    return "[LineName]\n不良線\x01\n"  // text.not_cp932 (the 0x01 is replaced below)
           "[StartPos]\nabc\n"                                   // route.number
           "[FrameRate]\n0\n"                                    // route.framerate
           "[DataName]\nshort\n"
           "[Staf]\nImage\\nothere.bmp\nImage\\garbage.bmp\n"    // route.picture.missing, .unreadable
           "[SpeedUnit]\n0,50,40,40\n40,60,40,40\n70,80,40,40\n90,90,40,40\n#\n"  // backwards, gap, empty, short
           "[Station]\nA,0,10,20,0,0,0\nB,0,5,8,0,0,0\nC,0,60,50,0,0,0\nD,0,85,88,0,0,0\nE,1,200,210,0,0,0\nF,1,1\n#\n"
           "[Signal]\n0,S1,0,2,0,5,8,10,0,0\n0,S2,0,2,20,30,25,28,0,0\n" + signals + "#\n"  // section, gap
           "[SpeedLimit]\n40,0,0,10,20\n#\n"                     // route.marks.full
           "[SignalImageList]\nImage\\A50.bmp\nImage\\B20.bmp\n#\n"  // route.imagelist.size
           "[OtherImageList]\nImage\\A50.bmp\n音.wav\n#\n"     // name.encoding
           "[Time]\n" + lines(101, "0,1,2,3") + "#\n"            // route.list.full
           "[Sign]\n5,1,2\n#\n"                                  // route.picture.index
           "[Announce]\n3,1\n#\n"                                // route.sound.index
           "[Tunnel]\n1\n2\n";                                   // route.list.unterminated
}

struct Planted {
    int set;  // 0: the broken pack, 1: the data set without its text files
    const char* code;
    const char* file;
    int line;  // 0: any
    const char* message = nullptr;  // the text the player sees, where it is the program's
};

const Planted kPlanted[] = {
    {0, "train.file.unreadable", "train_711.dat", 0},
    {0, "train.number", "train_bad.dat", 2},
    {0, "train.brake.notches", "train_bad.dat", 0},
    {0, "train.notch.diesel", "train_bad.dat", 11},
    {0, "train.record", "train_bad.dat", 16},
    {0, "train.notch.speed", "train_bad.dat", 17},
    {0, "train.notch.count", "train_bad.dat", 18},
    {0, "train.engine.speed", "train_bad.dat", 20},
    {0, "train.list.full", "train_bad.dat", 26},
    {0, "train.engine.electric", "train_bad.dat", 27},
    {0, "train.picture.missing", "train_bad.dat", 29},
    {0, "train.picture.unreadable", "train_bad.dat", 31, "Image\\garbage.bmpが見つかりません"},
    {0, "train.imagelist.size", "train_bad.dat", 38},
    {0, "name.case", "train_bad.dat", 38},
    {0, "wave.missing", "train_bad.dat", 41},
    {0, "wave.unreadable", "train_bad.dat", 42},
    {0, "sound.channels.full", "train_bad.dat", 45},
    {0, "train.list.unterminated", "train_bad.dat", 0},
    {0, "train.tons", "train_bad.dat", 0},
    {0, "train.cars", "train_bad.dat", 0},
    {0, "train.delay", "train_bad.dat", 0},
    {0, "route.file.unreadable", "line_local2.dat", 0},
    {0, "text.not_cp932", "line_bad.dat", 2},
    {0, "text.not_cp932", "vantrel.dat", 0},
    {0, "text.not_cp932", "operation.dat", 0},
    {0, "route.number", "line_bad.dat", 4},
    {0, "route.framerate", "line_bad.dat", 6},
    {0, "route.picture.missing", "line_bad.dat", 10},
    {0, "route.picture.unreadable", "line_bad.dat", 11},
    {0, "route.speedunit.backwards", "line_bad.dat", 14},
    {0, "route.speedunit.gap", "line_bad.dat", 15},
    {0, "route.speedunit.empty", "line_bad.dat", 16},
    {0, "route.speedunit.short", "line_bad.dat", 15},
    {0, "route.station.order", "line_bad.dat", 20},
    {0, "route.station.platform", "line_bad.dat", 21},
    {0, "route.station.stop_outside", "line_bad.dat", 22},
    {0, "route.frame.beyond_film", "line_bad.dat", 23},
    {0, "route.record", "line_bad.dat", 24},
    {0, "route.signal.section", "line_bad.dat", 27},
    {0, "route.signal.gap", "line_bad.dat", 28},
    {0, "route.marks.full", "line_bad.dat", 0},
    {0, "route.imagelist.size", "line_bad.dat", 533},
    {0, "name.encoding", "line_bad.dat", 537},
    {0, "route.list.full", "line_bad.dat", 640},
    {0, "route.picture.index", "line_bad.dat", 643},
    {0, "route.sound.index", "line_bad.dat", 646},
    {0, "route.list.unterminated", "line_bad.dat", 0},
    {0, "film.missing", "line_exp.dat", 23},
    {0, "drive.incomplete", "line_exp.dat", 0},
    {0, "drive.late", "line_local.dat", 0},
    {0, "sound.channels.collide", "line_exp.dat", 0},
    {0, "film.unreadable", "move\\opening.avi", 0, "オープニングムービーを開けません"},
    {0, "title.picture.missing", "image\\title\\03.jpg", 0, "image\\title\\03.jpgが見つかりません"},
    {0, "title.picture.unreadable", "image\\title\\04.jpg", 0, "image\\title\\04.jpgが見つかりません"},
    {0, "mascon.codes.full", "mascon.dat", 27},
    {1, "strings.file.unreadable", "vantrel.dat", 0},
    {1, "mascon.file.unreadable", "mascon.dat", 0},
    {1, "operation.unreadable", "operation.dat", 0, "operation.datが見つかりません"},
    {1, "set.no_pair", "vantrel.dat", 0},
};

// A set whose files use their own names, with the mistakes that load silently and the
// causes of floods. `marker` is the text of the line the warning points at.
struct OwnPlanted {
    const char* code;
    const char* file;
    const char* marker;  // nullptr: any line
};

const OwnPlanted kOwnPlanted[] = {
    {"train.key.unknown", "train_own.dat", "[Tonz]"},
    {"file.bom", "train_bom.dat", nullptr},
    {"file.bom.not_utf8", "train_bom_cp932.dat", "; Vantrel デモ車両: 4両編成の通勤形電車"},
    {"route.key.unknown", "line_own.dat", "[Staton]"},
    {"route.station.times", "line_own.dat", "川辺,0,5150,5250,0,1086300,1086000"},
    {"route.station.time_order", "line_own.dat", "山手,0,10150,10250,0,1080000,1080300"},
    {"route.station.time_order", "line_own.dat", "1,0,1086400"},  // due after its departure sound
    {"route.kanko.index", "line_own.dat", "9,0,20"},
    {"route.kanko.index", "line_own.dat", "99,1,19"},
    {"route.slope.order", "line_own.dat", "0,100,200"},
    {"route.speedlimit.order", "line_own.dat", "40,0,0,100,200"},
    {"sound.channels.full", "line_many.dat", nullptr},
    {"file.line_ends", "line_crcrlf.dat", nullptr},
    {"file.utf8", "line_utf8.dat", "; Vantrel デモ路線"},
    {"strings.file.empty", "vantrel.dat", nullptr},
    {"file.empty", "train_empty.dat", nullptr},
};

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

int line_of(const std::string& text, const std::string& marker) {
    const std::string lines = "\n" + text;
    const auto at = lines.find("\n" + marker + "\n");
    return at == std::string::npos ? -1 : static_cast<int>(std::count(lines.begin(), lines.begin() + at + 1, '\n'));
}

// The runner's small set, its files' texts (UTF-8, as meant) by name.
std::map<std::string, std::string> plant_own(const fs::path& dir) {
    EXPECT_EQ(demo::write_demo_data(dir), "");
    std::string route = demo::route_text();
    route = replaced(route, "川辺,0,5150,5250,0,1086300,1086600", "川辺,0,5150,5250,0,1086300,1086000");
    route = replaced(route, "山手,0,10150,10250,0,1092600,1092900", "山手,0,10150,10250,0,1080000,1080300");
    route += "[Staton]\nX,0,1,2,0,0,0\n#\n[StationKanko]\n9,0,20\n1,0,1086400\n#\n[SignalKanko]\n99,1,19\n#\n"
             "[Slope]\n0,500,600\n0,100,200\n#\n[SpeedLimit]\n40,0,0,900,1000\n40,0,0,100,200\n#\n";
    std::map<std::string, std::string> texts{{"line_own.dat", route}, {"train_own.dat", demo::train_text() + "[Tonz]\n30\n"}};
    for (const auto& [name, text] : texts) test::write_cp932(dir / name, text);
    test::write_cp932(dir / "line_many.dat", demo::route_text() + "[SoundData]\n" + lines(257, "Sound\\Kanko\\Horn.wav") + "#\n");
    std::string crcrlf;
    const std::string route_bytes = *utf8_to_cp932(demo::route_text());
    for (char c : route_bytes) crcrlf += c == '\n' ? std::string("\r\r\n") : std::string(1, c);
    test::write_bytes(dir / "line_crcrlf.dat", crcrlf);
    test::write_bytes(dir / "line_utf8.dat", demo::route_text());
    texts["line_utf8.dat"] = demo::route_text();
    // A mark then UTF-8 reads whole; a mark then CP932 is garbled.
    test::write_bytes(dir / "train_bom.dat", "\xEF\xBB\xBF" + demo::train_text());
    test::write_bytes(dir / "train_bom_cp932.dat", "\xEF\xBB\xBF" + *utf8_to_cp932(demo::train_text()));
    texts["train_bom_cp932.dat"] = demo::train_text();
    test::write_bytes(dir / "vantrel.dat", "");
    test::write_bytes(dir / "train_empty.dat", "\r\n");
    return texts;
}

// The pack with one problem of each kind planted.
void plant(const fs::path& dir) {
    test::write_cp932(dir / "train_bad.dat", bad_train());
    std::string route_bytes = *utf8_to_cp932(bad_route());
    route_bytes[route_bytes.find('\x01')] = '\xFF';  // a byte that is no CP932
    std::string crlf;
    for (char c : route_bytes) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    test::write_bytes(dir / "line_bad.dat", crlf);
    picture(dir / "Image" / "A50.bmp", 50, 50);
    picture(dir / "Image" / "B20.bmp", 20, 20);
    // Spelt in CP932 on disk.
    fs::copy_file(dir / "Sound" / "Line" / "melody0.wav", dir / *utf8_to_cp932("音.wav"));
    test::write_bytes(dir / "Image" / "garbage.bmp", "BM not a picture");
    test::write_bytes(dir / "Sound" / "bad.wav", "RIFF not a wave");
    test::write_bytes(dir / "move" / "opening.avi", "not a film");
    film(dir / "Movie" / "short.avi", 100);
    fs::remove(dir / "train_711.dat");
    fs::remove(dir / "line_local2.dat");
    fs::remove(dir / "image" / "title" / "03.jpg");
    test::write_bytes(dir / "image" / "title" / "04.jpg", "not a picture");
    test::write_cp932(dir / "mascon.dat", lines(27, "A"));
    for (const char* shown : {"vantrel.dat", "operation.dat"}) {
        std::ofstream out(dir / shown, std::ios::binary | std::ios::app);
        out << "[Neut2]\r\n\xFF\xFE\r\n";  // bytes that are no CP932
    }

    // Route sounds that with the train's running sounds reach the motor channels.
    HeaderPictureLoader pictures;
    const PathResolver resolver(dir);
    const auto train = read_train_file("train_785.dat", resolver, pictures);
    const auto route = read_route_file("line_exp.dat", resolver, pictures, PictureRef{});
    ASSERT_TRUE(train && route);
    const int more = 241 - static_cast<int>(train.value().drive_sounds.size() + route.value().sound_data.size());
    // The second signal stands at red for ever: the careful driver never gets past it.
    const auto text = read_cp932_lines(dir / "line_exp.dat");
    std::string out;
    int signal = -1;
    for (const auto& line : *text) {
        if (signal >= 0 && ++signal == 2) {
            out += "2" + line.substr(1) + "\n";
            continue;
        }
        out += line + "\n";
        if (line.starts_with("[SoundData]")) out += lines(more, "Sound\\Line\\melody0.wav");
        if (line.starts_with("[Signal]")) signal = 0;
    }
    test::write_cp932(dir / "line_exp.dat", out);
    // The second station is due a second after the start.
    const auto local_text = read_cp932_lines(dir / "line_local.dat");
    const std::string due = "\n1,0," + std::to_string(route.value().start_time + 30);
    std::string local;
    for (const auto& line : *local_text) local += line + (line.starts_with("[StationKanko]") ? due : "") + "\n";
    test::write_cp932(dir / "line_local.dat", local);
}

TEST_F(Checker, FindsOnePlantedProblemOfEachCodeInOneRun) {
    test::TempDir broken, bare;
    fs::copy(pack(), broken.path(), fs::copy_options::recursive);
    plant(broken.path());
    fs::create_directories(bare / "vantrel.dat");  // there, but not a file
    fs::create_directories(bare / "mascon.dat");

    const check::CheckOutcome found[] = {check::check_data_set(broken.path(), true), check::check_data_set(bare.path())};
    std::set<std::string> planted;
    for (const OwnPlanted& p : kOwnPlanted) planted.insert(p.code);  // in the set of its own names
    for (const Planted& p : kPlanted) {
        planted.insert(p.code);
        const auto& problems = found[p.set].problems;
        const bool hit = std::any_of(problems.begin(), problems.end(), [&](const Problem& q) {
            return q.code == p.code && q.file == p.file && (p.line == 0 || q.line == p.line) &&
                   (!p.message || q.message == p.message);
        });
        EXPECT_TRUE(hit) << p.code << " in " << p.file << ":" << p.line << "\n" << check::text_report(problems);
    }
    // A careful driver on data that loads never meets these; they come from the run report.
    const std::set<std::string_view> unplanted{"drive.stop.missed", "drive.stop.outside", "drive.emergency.ats",
                                               "drive.emergency.vigilance"};
    for (std::string_view code : check::known_codes()) {
        if (!unplanted.contains(code)) {
            EXPECT_TRUE(planted.contains(std::string(code))) << code << " is never planted";
        }
    }

    // Grouped by file, each file in line order; every code has a hint; errors set the status.
    const auto& problems = found[0].problems;
    for (std::size_t i = 1; i < problems.size(); ++i) {
        if (problems[i].file != problems[i - 1].file) continue;
        EXPECT_LE(problems[i - 1].line, problems[i].line) << problems[i].file;
    }
    std::set<std::string> files_seen;
    std::string last;
    for (const Problem& p : problems) {
        if (p.file != last) {
            EXPECT_TRUE(files_seen.insert(p.file).second) << p.file << " is split";
        }
        last = p.file;
        EXPECT_FALSE(p.hint.empty()) << p.code;
    }
    EXPECT_EQ(check::exit_status(problems), 2);

    // The program's rule is untouched: stopping at the first error gives what collecting meets first.
    HeaderPictureLoader pictures;
    const PathResolver resolver(broken.path());
    auto first_error = [](const ProblemSink& sink) {
        return *std::find_if(sink.problems().begin(), sink.problems().end(),
                             [](const Problem& p) { return p.severity == Severity::Error; });
    };
    ProblemSink train_sink, route_sink;
    (void)read_train_file("train_bad.dat", resolver, pictures, &train_sink);
    (void)read_route_file("line_bad.dat", resolver, pictures, PictureRef{}, &route_sink);
    const auto train = read_train_file("train_bad.dat", resolver, pictures);
    const auto route = read_route_file("line_bad.dat", resolver, pictures, PictureRef{});
    ASSERT_FALSE(train);
    ASSERT_FALSE(route);
    EXPECT_EQ(train.error().message, first_error(train_sink).message);
    EXPECT_EQ(train.error().line, first_error(train_sink).line);
    EXPECT_EQ(route.error().message, first_error(route_sink).message);
    EXPECT_EQ(route.error().line, first_error(route_sink).line);
    const auto beyond = std::find_if(problems.begin(), problems.end(), [](const Problem& p) {
        return p.code == "route.station.order";
    });
    ASSERT_NE(beyond, problems.end());
    EXPECT_EQ(beyond->frame, 5);
    EXPECT_TRUE(beyond->metres.has_value());
}

TEST_F(Checker, ASetOfItsOwnNamesIsCheckedPairByPairWithEachMistakeAndRootCauseToldOnce) {
    test::TempDir own;
    const auto texts = plant_own(own.path());
    const check::CheckOutcome found = check::check_data_set(own.path());
    for (const OwnPlanted& p : kOwnPlanted) {
        if (std::string_view(p.file) == "train_empty.dat") continue;
        const int line = p.marker ? line_of(texts.at(p.file), p.marker) : 0;
        const bool hit = std::any_of(found.problems.begin(), found.problems.end(), [&](const Problem& q) {
            return q.code == p.code && q.file == p.file && (!p.marker || q.line == line);
        });
        EXPECT_TRUE(hit) << p.code << " in " << p.file << ":" << line << "\n" << check::text_report(found.problems);
    }
    // Every train that loads with every route that loads: the channel overflow is met.
    const std::set<std::string> trains{"train_demo.dat", "train_own.dat", "train_bom.dat", "train_bom_cp932.dat"};
    const std::set<std::string> routes{"line_demo.dat", "line_own.dat", "line_many.dat", "line_utf8.dat",
                                       "line_crcrlf.dat"};
    EXPECT_EQ(found.pairs.size(), trains.size() * routes.size());
    for (const auto& [train, route] : found.pairs) EXPECT_TRUE(trains.contains(train) && routes.contains(route));
    // One problem stands for a flood; the empty string file for every missing film.
    for (const Problem& p : found.problems) {
        EXPECT_NE(p.code, "film.missing") << p.file;
        if (p.file == "line_crcrlf.dat") {
            EXPECT_EQ(p.code, "file.line_ends");
            EXPECT_EQ(p.line, 1);
        }
        if (p.file == "line_utf8.dat" || p.file == "train_bom_cp932.dat") {
            EXPECT_NE(p.code, "text.not_cp932");
        }
        if (p.file == "train_bom.dat") {
            EXPECT_EQ(p.code, "file.bom");
        }
    }
    EXPECT_EQ(std::count_if(found.problems.begin(), found.problems.end(),
                            [](const Problem& p) { return p.file == "line_crcrlf.dat"; }),
              1);

    // The pairs the author names, and nothing else; an empty train file (which loads, as
    // every value has a default) is one problem.
    check::CheckOptions named;
    named.pairs = {{"train_empty.dat", "line_own.dat"}};
    const check::CheckOutcome pair = check::check_data_set(own.path(), named);
    EXPECT_EQ(pair.pairs, named.pairs);
    std::vector<std::string> files;
    for (const Problem& p : pair.problems) files.push_back(p.file + " " + p.code);
    EXPECT_EQ(std::count(files.begin(), files.end(), "train_empty.dat file.empty"), 1) << check::text_report(pair.problems);
    EXPECT_EQ(std::count_if(files.begin(), files.end(), [](const std::string& f) { return f.starts_with("train_empty"); }), 1);
    EXPECT_EQ(std::find(files.begin(), files.end(), "line_own.dat film.missing"), files.end());
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// An unrelated huge .dat is judged by its head: the check finishes within a memory limit far
// below the file's size.
TEST(CheckLimits, AHugeUnrelatedDatIsCheapToPass) {
    test::TempDir dir;
    {
        std::ofstream out(dir / "huge.dat", std::ios::binary);
        out.seekp((2LL << 30) - 1);
        out.put('\n');
    }
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (512u << 20);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The sanitizer's shadow memory takes address space as it goes: no limit under it.
        if (!kSanitized) {
            const rlimit as{limit, limit};
            setrlimit(RLIMIT_AS, &as);
        }
        alarm(120);  // a hang fails rather than stalls
        const auto outcome = check::check_data_set(dir.path());
        _exit(outcome.problems.empty() ? 3 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

TEST_F(Checker, TheDemoPackHasNoErrorsAndEveryPairCanBeDriven) {
    const check::CheckOutcome found = check::check_data_set(pack(), true);
    for (const Problem& p : found.problems) {
        EXPECT_EQ(p.severity, Severity::Warning) << p.code << " " << p.file << ":" << p.line << " " << p.message;
        // The pack is written without its films here. The timetables are kept by the train
        // each button names; the Shift alternates may run late.
        EXPECT_TRUE(p.code == "film.missing" || p.code == "drive.late")
            << p.code << " " << p.file << ":" << p.line << " " << p.message << " " << p.detail;
    }
    EXPECT_EQ(found.pairs.size(), check::title_pairs().size());
    EXPECT_EQ(found.driven, static_cast<int>(found.pairs.size()));
    // The runner's test route is on no title button: its film is the runner's --frames.
    for (const Problem& p : found.problems) EXPECT_NE(p.file, "line_demo.dat") << p.code;
}

TEST(CheckReport, TextAndJsonCarryEveryField) {
    std::vector<Problem> problems{
        {Severity::Error, "route.number", "line \"a\".dat", 4, std::nullopt, std::nullopt, "路線ファイルに誤りがあります。other:abc", "", "h"},
        {Severity::Warning, "route.station.order", "line \"a\".dat", 20, 5, 12.5, "B starts before A ends", "", "h2"},
    };
    EXPECT_EQ(check::json_report(problems),
              "{\"errors\": 1, \"warnings\": 1, \"problems\": ["
              "{\"severity\": \"error\", \"code\": \"route.number\", \"file\": \"line \\\"a\\\".dat\", \"line\": 4, "
              "\"frame\": null, \"message\": \"路線ファイルに誤りがあります。other:abc\", \"hint\": \"h\"}, "
              "{\"severity\": \"warning\", \"code\": \"route.station.order\", \"file\": \"line \\\"a\\\".dat\", "
              "\"line\": 20, \"frame\": 5, \"message\": \"B starts before A ends\", \"hint\": \"h2\"}]}\n");
    const std::string text = check::text_report(problems);
    EXPECT_NE(text.find("line 20: warning route.station.order (frame 5, 12.5 m): B starts before A ends"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("1 error, 1 warning in 1 file\n")) << text;
    // A name from a data file cannot drive the terminal.
    problems[1].message = "\x1b]0;x\x07\x7f";
    EXPECT_NE(check::text_report(problems).find(": \\x1b]0;x\\x07\\x7f\n"), std::string::npos);
    EXPECT_EQ(check::exit_status({}), 0);
    EXPECT_EQ(check::exit_status({problems[1]}), 1);
}

}  // namespace
