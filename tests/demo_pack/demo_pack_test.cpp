// The small demo pack: every file loads through the program's readers, the routes
// agree with the film, and a careful driver gets through every route.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <fstream>
#include <memory>
#include <sstream>

#include <QImage>

#include "app/run.hpp"
#include "app/run_setup.hpp"
#include "cab/header_picture_loader.hpp"
#include "demo_data/pack.hpp"
#include "sound/wave_header.hpp"
#include "driving/careful_driver.hpp"
#include "test_support.hpp"
#include "vantrel_sim/sim_run.hpp"

namespace {

using namespace vantrel;

std::unique_ptr<test::TempDir> g_dir;

// CI checks the small pack; VANTREL_DEMO_PACK_FULL=1 checks the full one (a minute more).
bool small_pack() { return std::getenv("VANTREL_DEMO_PACK_FULL") == nullptr; }

class DemoPack : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (g_dir) return;
        static const demo::OffscreenApp app;
        g_dir = std::make_unique<test::TempDir>();
        demo::PackOptions o;
        o.small = small_pack();
        o.films = false;  // the runner needs no pictures of the film
        ASSERT_EQ(demo::write_pack(g_dir->path(), o), "");
    }
    static const std::filesystem::path& dir() { return g_dir->path(); }

    static std::optional<DataError> load(vantrel::Run& run, const std::string& train, const std::string& route) {
        const PathResolver resolver(dir().string());
        HeaderPictureLoader pictures;
        return load_run(run, RunFiles{train, route, "vantrel.dat"}, resolver, pictures);
    }
};

using vantrel::test::slurp;

int32_t film_frames(const std::string& route) {
    const auto lines = demo::pack_lines(small_pack());
    return lines[route == "line_local2.dat" ? 1 : 0].film.frames();
}

}  // namespace

TEST_F(DemoPack, EveryTrainLoadsWithEveryRouteAndTheTextFilesAreCp932WithCrlf) {
    const char* trains[] = {"train_785.dat", "train_721.dat", "train_731.dat", "train_40.dat", "train_711.dat"};
    const char* routes[] = {"line_exp.dat", "line_rapid.dat", "line_local.dat", "line_local2.dat"};
    for (const char* t : trains)
        for (const char* r : routes) {
            auto run = std::make_unique<vantrel::Run>();
            const auto error = load(*run, t, r);
            EXPECT_FALSE(error) << t << " " << r << ": " << (error ? error->message + " " + error->file + ":" + std::to_string(error->line) : "");
        }
    for (const char* f : {"line_exp.dat", "train_40.dat", "vantrel.dat", "mascon.dat", "operation.dat", "readme.html"}) {
        const std::string bytes = slurp(dir() / f);
        ASSERT_FALSE(bytes.empty()) << f;
        for (size_t i = 0; i < bytes.size(); ++i)
            if (bytes[i] == '\n') {
                ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << f << " has a bare LF at " << i;
            }
        EXPECT_TRUE(utf8_to_cp932(cp932_to_utf8(bytes)).has_value()) << f;
    }
    // The controller file: 22 five-character codes before its "#" line.
    const auto lines = split_lines(cp932_to_utf8(slurp(dir() / "mascon.dat")));
    ASSERT_GE(lines.size(), 23u);
    for (size_t i = 0; i < 22; ++i) EXPECT_EQ(lines[i].size(), 5u) << lines[i];
    EXPECT_EQ(lines[22], "#");
    // Needles are bitmaps whose lower-left pixel (the first stored) is the transparent colour.
    const std::string needle = slurp(dir() / "Image" / "Cab" / "needle_white_144.bmp");
    ASSERT_GT(needle.size(), 60u);
    EXPECT_EQ(needle.substr(0, 2), "BM");
    const auto offset = static_cast<unsigned char>(needle[10]) | static_cast<unsigned char>(needle[11]) << 8;
    EXPECT_EQ(static_cast<unsigned char>(needle[offset]), 255);      // blue
    EXPECT_EQ(static_cast<unsigned char>(needle[offset + 1]), 0);    // green
    EXPECT_EQ(static_cast<unsigned char>(needle[offset + 2]), 255);  // red
}

