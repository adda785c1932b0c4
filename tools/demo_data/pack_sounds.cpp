#include "demo_data/pack_sounds.hpp"

#include <fcntl.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "demo_data/synth.hpp"

extern char** environ;

namespace vantrel::demo {
namespace {

namespace fs = std::filesystem;
using S = std::vector<float>;

struct SndfileCloser {
    void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

fs::path train_path(const fs::path& dir, const std::string& name) { return dir / "Sound" / "Train" / (name + ".wav"); }
fs::path line_path(const fs::path& dir, const std::string& name) { return dir / "Sound" / "Line" / (name + ".wav"); }

// Rolling noise with the rail joints of a car passing over them, as a seamless loop.
S running_band(int k, bool diesel) {
    const double v = std::max(1.0, k * 10.0) / 3.6;  // m/s
    const double len = k == 0 ? 2.0 : std::clamp(20.0 / v, 0.9, 4.0);
    Noise n(1000 + k + (diesel ? 50 : 0));
    return make_loop(len, [&](S& s) {
        const double level = k == 0 ? 0.01 : 0.06 + 0.022 * k;
        add_noise(s, n, level, 0.02 + 0.012 * k, 0.9);
        add_noise(s, n, level * 0.5, 0.003 + 0.002 * k, 1.0);  // low rumble
        if (k >= 1) {
            // A joint every car length: the two axles of each bogie, "ta-tan".
            const double axle = 2.1 / v, bogie = 14.0 / v;
            for (double t0 = 0.15; t0 < len; t0 += 20.0 / v)
                for (double t : {t0, t0 + axle, t0 + bogie, t0 + bogie + axle})
                    add_thump(s, t, diesel ? 0.5 : 0.38, diesel ? 95 : 130, 0.05);
        }
    });
}

S motor_sound(const std::string& kind) {
    return make_loop(1.0, [&](S& s) {
        if (kind == "vvvf1_low") {
            add_tone(s, 0, 1, 420, 0.18, Wave::Square);
            add_tone(s, 0, 1, 630, 0.08, Wave::Sine);
            add_tone(s, 0, 1, 1260, 0.04, Wave::Sine);
        } else if (kind == "vvvf1_high") {
            add_tone(s, 0, 1, 700, 0.15, Wave::Saw);
            add_tone(s, 0, 1, 1050, 0.06, Wave::Sine);
        } else if (kind == "vvvf2_low") {
            add_tone(s, 0, 1, 520, 0.16, Wave::Square);
            add_tone(s, 0, 1, 780, 0.08, Wave::Sine);
        } else if (kind == "vvvf2_high") {
            add_tone(s, 0, 1, 880, 0.14, Wave::Saw);
            add_tone(s, 0, 1, 1320, 0.05, Wave::Sine);
        } else if (kind == "gto_low") {
            add_tone(s, 0, 1, 350, 0.2, Wave::Saw, 6);
            add_tone(s, 0, 1, 700, 0.06, Wave::Square);
        } else if (kind == "gto_high") {
            add_tone(s, 0, 1, 600, 0.16, Wave::Saw, 4);
            add_tone(s, 0, 1, 1200, 0.05, Wave::Sine);
        } else if (kind == "emu_motor") {
            add_tone(s, 0, 1, 180, 0.25, Wave::Sine);
            add_tone(s, 0, 1, 360, 0.1, Wave::Sine);
            Noise n(77);
            add_noise(s, n, 0.05, 0.05, 1.0);
        } else {  // dmu_gear
            add_tone(s, 0, 1, 240, 0.15, Wave::Sine);
            add_tone(s, 0, 1, 480, 0.05, Wave::Sine);
        }
    });
}

S engine(double firing_hz, double level, uint32_t seed) {
    Noise n(seed);
    return make_loop(2.0, [&](S& s) {
        const double period = 1.0 / firing_hz;
        for (double t = 0; t < 2.0; t += period) add_thump(s, t, level * (0.8 + 0.4 * n.uniform()), firing_hz * 3, period * 0.8);
        add_tone(s, 0, 2, firing_hz * 2, level * 0.3, Wave::Saw);
        add_noise(s, n, level * 0.25, 0.05, 1.0);
    });
}

S hiss(double seconds, double level, double attack, double decay, uint32_t seed) {
    S s = blank(seconds);
    Noise n(seed);
    add_noise(s, n, level, 0.6, 1.0);
    envelope(s, attack, decay);
    return s;
}

// Struck bell: inharmonic partials with an exponential decay.
void bell(S& s, double at, double f, double level, double decay) {
    for (auto [ratio, amp] : {std::pair{1.0, 1.0}, {2.76, 0.5}, {5.4, 0.25}, {8.9, 0.12}})
        add_strike(s, at, f * ratio, level * amp, decay / ratio);
}

S melody(const std::vector<int>& notes, double beat, double seconds) {
    S s = blank(seconds);
    double t = 0.05;
    for (int n : notes) {
        if (n > 0) {
            const double f = 440 * std::pow(2.0, (n - 69) / 12.0);
            add_strike(s, t, f, 0.28, 0.9);
            add_strike(s, t, f * 2, 0.08, 0.4);
            add_strike(s, t, f * 3.01, 0.04, 0.2);
        }
        t += beat;
    }
    return s;
}

void write(const fs::path& file, const S& s, std::string& failed) {
    if (!write_pcm_wave(file, s)) failed = file.string();
}

// Runs espeak-ng on one phrase; false when it is missing or fails.
bool speak(const std::string& text, const fs::path& out) {
    std::vector<std::string> args = {"espeak-ng", "-v", "ja", "-s", "150", "-p", "42", "-w", out.string(), text};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "espeak-ng", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::exists(out);
}

// Reads a mono or stereo wave into mono floats at its own rate.
S read_wave(const fs::path& file, int& rate) {
    SF_INFO info{};
    SndfilePtr f(sf_open(file.string().c_str(), SFM_READ, &info));
    if (!f || info.channels < 1) return {};
    std::vector<float> raw(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_float(f.get(), raw.data(), info.frames);
    S s(static_cast<size_t>(std::max<sf_count_t>(0, got)));
    for (size_t i = 0; i < s.size(); ++i) s[i] = raw[i * static_cast<size_t>(info.channels)];
    rate = info.samplerate;
    return s;
}

S resample(const S& in, int from, int to) {
    if (from == to || from <= 0) return in;
    S out(static_cast<size_t>(static_cast<double>(in.size()) * to / from));
    for (size_t i = 0; i < out.size(); ++i) {
        const double x = static_cast<double>(i) * from / to;
        const auto j = static_cast<size_t>(x);
        const double f = x - static_cast<double>(j);
        out[i] = static_cast<float>(in[std::min(j, in.size() - 1)] * (1 - f) + in[std::min(j + 1, in.size() - 1)] * f);
    }
    return out;
}

// Stand-in for a phrase without a speech synthesiser: one soft blip per syllable.
S tone_phrase(const std::string& text) {
    const size_t syllables = std::max<size_t>(1, text.size() / 3);
    S s = blank(0.12 * static_cast<double>(syllables) + 0.2);
    for (size_t i = 0; i < syllables; ++i) add_strike(s, 0.05 + 0.12 * static_cast<double>(i), 300 + 40 * (i % 3), 0.3, 0.1);
    return s;
}

}  // namespace

bool write_pcm_wave(const fs::path& file, const std::vector<float>& samples, int rate) {
    std::error_code ec;
    fs::create_directories(file.parent_path(), ec);
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SndfilePtr f(sf_open(file.string().c_str(), SFM_WRITE, &info));
    if (!f) return false;
    std::vector<short> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32000));
    return sf_write_short(f.get(), pcm.data(), static_cast<sf_count_t>(pcm.size())) ==
           static_cast<sf_count_t>(pcm.size());
}

void write_train_sounds(const fs::path& dir, std::string& failed) {
    for (int k = 0; k <= 12; ++k) {
        write(train_path(dir, "run_emu_" + std::to_string(k)), running_band(k, false), failed);
        write(train_path(dir, "run_dmu_" + std::to_string(k)), running_band(k, true), failed);
    }
    for (const char* m : {"vvvf1_low", "vvvf1_high", "vvvf2_low", "vvvf2_high", "gto_low", "gto_high", "emu_motor",
                          "dmu_gear"})
        write(train_path(dir, m), motor_sound(m), failed);
    write(train_path(dir, "engine_run"), engine(24, 0.45, 31), failed);
    write(train_path(dir, "engine_idle"), engine(10, 0.25, 32), failed);
    write(train_path(dir, "engine_idle_open"), engine(10, 0.3, 33), failed);
    write(train_path(dir, "brake_step"), hiss(0.45, 0.35, 0.01, 0.3, 41), failed);
    write(train_path(dir, "brake_release"), hiss(1.4, 0.4, 0.02, 1.2, 42), failed);
    write(train_path(dir, "brake_emergency"), hiss(2.6, 0.7, 0.01, 2.0, 43), failed);
    {
        S s = blank(1.0);
        for (int i = 0; i < 15; ++i) bell(s, i / 15.0, 1350, 0.22, 0.25);
        write(train_path(dir, "ats_bell"), s, failed);
    }
    {
        S s = blank(1.4);
        add_strike(s, 0.0, 1318.5, 0.35, 0.5);
        add_strike(s, 0.45, 1046.5, 0.35, 0.7);
        write(train_path(dir, "ats_chime"), s, failed);
    }
    {
        S s = blank(0.6);
        add_strike(s, 0, 1800, 0.35, 0.3);
        write(train_path(dir, "atc_ding"), s, failed);
    }
    auto horn = [&](const char* name, std::vector<double> freqs, double seconds, Wave w, double level) {
        S s = blank(seconds);
        for (double f : freqs) add_tone(s, 0, seconds, f, level / static_cast<double>(freqs.size()), w, 5);
        envelope(s, 0.06, 0.2);
        write(train_path(dir, name), s, failed);
    };
    horn("horn_emu", {659, 784}, 1.3, Wave::Saw, 0.5);
    horn("horn2_emu", {1046, 1318}, 1.0, Wave::Square, 0.3);
    horn("horn3_emu", {659, 784}, 0.4, Wave::Saw, 0.5);
    horn("horn_dmu", {311, 370, 466}, 1.6, Wave::Saw, 0.6);
    horn("horn2_dmu", {880}, 1.0, Wave::Square, 0.3);
    horn("horn3_dmu", {311, 370, 466}, 0.45, Wave::Saw, 0.6);
    {
        S s = hiss(2.2, 0.35, 0.02, 0.8, 51);
        add_tone(s, 0.1, 1.5, 110, 0.08, Wave::Saw);
        add_thump(s, 1.7, 0.6, 80, 0.2);
        write(train_path(dir, "door_open"), s, failed);
    }
    {
        S s = blank(3.0);
        for (double t : {0.0, 0.6}) {
            add_strike(s, t, 1318.5, 0.3, 0.35);
            add_strike(s, t + 0.25, 1046.5, 0.3, 0.5);
        }
        S h = hiss(1.2, 0.25, 0.05, 0.6, 52);
        mix(s, h, 1.4);
        add_tone(s, 1.4, 2.5, 100, 0.06, Wave::Saw);
        add_thump(s, 2.6, 0.7, 70, 0.25);
        write(train_path(dir, "door_close"), s, failed);
    }
    {
        S s = blank(1.0);
        for (int i = 0; i < 5; ++i) add_tone(s, i * 0.2, i * 0.2 + 0.1, 2000, 0.3, Wave::Square);
        write(train_path(dir, "eb_alarm"), s, failed);
    }
    {
        Noise n(61);
        S s = make_loop(2.0, [&](S& x) {
            add_tone(x, 0, 2, 3200, 0.12, Wave::Sine, 3);
            add_tone(x, 0, 2, 4100, 0.06, Wave::Sine, 2);
            add_noise(x, n, 0.05, 0.5, 1.0);
        });
        write(train_path(dir, "squeal"), s, failed);
    }
    {
        S s = blank(0.8);
        add_sweep(s, 0, 0.8, 40, 120, 0.25);
        write(train_path(dir, "cp_start"), s, failed);
        S run = make_loop(1.0, [&](S& x) {
            add_tone(x, 0, 1, 120, 0.15, Wave::Saw);
            for (int i = 0; i < 20; ++i) add_thump(x, i / 20.0, 0.25, 60, 0.04);
        });
        write(train_path(dir, "cp_run"), run, failed);
        S end = hiss(1.5, 0.3, 0.2, 1.0, 62);
        add_sweep(end, 0, 0.9, 120, 30, 0.2);
        write(train_path(dir, "cp_end"), end, failed);
    }
    {
        S s = blank(1.0);
        add_strike(s, 0.0, 1568, 0.3, 0.3);
        add_strike(s, 0.25, 1175, 0.3, 0.4);
        write(train_path(dir, "stop_alert"), s, failed);
    }
    {
        S s = blank(0.35);
        add_tone(s, 0, 0.3, 480, 0.3, Wave::Square);
        write(train_path(dir, "buzzer_short"), s, failed);
        S l = blank(1.2);
        add_tone(l, 0, 1.1, 480, 0.3, Wave::Square);
        write(train_path(dir, "buzzer_long"), l, failed);
    }
    {
        S s = blank(1.2);
        add_tone(s, 0, 1.0, 1000, 0.25, Wave::Sine);
        envelope(s, 0.02, 0.1);
        write(train_path(dir, "dep_sign"), s, failed);
    }
}

void write_line_sounds(const fs::path& dir, std::string& failed) {
    const std::vector<std::vector<int>> tunes = {
        {72, 76, 79, 84, 79, 76, 77, 81, 84, 0, 83, 79, 74, 77, 76, 72},
        {67, 72, 74, 76, 79, 76, 74, 72, 69, 72, 74, 0, 72, 67, 72, 0},
        {76, 74, 72, 74, 76, 76, 76, 0, 74, 74, 74, 0, 76, 79, 79, 0},
        {79, 77, 76, 77, 79, 84, 83, 81, 79, 0, 77, 76, 74, 72, 0, 0},
        {72, 72, 79, 79, 81, 81, 79, 0, 77, 77, 76, 76, 74, 74, 72, 0}};
    for (size_t i = 0; i < tunes.size(); ++i)
        write(line_path(dir, "melody" + std::to_string(i)), melody(tunes[i], 0.36, 6.8), failed);
    {
        S s = blank(5.0);
        for (int i = 0; i < 5 * 18; ++i) bell(s, i / 18.0, 1150, 0.16, 0.2);
        envelope(s, 0.01, 0.15);
        write(line_path(dir, "depbell"), s, failed);
    }
    {
        S s = blank(1.0);
        bell(s, 0.0, 760, 0.3, 0.35);
        bell(s, 0.5, 700, 0.3, 0.35);
        write(line_path(dir, "crossing"), s, failed);
    }
    {
        Noise n(71);
        S s = make_loop(2.0, [&](S& x) {
            add_noise(x, n, 0.3, 0.01, 1.0);
            for (int i = 0; i < 4; ++i) add_thump(x, i * 0.5 + 0.1, 0.45, 55, 0.25);
        });
        write(line_path(dir, "bridge"), s, failed);
    }
    {
        Noise n(72);
        S s = make_loop(2.0, [&](S& x) {
            add_noise(x, n, 0.35, 0.008, 1.0);
            add_noise(x, n, 0.08, 0.1, 1.0);
        });
        write(line_path(dir, "tunnel"), s, failed);
    }
    {
        Noise n(73);
        S s = make_loop(2.0, [&](S& x) {
            add_noise(x, n, 0.45, 0.2, 1.0);
            for (int i = 0; i < 8; ++i) add_thump(x, i * 0.25, 0.4, 120, 0.05);
            add_tone(x, 0, 2, 200, 0.08, Wave::Saw);
        });
        write(line_path(dir, "passing"), s, failed);
    }
}

bool write_voices(const fs::path& dir, const std::map<std::string, std::string>& phrases, std::string& failed) {
    std::vector<std::pair<std::string, std::string>> jobs(phrases.begin(), phrases.end());
    std::atomic<size_t> next{0};
    std::atomic<bool> spoke_all{true};
    std::mutex m;
    auto worker = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            const auto& [id, text] = jobs[i];
            std::string rel = id;
            std::replace(rel.begin(), rel.end(), '\\', '/');
            const fs::path out = dir / "Sound" / "Voice" / (rel + ".wav");
            std::error_code ec;
            fs::create_directories(out.parent_path(), ec);
            S voice;
            if (text.empty()) {
                voice = blank(0.2);
            } else {
                const fs::path tmp = out.string() + ".tmp.wav";
                int rate = kSoundRate;
                if (speak(text, tmp)) voice = resample(read_wave(tmp, rate), rate, kSoundRate);
                fs::remove(tmp, ec);
                if (voice.empty()) {
                    spoke_all = false;
                    voice = tone_phrase(text);
                }
            }
            if (id.rfind("Announce\\", 0) == 0) {
                // A two-note chime before the announcement.
                S s = blank(0.9 + static_cast<double>(voice.size()) / kSoundRate + 0.3);
                add_strike(s, 0.0, 987.8, 0.25, 0.5);
                add_strike(s, 0.3, 784.0, 0.25, 0.6);
                for (auto& x : voice) x *= 0.9f;
                mix(s, voice, 0.9);
                voice = std::move(s);
            }
            if (!write_pcm_wave(out, voice)) {
                std::lock_guard lock(m);
                failed = out.string();
            }
        }
    };
    std::thread a(worker), b(worker);
    a.join();
    b.join();
    return spoke_all;
}

std::vector<float> opening_music(double seconds, int rate) {
    S s = melody({72, 76, 79, 84, 83, 79, 76, 79, 81, 84, 88, 86, 84, 79, 0, 0, 77, 81, 84, 81, 79, 76, 72, 0, 84},
                 0.4, seconds);
    Noise n(99);
    S rumble = blank(seconds);
    add_noise(rumble, n, 0.12, 0.02, 1.0);
    for (double t = 0.3; t < seconds; t += 0.55) add_thump(rumble, t, 0.2, 110, 0.05);
    envelope(rumble, 2.0, 2.0);
    mix(s, rumble, 0);
    envelope(s, 0.3, 1.5);
    return resample(s, kSoundRate, rate);
}

}  // namespace vantrel::demo
