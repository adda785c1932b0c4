// The opening movie's sound, decoded from its audio stream alone and played from where the
// movie stands, compared by what it sounds like.
#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "mixer_fixture.hpp"
#include "platform/movie_sound.hpp"

namespace vantrel::test {
namespace {

// A movie of `video` seconds whose sound (22050 Hz AAC) is a tone of level 0.5: 440 Hz for its
// first second, 880 Hz after, lasting `sound` seconds. `delay` sets the sound's start against
// the first picture (negative: the pictures start later).
void write_movie(const std::filesystem::path& file, double video, double sound, double delay) {
    const std::string picture_offset = delay < 0 ? "-itsoffset " + std::to_string(-delay) + " " : "";
    const std::string sound_offset = delay > 0 ? "-itsoffset " + std::to_string(delay) + " " : "";
    const std::string command =
        "ffmpeg -v error -y " + picture_offset + "-f lavfi -i testsrc=size=64x48:rate=10:duration=" +
        std::to_string(video) + " " + sound_offset +
        "-f lavfi -i 'aevalsrc=0.5*sin(2*PI*if(lt(t\\,1)\\,440\\,880)*t):s=22050:d=" + std::to_string(sound) +
        "' -map 0:v -map 1:a -c:v mjpeg -c:a aac -f matroska '" + file.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Seconds [from, to) of a track as full-scale doubles.
std::vector<double> span_of(const MonoWave& w, double from, double to) {
    std::vector<double> out;
    for (auto i = static_cast<size_t>(from * w.sample_rate); i < static_cast<size_t>(to * w.sample_rate) && i < w.samples.size(); ++i)
        out.push_back(w.samples[i] / 32768.0);
    return out;
}

TEST(MovieSound, TheTrackIsDecodedAgainstTheFirstPictureAndCutAtItsLimit) {
    TempDir dir;
    write_movie(dir / "late.avi", 3, 2, 0.5);    // sound from 0.5 s: 440 Hz, 880 Hz from 1.5 s
    write_movie(dir / "early.avi", 3, 2, -0.5);  // sound 0.5 s before the first picture
    const struct {
        const char* name;
        double silent_until, change_at, end;
    } cases[] = {{"late.avi", 0.5, 1.5, 2.5}, {"early.avi", 0.0, 0.5, 1.5}};
    for (const auto& c : cases) {
        const auto track = decode_movie_sound(dir / c.name, kMovieSoundSeconds);
        ASSERT_TRUE(track) << c.name;
        EXPECT_EQ(track->sample_rate, 22050);
        EXPECT_NEAR(static_cast<double>(track->samples.size()) / 22050, c.end, 0.05) << c.name;
        if (c.silent_until > 0) {
            EXPECT_LT(rms(span_of(*track, 0, c.silent_until - 0.05)), 0.01) << c.name;
        }
        const auto low = span_of(*track, c.change_at - 0.4, c.change_at - 0.1);
        const auto high = span_of(*track, c.change_at + 0.1, c.change_at + 0.4);
        EXPECT_NEAR(dominant_frequency(low, 22050), 440, 10) << c.name;
        EXPECT_NEAR(dominant_frequency(high, 22050), 880, 10) << c.name;
        EXPECT_NEAR(tone_amplitude(high, 880, 22050), 0.5, 0.03) << c.name;
    }
    // No more than asked for, and nothing at all once stopped.
    EXPECT_EQ(decode_movie_sound(dir / "late.avi", 1.0)->samples.size(), 22050u);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(decode_movie_sound(dir / "late.avi", kMovieSoundSeconds, stop.get_token()));
    EXPECT_FALSE(decode_movie_sound(dir / "missing.avi", kMovieSoundSeconds));
    ASSERT_EQ(std::system(("ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=10:duration=1 -c:v mjpeg '" +
                           (dir / "silent.avi").string() + "'").c_str()), 0);
    EXPECT_FALSE(decode_movie_sound(dir / "silent.avi", kMovieSoundSeconds));
}

// Started late (the decoding ran while the movie played), the sound joins where the movie is.
TEST(MovieSound, PlaysFromWhereTheMovieStands) {
    TempDir dir;
    write_movie(dir / "movie.avi", 3, 2, 0.5);
    for (const auto& [elapsed, tone] : {std::pair{0.7, 440.0}, std::pair{1.6, 880.0}}) {
        auto mixer = OpenAlMixer::open_loopback(44100);
        ASSERT_TRUE(mixer->initialised());
        OpenAlMixer& device = *mixer;
        // The same tone from a wave file, as the mixer plays it.
        write_tone(dir / "reference.wav", {.frequency = tone});
        device.assign(1, device.load_wave(dir / "reference.wav"));
        device.play_looping(1);
        std::vector<int16_t> stereo(2 * 44100 * 3 / 10);
        device.render(stereo);
        std::vector<double> left(stereo.size() / 2);
        for (size_t i = 0; i < left.size(); ++i) left[i] = stereo[2 * i] / 32768.0;
        const double reference = tone_amplitude(left, tone, 44100);
        device.stop(1);
        MovieSound sound(dir / "movie.avi", std::move(mixer));
        for (int i = 0; i < 1000 && !sound.decoded(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(sound.decoded());
        sound.update_at(elapsed);
        EXPECT_TRUE(sound.started());
        device.render(stereo);
        for (size_t i = 0; i < left.size(); ++i) left[i] = stereo[2 * i] / 32768.0;
        EXPECT_NEAR(dominant_frequency(left, 44100), tone, 10) << elapsed;
        EXPECT_NEAR(tone_amplitude(left, tone, 44100) / reference, 1.0, 0.1) << elapsed;
    }
}

}  // namespace
}  // namespace vantrel::test
