#include "demo_data/demo_data.hpp"

#include <array>
#include <cmath>
#include <vector>

#include "demo_data/demo_texts.hpp"
#include "demo_data/media_writers.hpp"

namespace vantrel::demo {
namespace {

namespace fs = std::filesystem;
constexpr double kPi = 3.14159265358979323846;

// A 3 x 5 digit font, one row per string, for the speed-limit signs.
constexpr std::array<std::array<const char*, 5>, 10> kDigits = {{
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"}, {"###", "..#", "###", "#..", "###"},
    {"###", "..#", "###", "..#", "###"}, {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", "..#", "..#", "..#"}, {"###", "#.#", "###", "#.#", "###"},
    {"###", "#.#", "###", "..#", "###"},
}};

bool digit_pixel(int digit, int x, int y) {
    if (x < 0 || x > 2 || y < 0 || y > 4) return false;
    return kDigits[digit][y][x] == '#';
}

class Writer {
public:
    explicit Writer(fs::path dir) : dir_(std::move(dir)) {}
    void bitmap(const char* name, int w, int h, const std::function<Rgb(int, int)>& colour) {
        if (!write_bitmap(dir_ / name, w, h, colour)) failed_ = name;
    }
    void wave(const char* name, double seconds, const std::function<double(double)>& sample) {
        if (!write_wave(dir_ / name, seconds, sample)) failed_ = name;
    }
    void text(const char* name, const std::string& utf8) {
        if (!write_cp932_text(dir_ / name, utf8)) failed_ = name;
    }
    [[nodiscard]] const std::string& failed() const { return failed_; }

private:
    fs::path dir_;
    std::string failed_;
};

Rgb lamp(int x, int y, int w, int h, Rgb on) {
    const bool edge = x == 0 || y == 0 || x == w - 1 || y == h - 1;
    return edge ? Rgb{40, 40, 40} : on;
}

// Lamp colours of a signal picture by display code, top to bottom (5 heads).
std::array<Rgb, 5> signal_heads(int code) {
    const Rgb off{30, 30, 30}, red{230, 30, 30}, yellow{240, 200, 20}, green{40, 210, 90};
    std::array<Rgb, 5> heads{off, off, off, off, off};
    auto meaning = [&](std::initializer_list<int> codes) {
        for (int c : codes)
            if (c == code) return true;
        return false;
    };
    if (meaning({0, 3, 6, 9, 13, 17})) heads[2] = red;
    if (meaning({14, 18})) heads[1] = yellow, heads[3] = yellow;
    if (meaning({4, 7, 10, 15, 19})) heads[1] = yellow;
    if (meaning({11, 20})) heads[1] = yellow, heads[4] = green;
    if (meaning({2, 5, 8, 12, 16, 21})) heads[4] = green;
    if (code == 1) heads[0] = Rgb{200, 200, 200};
    return heads;
}

void write_pictures(Writer& w) {
    w.bitmap("Image/Stop.bmp", 50, 50, [](int x, int y) {
        const bool board = x > 8 && x < 42 && y > 4 && y < 34;
        const bool post = x > 22 && x < 28 && y >= 34;
        return board ? Rgb{255, 255, 255} : post ? Rgb{120, 120, 120} : Rgb{0, 0, 0};
    });
    auto panel = [](int shade) {
        return [shade](int x, int y) {
            const double dx = x - 240.0, dy = y - 120.0;  // speedometer dial around (240, 120)
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r > 46 && r < 50) return Rgb{220, 220, 220};
            if (x > 480) return Rgb{static_cast<uint8_t>(shade + 30), static_cast<uint8_t>(shade + 30),
                                    static_cast<uint8_t>(shade + 36)};
            return Rgb{static_cast<uint8_t>(shade), static_cast<uint8_t>(shade + 10), static_cast<uint8_t>(shade + 20)};
        };
    };
    w.bitmap("Image/Panel.bmp", 640, 200, panel(60));
    w.bitmap("Image/Panel2.bmp", 640, 200, panel(25));
    const std::pair<const char*, Rgb> lamps[] = {{"Image/LampDoor.bmp", {250, 150, 40}}, {"Image/LampPower.bmp", {80, 220, 80}},
                                                 {"Image/LampEB.bmp", {240, 40, 40}},    {"Image/LampAts.bmp", {240, 40, 40}},
                                                 {"Image/LampFwd.bmp", {80, 160, 250}},  {"Image/LampBack.bmp", {250, 250, 80}}};
    for (const auto& [name, colour] : lamps)
        w.bitmap(name, 24, 16, [c = colour](int x, int y) { return lamp(x, y, 24, 16, c); });
    w.bitmap("Image/Needle.bmp", 100, 100, [](int x, int y) {
        return (x >= 49 && x <= 50 && y >= 8 && y <= 50) ? Rgb{255, 80, 40} : Rgb{0, 0, 0};
    });
    for (int i = 0; i <= 4; ++i) {
        const std::string name = "Image/P" + std::to_string(i) + ".bmp";
        w.bitmap(name.c_str(), 100, 24, [i](int x, int y) {
            const bool lit = x / 20 < i && x % 20 > 2 && y > 4 && y < 20;
            return lit ? Rgb{80, 220, 80} : Rgb{20, 30, 20};
        });
    }
    for (int i = 0; i <= 8; ++i) {
        const std::string name = "Image/B" + std::to_string(i) + ".bmp";
        w.bitmap(name.c_str(), 100, 24, [i](int x, int y) {
            const bool lit = x * 8 / 100 < i && x % 12 > 2 && y > 4 && y < 20;
            return lit ? (i == 8 ? Rgb{240, 40, 40} : Rgb{240, 190, 40}) : Rgb{30, 20, 20};
        });
    }
    w.bitmap("Image/Staf.bmp", 200, 440, [](int x, int y) {
        if (y % 40 == 0 || x == 0 || x == 199) return Rgb{60, 60, 60};
        return Rgb{245, 240, 225};
    });
    w.bitmap("Image/Still.bmp", 480, 240, [](int x, int y) {
        if (y < 120) return Rgb{static_cast<uint8_t>(120 + y / 2), static_cast<uint8_t>(160 + y / 3), 230};
        const bool rail = std::abs(x - 240 - (y - 120) * 1.6) < 3 || std::abs(x - 240 + (y - 120) * 1.6) < 3;
        return rail ? Rgb{200, 200, 210} : Rgb{90, 110, 70};
    });
    w.bitmap("Image/SlopeUp.bmp", 50, 50, [](int x, int y) { return y > 45 - x * 0.8 ? Rgb{250, 250, 250} : Rgb{20, 20, 20}; });
    w.bitmap("Image/SlopeDown.bmp", 50, 50, [](int x, int y) { return y > 5 + x * 0.8 ? Rgb{250, 250, 250} : Rgb{20, 20, 20}; });
    w.bitmap("Image/TimeCheck.bmp", 100, 50, [](int x, int y) {
        const double dx = x - 50.0, dy = y - 25.0;
        const double r = std::sqrt(dx * dx + dy * dy);
        return r < 20 ? ((std::abs(dx) < 2 && dy < 0) || (std::abs(dy) < 2 && dx > 0) ? Rgb{0, 0, 0} : Rgb{255, 255, 255})
                      : Rgb{30, 60, 140};
    });
    for (int limit : {45, 60}) {
        const std::string name = "Image/Limit" + std::to_string(limit) + ".bmp";
        w.bitmap(name.c_str(), 100, 50, [limit](int x, int y) {
            if (x < 3 || y < 3 || x > 96 || y > 46) return Rgb{220, 30, 30};
            const int tens = limit / 10, ones = limit % 10;
            const int cx = (x - 26) / 6, cy = (y - 10) / 6;  // two 3 x 5 digits at 6 px a cell
            const bool ink = digit_pixel(tens, cx, cy) || digit_pixel(ones, cx - 4, cy);
            return ink && x >= 26 && y >= 10 ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
        });
    }
    w.bitmap("Image/Horn.bmp", 100, 50, [](int x, int y) {
        return (x > 30 && x < 70 && y > 10 && y < 40) ? Rgb{255, 255, 255} : Rgb{20, 80, 40};
    });
    for (int code = 0; code <= 21; ++code) {
        const std::string name = "Image/Signal/S" + std::to_string(code) + ".bmp";
        const auto heads = signal_heads(code);
        w.bitmap(name.c_str(), 50, 100, [heads](int x, int y) {
            if (x < 8 || x > 41 || y < 2 || y > 97) return Rgb{0, 0, 0};
            const int head = (y - 2) / 19;
            const double dx = x - 25.0, dy = y - (2 + head * 19 + 9.5);
            return dx * dx + dy * dy < 60 ? heads[std::min(head, 4)] : Rgb{50, 50, 50};
        });
    }
}

double tone(double t, double f) { return std::sin(2 * kPi * f * t); }

void write_sounds(Writer& w) {
    for (int i = 0; i <= 12; ++i) {
        const std::string name = "Sound/Run" + std::to_string(i) + ".wav";
        w.wave(name.c_str(), 1.0, [i](double t) {
            const double beat = 0.5 + 0.5 * std::sin(2 * kPi * (1 + i) * t);
            return 0.25 * beat * (tone(t, 55 + 8 * i) + 0.5 * tone(t, 110 + 16 * i));
        });
    }
    w.wave("Sound/Motor1.wav", 1.0, [](double t) { return 0.3 * tone(t, 440) + 0.1 * tone(t, 880); });
    w.wave("Sound/Motor2.wav", 1.0, [](double t) { return 0.3 * tone(t, 330) + 0.1 * tone(t, 660); });
    auto hiss = [](double len) {
        return [len](double t) {
            const double noise = std::sin(t * 12345.678) * std::sin(t * 9876.54321 + 1.7);
            return 0.4 * noise * (1 - t / len);
        };
    };
    w.wave("Sound/Br1.wav", 0.6, hiss(0.6));
    w.wave("Sound/Br2.wav", 1.2, hiss(1.2));
    w.wave("Sound/EB.wav", 1.5, hiss(1.5));
    w.wave("Sound/AtsBell.wav", 0.5, [](double t) { return 0.5 * tone(t, 1200) * std::exp(-6 * t); });
    w.wave("Sound/AtsChime.wav", 1.0, [](double t) { return 0.4 * tone(t, t < 0.5 ? 880 : 660) * std::exp(-3 * std::fmod(t, 0.5)); });
    w.wave("Sound/Atc.wav", 0.3, [](double t) { return 0.4 * tone(t, 1000); });
    w.wave("Sound/Horn1.wav", 1.2, [](double t) { return 0.5 * (tone(t, 340) + tone(t, 425)) / 2; });
    w.wave("Sound/Horn2.wav", 1.8, [](double t) { return 0.5 * (tone(t, 290) + tone(t, 350)) / 2; });
    w.wave("Sound/DoorOpen.wav", 2.0, [](double t) { return 0.3 * tone(t, 200 + 40 * t) * (t < 1.6 ? 1 : 0.2); });
    w.wave("Sound/DoorClose.wav", 2.5, [](double t) { return 0.3 * tone(t, 260 - 40 * t) * (t < 2.2 ? 1 : 0.2); });
    w.wave("Sound/EBRing.wav", 1.0, [](double t) { return 0.4 * tone(t, 2000) * (std::fmod(t, 0.1) < 0.05 ? 1 : 0); });
    w.wave("Sound/Squeak.wav", 1.0, [](double t) { return 0.2 * tone(t, 3100 + 200 * std::sin(9 * t)); });
    w.wave("Sound/CpStart.wav", 0.8, [](double t) { return 0.3 * tone(t, 90 + 60 * t); });
    w.wave("Sound/CpRun.wav", 1.0, [](double t) { return 0.3 * tone(t, 140) * (0.7 + 0.3 * tone(t, 12)); });
    w.wave("Sound/CpEnd.wav", 1.0, hiss(1.0));
    w.wave("Sound/StopAlert.wav", 1.0, [](double t) { return 0.4 * tone(t, 1500) * (std::fmod(t, 0.25) < 0.12 ? 1 : 0); });
    w.wave("Sound/Buzzer1.wav", 0.5, [](double t) { return 0.3 * (std::fmod(t * 400, 1.0) < 0.5 ? 1 : -1); });
    w.wave("Sound/Buzzer2.wav", 1.0, [](double t) { return 0.3 * (std::fmod(t * 300, 1.0) < 0.5 ? 1 : -1); });
    w.wave("Sound/DepSign.wav", 1.5, [](double t) { return 0.4 * tone(t, 784) * std::exp(-2 * t); });
    w.wave("Sound/Melody.wav", 5.0, [](double t) {
        static constexpr double notes[] = {523, 659, 784, 659, 698, 880, 784, 523, 587, 659};
        return 0.35 * tone(t, notes[static_cast<int>(t * 2) % 10]) * (1 - 0.6 * std::fmod(t * 2, 1.0));
    });
    w.wave("Sound/Crossing.wav", 1.0, [](double t) { return 0.4 * tone(t, 700) * (std::fmod(t, 0.5) < 0.25 ? 1 : 0.1); });
    w.wave("Sound/Joint.wav", 0.4, [](double t) { return 0.6 * std::sin(t * 7000) * std::exp(-25 * std::fmod(t, 0.2)); });
    for (int i = 1; i <= 4; ++i) {
        const std::string name = "Sound/Announce" + std::to_string(i) + ".wav";
        w.wave(name.c_str(), 3.0, [i](double t) { return 0.3 * tone(t, 180 + 20 * i + 40 * std::sin(5 * t)); });
    }
    const char* kanko[] = {"Teishi", "Keikai", "Chui", "Gensoku", "Shinko", "Keikai2", "Sec30", "Sec45",
                           "Sec60", "Sec75", "Sec90", "Sec105", "Sec120", "Okure", "Dummy14", "Hayai",
                           "Dummy16", "Teikoku", "Phrase0", "Phrase1", "Phrase2", "Phrase3", "Phrase4",
                           "Phrase5", "TimeCheck", "Limit45", "Limit60", "Horn"};
    int n = 0;
    for (const char* k : kanko) {
        const std::string name = std::string("Sound/Kanko/") + k + ".wav";
        const double f = 250 + 15 * n++;
        w.wave(name.c_str(), 0.7, [f](double t) { return 0.35 * tone(t, f) * std::sin(kPi * t / 0.7); });
    }
}

}  // namespace

std::string write_demo_data(const fs::path& dir) {
    Writer w(dir);
    w.text(kTrainFile, train_text());
    w.text(kRouteFile, route_text());
    w.text(kStringFile, string_text());
    w.text(kScriptFile, demo_script());
    write_pictures(w);
    write_sounds(w);
    return w.failed();
}

}  // namespace vantrel::demo
