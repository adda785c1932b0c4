// The film pipeline on films as long and as large as routes have: the picture index of a one-hour
// film (built, and from the cache), and a 1080p H.264 film through the feed forwards and backwards
// at the draw size of a 2x window, beside a bare FFmpeg loop over the same film.
// The films are written once into /tmp/vantrel-film-bench and reused by later runs.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/ffmpeg_handles.hpp"
#include "platform/film_decoder.hpp"
#include "platform/film_index_cache.hpp"

namespace {

namespace fs = std::filesystem;
using namespace vantrel;
using Clock = std::chrono::steady_clock;

const fs::path& folder() {
    static const fs::path dir = [] {
        const fs::path d = fs::temp_directory_path() / "vantrel-film-bench";
        fs::create_directories(d / "cache");
        setenv("XDG_CACHE_HOME", (d / "cache").c_str(), 1);
        av_log_set_level(AV_LOG_ERROR);
        return d;
    }();
    return dir;
}

void shell(const std::string& command) {
    if (std::system(command.c_str()) != 0) std::abort();
}

// One hour at 640 x 360, 30 frames a second, a keyframe every 300: one minute encoded, then
// copied sixty times over by the concat demuxer.
fs::path one_hour(const char* extension) {
    const fs::path file = folder() / (std::string("hour.") + extension);
    if (fs::exists(file)) return file;
    const fs::path minute = folder() / "minute.mp4";
    if (!fs::exists(minute)) {
        shell("ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=640x360:rate=30 -t 60 "
              "-c:v libx264 -preset ultrafast -g 300 -b:v 1M '" + minute.string() + "'");
    }
    std::ofstream list(folder() / "hour.txt");
    for (int i = 0; i < 60; ++i) list << "file '" << minute.string() << "'\n";
    list.close();
    shell("ffmpeg -hide_banner -loglevel error -y -f concat -safe 0 -i '" + (folder() / "hour.txt").string() +
          "' -c copy '" + file.string() + "'");
    return file;
}

// 1920 x 1080 H.264 at 8 Mbit/s, a keyframe every 250 frames, B-frames: 20 s.
const fs::path& full_hd() {
    static const fs::path file = [] {
        const fs::path f = folder() / "hd.mp4";
        if (!fs::exists(f)) {
            shell("ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc2=size=1920x1080:rate=30 -t 20 "
                  "-c:v libx264 -preset veryfast -b:v 8M -maxrate 8M -bufsize 16M -g 250 -bf 3 '" + f.string() + "'");
        }
        return f;
    }();
    return file;
}

void BM_FilmIndexBuilt(benchmark::State& state, const char* extension) {
    const fs::path file = one_hour(extension);
    int32_t frames = 0;
    for (auto _ : state) {
        const auto index = build_film_index(file);
        if (!index) state.SkipWithError("no index");
        frames = index ? index->length() : 0;
    }
    state.counters["frames"] = frames;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(file)) / 1e6;
}
BENCHMARK_CAPTURE(BM_FilmIndexBuilt, hour_mp4, "mp4")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_FilmIndexBuilt, hour_mkv, "mkv")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_FilmIndexBuilt, hour_ts, "ts")->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_FilmIndexFromCache(benchmark::State& state, const char* extension) {
    const fs::path file = one_hour(extension);
    if (!film_index(file)) state.SkipWithError("no index");
    for (auto _ : state) {
        const auto index = load_cached_index(file);
        if (!index) state.SkipWithError("not cached");
        benchmark::DoNotOptimize(index);
    }
}
BENCHMARK_CAPTURE(BM_FilmIndexFromCache, hour_mp4, "mp4")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FilmIndexFromCache, hour_ts, "ts")->Unit(benchmark::kMillisecond);

// Opening a film as the driving window does (index from the cache, decoder ready).
void BM_FilmOpen(benchmark::State& state) {
    const fs::path file = one_hour("mp4");
    for (auto _ : state) {
        auto feed = open_film_feed(file);
        if (!feed) state.SkipWithError("cannot open");
    }
}
BENCHMARK(BM_FilmOpen)->Unit(benchmark::kMillisecond);

// Asks for `n` and waits until the feed has it; the wait in milliseconds.
double fetch(FilmFeed& feed, int32_t n) {
    const auto start = Clock::now();
    feed.want(n);
    while (feed.nearest(n).index != n) std::this_thread::sleep_for(std::chrono::microseconds(200));
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The decoder thread's work per frame, without the thread: decode every frame in order and
// convert it to 960 x 480 (compare with the bare loop below).
void BM_FilmDecoderHd(benchmark::State& state) {
    const fs::path& file = full_hd();
    double total = 0, cpu = 0;
    int32_t count = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::clock_t cpu_start = std::clock();
        auto decoder = open_ffmpeg_film_decoder(file);
        if (!decoder) {
            state.SkipWithError("cannot open");
            break;
        }
        QImage picture;
        for (int32_t n = 0; n < decoder->length(); ++n, ++count) {
            if (!decoder->decode(n) || !decoder->picture({960, 480}, picture)) state.SkipWithError("lost a frame");
        }
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        cpu += 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    }
    state.counters["ms_per_frame"] = total / std::max(1, count);
    state.counters["cpu_ms_per_frame"] = cpu / std::max(1, count);
}
BENCHMARK(BM_FilmDecoderHd)->Unit(benchmark::kMillisecond)->Iterations(1);

