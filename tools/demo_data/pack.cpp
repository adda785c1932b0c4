#include "demo_data/pack.hpp"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "demo_data/demo_data.hpp"
#include "demo_data/film_renderer.hpp"
#include "demo_data/media_writers.hpp"
#include "demo_data/pack_pictures.hpp"
#include "demo_data/pack_sounds.hpp"
#include "demo_data/pack_texts.hpp"
#include "demo_data/pack_trains.hpp"
#include "demo_data/pack_video.hpp"

namespace vantrel::demo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string stamp_text(bool small) { return std::string(kPackVersion) + (small ? " small" : " full") + "\n"; }

std::string read_all(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Nine title pictures from both lines, with the program's name over the sky.
void write_titles(const std::vector<LinePlan>& lines, const fs::path& dir, std::vector<QImage>& out, std::string& failed) {
    const FilmRenderer r0(lines[0].scene, lines[0].film, 640, 480), r1(lines[1].scene, lines[1].film, 640, 480);
    auto at = [](const LinePlan& l, double fraction) { return l.scene.length_m * fraction; };
    const std::pair<int, double> shots[] = {{0, 0.02}, {0, 0.33}, {0, 0.54}, {0, 0.8}, {1, 0.1},
                                            {1, 0.3},  {1, 0.5},  {1, 0.75}, {0, 0.12}};
    for (int i = 0; i < 9; ++i) {
        QImage img(640, 480, QImage::Format_RGB32);
        const auto [line, fraction] = shots[i];
        (line == 0 ? r0 : r1).render_at(img, at(lines[static_cast<size_t>(line)], fraction), 20.0 + i, static_cast<uint32_t>(i));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QLinearGradient band(0, 0, 0, 120);
        band.setColorAt(0, QColor(0, 0, 0, 150));
        band.setColorAt(1, QColor(0, 0, 0, 0));
        p.fillRect(QRect(0, 0, 640, 120), band);
        p.setPen(QColor(255, 255, 255));
        p.setFont(pack_font(56, true));
        p.drawText(QRect(24, 12, 600, 64), Qt::AlignLeft | Qt::AlignVCenter, "Vantrel");
        p.setFont(pack_font(18));
        p.drawText(QRect(28, 74, 600, 26), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromStdString(lines[static_cast<size_t>(line)].scene.name) + "  運転席からの眺め");
        char name[16];
        std::snprintf(name, sizeof name, "%02d.jpg", i + 1);
        const fs::path f = dir / "image" / "title" / name;  // spelt as the title window names it
        if (!save_jpg(img, f)) failed = f.string();
        out.push_back(img.scaled(160, 120, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}

struct Sheet {
    std::vector<std::pair<std::string, std::vector<QImage>>> rows;
};

bool write_contact_sheet(const Sheet& sheet, const fs::path& file) {
    constexpr int kWidth = 1300, kPad = 6, kCaption = 20;
    int h = kPad;
    for (const auto& [caption, images] : sheet.rows) {
        int x = kPad, row_h = 0;
        h += kCaption;
        for (const QImage& img : images) {
            if (x + img.width() > kWidth - kPad) {
                h += row_h + kPad;
                x = kPad;
                row_h = 0;
            }
            x += img.width() + kPad;
            row_h = std::max(row_h, img.height());
        }
        h += row_h + kPad * 2;
    }
    QImage out(kWidth, h, QImage::Format_RGB32);
    out.fill(QColor(34, 34, 38));
    QPainter p(&out);
    int y = kPad;
    for (const auto& [caption, images] : sheet.rows) {
        p.setPen(QColor(230, 230, 230));
        p.setFont(pack_font(14, true));
        p.drawText(QRect(kPad, y, kWidth, kCaption), Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(caption));
        y += kCaption;
        int x = kPad, row_h = 0;
        for (const QImage& img : images) {
            if (x + img.width() > kWidth - kPad) {
                y += row_h + kPad;
                x = kPad;
                row_h = 0;
            }
            p.drawImage(x, y, img);
            x += img.width() + kPad;
            row_h = std::max(row_h, img.height());
        }
        y += row_h + kPad * 2;
    }
    p.end();
    return out.save(QString::fromStdString(file.string()), "PNG");
}

}  // namespace

struct OffscreenApp::Impl {
    int argc = 1;
    char name[18] = "vantrel-demo-data";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;
};

OffscreenApp::OffscreenApp() : impl_(std::make_unique<Impl>()) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!QCoreApplication::instance()) impl_->app = std::make_unique<QGuiApplication>(impl_->argc, impl_->argv);
}

OffscreenApp::~OffscreenApp() = default;

std::vector<LinePlan> pack_lines(bool small) {
    std::vector<LinePlan> lines;
    for (LineScene s : {suburban_line(small), rural_line(small)}) {
        Film f = film_line(s);
        lines.push_back({std::move(s), std::move(f)});
    }
    return lines;
}

std::vector<TrainRoute> title_pairs() {
    return {{"train_785.dat", "line_exp.dat", true},     {"train_721.dat", "line_rapid.dat", true},
            {"train_731.dat", "line_rapid.dat", false},   {"train_731.dat", "line_local.dat", true},
            {"train_721.dat", "line_local.dat", false},   {"train_40.dat", "line_local2.dat", true},
            {"train_711.dat", "line_local2.dat", false}};
}

std::string write_pack(const fs::path& dir, const PackOptions& options) {
    const auto say = [&](const std::string& s) {
        if (options.progress) options.progress(s);
    };
    const auto started = Clock::now();
    const auto seconds = [&] {
        char b[32];
        std::snprintf(b, sizeof b, " (%.1f s)", std::chrono::duration<double>(Clock::now() - started).count());
        return std::string(b);
    };
    const std::string stamp = stamp_text(options.small);
    if (options.films && read_all(dir / kStampFile) == stamp) {
        say("pack already written by this version in " + dir.string() + "; nothing to do");
        return {};
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    fs::remove(dir / kStampFile, ec);
    std::string failed;
    auto text = [&](const std::string& name, const std::string& utf8) {
        if (!write_cp932_text(dir / name, utf8)) failed = name;
    };

    say("[1/8] test data set (train_demo.dat, line_demo.dat)" + seconds());
    failed = write_demo_data(dir);
    const auto lines = pack_lines(options.small);

    say("[2/8] route files and timetables" + seconds());
    PackRequests req;
    for (const RouteVariant& v : route_variants(options.small))
        text(v.file, route_text(lines[static_cast<size_t>(v.line)], v, req));
    text("vantrel.dat", pack_string_text());
    text("mascon.dat", pack_mascon_text());
    text("operation.dat", pack_operation_text());
    text("readme.html", pack_readme_html());

    say("[3/8] trains and cab panels" + seconds());
    Sheet sheet;
    std::vector<QImage> panels;
    for (const TrainSpec& t : pack_trains()) {
        text("train_" + t.id + ".dat", pack_train_text(t));
        panels.push_back(write_cab_pictures(t, dir, failed).scaled(320, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    write_line_pictures(req, dir, failed);

    say("[4/8] train and line sounds" + seconds());
    write_train_sounds(dir, failed);
    write_line_sounds(dir, failed);

    say("[5/8] spoken phrases (" + std::to_string(req.voices.size()) + ")" + seconds());
    if (!write_voices(dir, req.voices, failed)) say("      espeak-ng not found: tones stand in for the voices");

    say("[6/8] stills and title pictures" + seconds());
    std::vector<QImage> titles;
    for (size_t i = 0; i < lines.size(); ++i) {
        const FilmRenderer r(lines[i].scene, lines[i].film, 480, 240);
        QImage still(480, 240, QImage::Format_RGB32);
        const PlatformFrames p0 = platform_frames(lines[i], lines[i].scene.stations[0]);
        r.render(still, (p0.start + p0.end) / 2);
        const fs::path f = dir / "Image" / "Line" / ("still_l" + std::to_string(i + 1) + ".bmp");
        if (!save_bmp(still, f)) failed = f.string();
    }
    if (options.films) write_titles(lines, dir, titles, failed);
    if (!failed.empty()) return "cannot write " + failed;

    if (options.films) {
        for (size_t i = 0; i < lines.size(); ++i) {
            const LinePlan& l = lines[i];
            say("[7/8] film of " + l.scene.name + ": " + std::to_string(l.film.frames()) + " frames" + seconds());
            const FilmRenderer r(l.scene, l.film, 480, 240);
            std::vector<QImage> thumbs;
            const std::string e =
                write_line_film(r, l.film.frames(), dir / "Movie" / (l.scene.data_name + ".avi"), 300, thumbs);
            if (!e.empty()) return e;
            sheet.rows.push_back({l.scene.name + " (" + l.scene.data_name + ".avi, 10 s apart)", std::move(thumbs)});
        }
        say("[8/8] opening movie and contact sheet" + seconds());
        std::vector<QImage> opening;
        const std::string e = write_opening_movie(lines[0].scene, lines[0].film, dir / "move" / "opening.avi", opening);
        if (!e.empty()) return e;
        sheet.rows.push_back({"opening.avi (3 s apart)", std::move(opening)});
        sheet.rows.push_back({"cab panels: 785, 721, 731, 40, 711", std::move(panels)});
        sheet.rows.push_back({"title pictures 01 .. 09", std::move(titles)});
        if (!write_contact_sheet(sheet, dir / kContactSheet)) return "cannot write " + std::string(kContactSheet);
        std::ofstream(dir / kStampFile, std::ios::binary) << stamp;
    }
    say("done" + seconds());
    return {};
}

}  // namespace vantrel::demo