TEST_F(DemoPack, TransparentOthersPicturesKeepTheirOwnBackground) {
    // The first five "[Others]" pictures key out their lower-left colour: it may only be a
    // frame, never the picture's own ground (a sticker's yellow, a plate's blue).
    for (const char* t : {"train_785.dat", "train_721.dat", "train_731.dat", "train_40.dat", "train_711.dat"}) {
        auto run = std::make_unique<vantrel::Run>();
        ASSERT_FALSE(load(*run, t, "line_exp.dat")) << t;
        const auto& others = run->train.panel.others;
        for (size_t i = 0; i < others.size() && i < 5; ++i) {
            const QImage picture(QString::fromStdString(others[i].picture.path.string()));
            ASSERT_FALSE(picture.isNull()) << t << " " << others[i].picture.name;
            const QRgb key = picture.pixel(0, picture.height() - 1);
            int inside = 0;
            for (int y = 1; y + 1 < picture.height(); ++y)
                for (int x = 1; x + 1 < picture.width(); ++x) inside += picture.pixel(x, y) == key;
            EXPECT_EQ(inside, 0) << t << " " << others[i].picture.name;
        }
    }
}

TEST_F(DemoPack, StationsAndSignalsStandWhereTheFilmShowsThem) {
    const auto lines = demo::pack_lines(small_pack());
    for (const auto& v : demo::route_variants(small_pack())) {
        auto run = std::make_unique<vantrel::Run>();
        ASSERT_FALSE(load(*run, "train_721.dat", v.file));
        const demo::LinePlan& plan = lines[static_cast<size_t>(v.line)];
        const auto& stations = run->route.stations;
        ASSERT_EQ(stations.size(), plan.scene.stations.size());
        for (size_t i = 0; i < stations.size(); ++i) {
            if (stations[i].type == 1) continue;
            // The program's stop point (from the filming-speed table) is the scene's within a metre.
            EXPECT_NEAR(static_cast<double>(stations[i].stop_distance) / 100, plan.scene.stations[i].stop_m, 1.0)
                << v.file << " " << stations[i].name;
        }
        // Each signal section ends 30 frames past its signal and the next begins there.
        const auto& sigs = run->route.signals;
        for (size_t i = 0; i < sigs.size(); ++i) {
            EXPECT_EQ(sigs[i].section_end, sigs[i].signal_frame + 30) << v.file << " " << i;
            if (i > 0) {
                EXPECT_EQ(sigs[i].section_start, sigs[i - 1].section_end) << v.file << " " << i;
            }
            EXPECT_LT(sigs[i].warning, sigs[i].signal_frame);
        }
        EXPECT_LE(run->route.speed_units.size(), 500u);
    }
}

TEST_F(DemoPack, ACarefulDriverStopsAtEveryStationOfEveryRouteWithoutAnAtsEmergency) {
    for (const auto& pair : demo::title_pairs()) {
        SCOPED_TRACE(pair.train + " on " + pair.route);
        const int32_t frames = film_frames(pair.route);
        const driving::DriveScript drive = driving::derive_drive(dir(), pair.train, pair.route, frames);
        ASSERT_EQ(drive.error, "");
        const auto script = dir() / ("drive_" + pair.route + "_" + pair.train + ".txt");
        test::write_bytes(script, drive.script);
        sim::SimOptions o;
        o.data_dir = dir().string();
        o.train = pair.train;
        o.route = pair.route;
        o.strings = "vantrel.dat";
        o.frames = frames;
        o.script = script.string();
        o.trace = (dir() / "trace.csv").string();
        o.seconds = static_cast<long double>(drive.end_ms + 2000) / 1000;
        std::ostringstream out, err;
        ASSERT_EQ(sim::run_simulation(o, out, err), sim::kExitOk) << err.str();
        if (std::getenv("VANTREL_DRIVE_LOG")) std::filesystem::copy_file(o.trace, "/tmp/trace_" + pair.train + pair.route + ".csv", std::filesystem::copy_options::overwrite_existing);
        if (std::getenv("VANTREL_DRIVE_LOG")) std::cerr << pair.train << " " << pair.route << ": " << out.str();

        auto run = std::make_unique<vantrel::Run>();
        ASSERT_FALSE(load(*run, pair.train, pair.route));
        const auto& stations = run->route.stations;
        std::vector<bool> opened(stations.size(), false);
        std::vector<long long> opened_at(stations.size(), -1);  // clock ticks
        std::ifstream in(o.trace);
        std::string line;
        std::getline(in, line);
        std::vector<std::string> header;
        for (std::stringstream h(line); std::getline(h, line, ',');) header.push_back(line);
        auto col = [&](const std::string& name) {
            return static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
        };
        const size_t c_clock = col("clock_ticks"), c_frame = col("frame"), c_speed = col("speed"), c_doors = col("doors_open"), c_ats = col("ats_emergency");
        while (std::getline(in, line)) {
            std::vector<std::string> f;
            for (std::stringstream s(line); std::getline(s, line, ',');) f.push_back(line);
            ASSERT_GT(f.size(), c_ats);
            ASSERT_EQ(f[c_ats], "0") << "ATS emergency at frame " << f[c_frame];
            const int frame = std::stoi(f[c_frame]);
            if (f[c_doors] == "1" && std::llabs(std::stoll(f[c_speed])) < 5000)  // stands: rounds to 0 km/h
                for (size_t i = 0; i < stations.size(); ++i)
                    if (frame >= stations[i].platform_start && frame <= stations[i].platform_end) {
                        opened[i] = true;
                        if (opened_at[i] < 0) opened_at[i] = std::stoll(f[c_clock]);
                    }
        }
        for (size_t i = 0; i < stations.size(); ++i) {
            EXPECT_EQ(opened[i], stations[i].type == 0) << stations[i].name;
            // The timetable can be kept: the careful driver of the scheduled train is in
            // before the departure sound.
            if (pair.scheduled && i > 0 && stations[i].type == 0) {
                EXPECT_LT(opened_at[i], stations[i].dep_sound_time) << stations[i].name;
            }
        }
    }
}