// A train driving through the HD film at `rate` frames a second (negative: backwards), from a
// standstill, telling its motion and asking for its frame every 33 ms tick as the window does. Counts the ticks whose frame was ready by
// the end of the tick (exact), the mean distance of the picture shown from the one wanted, and
// the feed's processor time per tick.
void BM_FilmFeedHdDrive(benchmark::State& state) {
    const double rate = static_cast<double>(state.range(0));
    const fs::path& file = full_hd();
    int ticks = 0, exact = 0;
    double distance = 0, cpu_ms = 0;
    for (auto _ : state) {
        auto feed = open_film_feed(file);
        if (!feed) {
            state.SkipWithError("cannot open");
            break;
        }
        feed->set_draw_size({960, 480});
        const int32_t length = feed->length();
        const int32_t first = rate >= 0 ? 0 : length - 1;
        feed->set_motion(0, 0);
        fetch(*feed, first);  // opening and the first picture are not the drive
        const std::clock_t cpu_start = std::clock();
        const auto start = Clock::now();
        for (int tick = 1;; ++tick) {
            // The motion as the window hands it on: frames a tick and the fraction past the frame.
            const double travelled = rate * tick / 30.0;
            const auto frame = static_cast<int32_t>(first + travelled);
            if (frame < 0 || frame >= length) break;
            feed->set_motion(rate / 30.0, std::abs(travelled - std::trunc(travelled)));
            feed->want(frame);
            std::this_thread::sleep_until(start + std::chrono::microseconds(33333 * tick));
            const int32_t shown = feed->nearest(frame).index;
            ++ticks;
            exact += shown == frame;
            distance += std::abs(shown - frame);
        }
        cpu_ms += 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    }
    state.counters["exact_share"] = static_cast<double>(exact) / std::max(1, ticks);
    state.counters["mean_frames_off"] = distance / std::max(1, ticks);
    state.counters["cpu_ms_per_tick"] = cpu_ms / std::max(1, ticks);
}
// 1x, 2x and 4x the filming speed forwards, 1x and a walking pace (about 10 km/h on a line filmed
// at 60) backwards.
BENCHMARK(BM_FilmFeedHdDrive)->Arg(30)->Arg(60)->Arg(120)->Arg(-30)->Arg(-5)->Unit(benchmark::kMillisecond)->Iterations(1);

// The bare loop over the same film: read, decode (threads as the feed uses them), convert to 960 x 480.
void BM_FilmBareLoopHd(benchmark::State& state) {
    const fs::path& file = full_hd();
    int frames = 0;
    double total = 0, cpu = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const std::clock_t cpu_start = std::clock();
        AVFormatContext* raw = nullptr;
        if (avformat_open_input(&raw, file.c_str(), nullptr, nullptr) < 0) std::abort();
        ff::InputContext input(raw);
        avformat_find_stream_info(input.get(), nullptr);
        const AVStream* stream = input->streams[0];
        const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
        ff::CodecContext decoder(avcodec_alloc_context3(codec));
        avcodec_parameters_to_context(decoder.get(), stream->codecpar);
        decoder->thread_count = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        if (avcodec_open2(decoder.get(), codec, nullptr) < 0) std::abort();
        ff::Packet packet = ff::make_packet();
        ff::Frame frame = ff::make_frame();
        ff::ScaleContext scale;
        std::vector<uint32_t> rgb(960 * 480);
        const auto take = [&] {
            while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
                ++frames;
                if (!scale) {
                    scale.reset(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), 960,
                                               480, AV_PIX_FMT_RGB32, SWS_AREA, nullptr, nullptr, nullptr));
                }
                uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(rgb.data()), nullptr, nullptr, nullptr};
                const int strides[4] = {960 * 4, 0, 0, 0};
                sws_scale(scale.get(), frame->data, frame->linesize, 0, frame->height, planes, strides);
            }
        };
        while (av_read_frame(input.get(), packet.get()) >= 0) {
            if (packet->stream_index == 0) avcodec_send_packet(decoder.get(), packet.get());
            av_packet_unref(packet.get());
            take();
        }
        avcodec_send_packet(decoder.get(), nullptr);
        take();
        total += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        cpu += 1000.0 * static_cast<double>(std::clock() - cpu_start) / CLOCKS_PER_SEC;
    }
    state.counters["ms_per_frame"] = total / std::max(1, frames);
    state.counters["cpu_ms_per_frame"] = cpu / std::max(1, frames);
}
BENCHMARK(BM_FilmBareLoopHd)->Unit(benchmark::kMillisecond)->Iterations(1);

// A random frame of the HD film per iteration (a station jump): the wait until it is ready.
void BM_FilmFeedHdJump(benchmark::State& state) {
    auto feed = open_film_feed(full_hd());
    if (!feed) {
        state.SkipWithError("cannot open");
        return;
    }
    feed->set_draw_size({960, 480});
    uint32_t seed = 9;
    std::vector<double> waits;
    for (auto _ : state) {
        seed = seed * 1664525u + 1013904223u;
        waits.push_back(fetch(*feed, static_cast<int32_t>(seed % static_cast<uint32_t>(feed->length()))));
    }
    std::sort(waits.begin(), waits.end());
    state.counters["median_ms"] = waits[waits.size() / 2];
    state.counters["max_ms"] = waits.back();
}
BENCHMARK(BM_FilmFeedHdJump)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