TEST_F(DemoPack, EverySoundTheTrainsAndRoutesNameIsAWave) {
    const PathResolver resolver(dir().string());
    std::vector<std::string> names;
    for (const char* t : {"train_785.dat", "train_721.dat", "train_731.dat", "train_40.dat", "train_711.dat"}) {
        auto run = std::make_unique<vantrel::Run>();
        ASSERT_FALSE(load(*run, t, "line_local2.dat"));
        names.insert(names.end(), run->train.drive_sounds.begin(), run->train.drive_sounds.end());
        for (const auto& m : run->train.motor_sounds) names.push_back(m.file);
        EXPECT_EQ(run->train.drive_sounds.size(), run->train.engine_type == 0 ? 36u : 33u) << t;
    }
    for (const auto& v : demo::route_variants(small_pack())) {
        auto run = std::make_unique<vantrel::Run>();
        ASSERT_FALSE(load(*run, "train_721.dat", v.file));
        const auto& r = run->route;
        for (const auto* list : {&r.sound_data, &r.kanko_sound1, &r.kanko_sound2}) names.insert(names.end(), list->begin(), list->end());
        for (const auto& o : r.other_images) names.push_back(o.wave);
        EXPECT_EQ(r.kanko_sound2.size(), 104u);  // up to the linking phrase, slot 121
        EXPECT_EQ(r.announcements.size() % 2, 0u) << v.file;  // two per stop
    }
    for (const std::string& n : names) {
        const auto path = resolver.resolve(n);
        ASSERT_TRUE(path) << n;
        const auto info = read_wave_header(*path);
        ASSERT_TRUE(info) << n;
        EXPECT_EQ(info->channels, 1) << n;
        EXPECT_GT(info->data_bytes, 0u) << n;
    }
}

TEST_F(DemoPack, AFolderHoldingAPackOfThisVersionIsLeftAlone) {
    test::TempDir other;
    test::write_bytes(other / demo::kStampFile, std::string(demo::kPackVersion) + " small\n");
    demo::PackOptions o;
    o.small = true;
    ASSERT_EQ(demo::write_pack(other.path(), o), "");
    EXPECT_FALSE(std::filesystem::exists(other / "vantrel.dat"));  // nothing written again
    // A stamp of the other size, or none, means a fresh pack.
    test::write_bytes(other / demo::kStampFile, std::string(demo::kPackVersion) + " full\n");
    o.films = false;
    ASSERT_EQ(demo::write_pack(other.path(), o), "");
    EXPECT_TRUE(std::filesystem::exists(other / "vantrel.dat"));
    EXPECT_FALSE(std::filesystem::exists(other / demo::kStampFile));  // no films: no stamp
}
