// The frame reader at the driving window's size: sequential and random access, side by side with
// a bare FFmpeg loop (read, decode, convert to RGB32) over the same file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "platform/ffmpeg_frame_reader.hpp"
#include "platform/ffmpeg_handles.hpp"
#include "platform/video_writer.hpp"

namespace {

namespace fs = std::filesystem;
using namespace vantrel;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 480;
constexpr int kHeight = 240;
constexpr int kFrames = 300;

// A view that moves every frame and has detail everywhere, so that predicted frames cost
// what they cost in a filmed line: a scrolling texture with a little noise on top.
FrameImage view(int index, std::mt19937& noise) {
    FrameImage image{kWidth, kHeight, std::vector<uint32_t>(static_cast<size_t>(kWidth * kHeight))};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double u = (x - kWidth / 2) * (1.0 + y / 60.0) + index * 3.0;
            const double v = y * 2.0 + index * 1.5;
            const int base = static_cast<int>(128 + 60 * std::sin(u * 0.05) + 40 * std::cos(v * 0.07));
            const int grain = static_cast<int>(noise() % 17) - 8;
            const auto c = [&](int shift) { return static_cast<uint32_t>(std::clamp(base + shift + grain, 0, 255)); };
            image.pixels[static_cast<size_t>(y * kWidth + x)] = 0xFF000000u | c(10) << 16 | c(0) << 8 | c(-20);
        }
    }
    return image;
}

struct Files {
    fs::path gop30, bframes, mjpeg;
};

const Files& files() {
    static const Files f = [] {
        av_log_set_level(AV_LOG_ERROR);
        const fs::path dir = fs::temp_directory_path() / ("vantrel-video-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        // The films' picture indexes are cached beside them, not in the user's cache.
        setenv("XDG_CACHE_HOME", (dir / "cache").c_str(), 1);
        Files made{dir / "gop30.avi", dir / "bframes.avi", dir / "mjpeg.avi"};
        const auto write = [](const fs::path& file, VideoWriterOptions o) {
            o.width = kWidth;
            o.height = kHeight;
            std::string error;
            auto writer = VideoWriter::open(file, o, error);
            if (!writer) std::abort();
            std::mt19937 noise(1);
            for (int i = 0; i < kFrames; ++i) {
                if (!writer->add_frame(view(i, noise))) std::abort();
            }
            if (!writer->finish()) std::abort();
        };
        VideoWriterOptions o;
        write(made.gop30, o);
        o.b_frames = 2;
        write(made.bframes, o);
        o = VideoWriterOptions{};
        o.codec = VideoWriterOptions::Codec::Mjpeg;
        write(made.mjpeg, o);
        return made;
    }();
    return f;
}

// Decodes the whole file the plain way; `convert` adds the RGB32 conversion. Returns frames.
int bare_loop(const fs::path& file, bool convert, std::vector<uint32_t>& rgb) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, file.c_str(), nullptr, nullptr) < 0) std::abort();
    ff::InputContext input(raw);
    avformat_find_stream_info(input.get(), nullptr);
    const AVStream* stream = input->streams[0];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    ff::CodecContext decoder(avcodec_alloc_context3(codec));
    avcodec_parameters_to_context(decoder.get(), stream->codecpar);
    decoder->thread_count = 1;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) std::abort();
    ff::Packet packet = ff::make_packet();
    ff::Frame frame = ff::make_frame();
    ff::ScaleContext scale;
    int frames = 0;
    const auto take = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
            ++frames;
            if (!convert) continue;
            if (!scale) {
                scale.reset(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                           kWidth, kHeight, AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr));
            }
            uint8_t* planes[4] = {reinterpret_cast<uint8_t*>(rgb.data()), nullptr, nullptr, nullptr};
            const int strides[4] = {kWidth * 4, 0, 0, 0};
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
    return frames;
}

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// This thread's processor time: the machine may be shared, wall time then says little.
double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double median(std::vector<double>& values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Each iteration plays the whole file three ways, interleaved so that noise hits them alike.
void BM_VideoSequentialVersusBareLoop(benchmark::State& state, const fs::path& file) {
    std::vector<uint32_t> rgb(static_cast<size_t>(kWidth * kHeight));
    double bare_decode = 0, bare = 0, reader_ms = 0;
    for (auto _ : state) {
        double start = cpu_ms();
        if (bare_loop(file, false, rgb) != kFrames) state.SkipWithError("bare loop lost frames");
        bare_decode += cpu_ms() - start;
        start = cpu_ms();
        bare_loop(file, true, rgb);
        bare += cpu_ms() - start;
        start = cpu_ms();
        FfmpegFrameReader reader;
        if (!reader.open(file)) state.SkipWithError("cannot open");
        FrameImage image;
        for (int i = 0; i < kFrames; ++i) reader.frame(i, image);
        reader_ms += cpu_ms() - start;
        benchmark::DoNotOptimize(image.pixels.data());
    }
    // Processor time per frame, opening the file included.
    const double frames = static_cast<double>(state.iterations()) * kFrames;
    state.counters["bare_decode_cpu_ms"] = bare_decode / frames;
    state.counters["bare_cpu_ms"] = bare / frames;
    state.counters["reader_cpu_ms"] = reader_ms / frames;
    state.counters["reader_over_bare"] = reader_ms / bare;
}
BENCHMARK_CAPTURE(BM_VideoSequentialVersusBareLoop, gop30, files().gop30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VideoSequentialVersusBareLoop, bframes, files().bframes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VideoSequentialVersusBareLoop, mjpeg, files().mjpeg)->Unit(benchmark::kMillisecond);

// One frame at a random index per iteration; the median and 95th percentile of the calls.
void BM_VideoRandomAccess(benchmark::State& state, const fs::path& file) {
    FfmpegFrameReader reader;
    if (!reader.open(file)) {
        state.SkipWithError("cannot open");
        return;
    }
    std::mt19937 random(5);
    FrameImage image;
    std::vector<double> wall, cpu;
    for (auto _ : state) {
        const int index = static_cast<int>(random() % kFrames);
        const auto start = Clock::now();
        const double cpu_start = cpu_ms();
        reader.frame(index, image);
        cpu.push_back(cpu_ms() - cpu_start);
        wall.push_back(ms_since(start));
    }
    state.counters["median_ms"] = median(wall);
    state.counters["p95_ms"] = wall[wall.size() * 95 / 100];
    state.counters["median_cpu_ms"] = median(cpu);
}
BENCHMARK_CAPTURE(BM_VideoRandomAccess, gop30, files().gop30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VideoRandomAccess, bframes, files().bframes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VideoRandomAccess, mjpeg, files().mjpeg)->Unit(benchmark::kMillisecond);

// One H.264 stream (1080p, B-frames, a keyframe every 250 frames) in MP4 and the same packets
// rewrapped into AVI, read as the decoder thread reads it: on FFmpeg's threads, every `stride`-th
// frame (the train at `stride` times the filming speed), converted at the 2x zoom's draw size.
const fs::path& hd_film(const char* extension) {
    static const fs::path mp4 = [] {
        files();  // the folder and the cache setting
        const fs::path file = fs::path(std::getenv("XDG_CACHE_HOME")).parent_path() / "hd.mp4";
        const std::string command = "ffmpeg -v error -y -f lavfi -i testsrc2=s=1920x1080:r=30 -frames:v 300 -c:v libx264 "
                                    "-preset ultrafast -b:v 8M -g 250 -bf 3 -x264-params bframes=3:b-adapt=0 '" + file.string() + "'";
        if (std::system(command.c_str()) != 0) std::abort();
        return file;
    }();
    static const fs::path avi = [] {
        const fs::path file = fs::path(mp4).replace_extension(".avi");
        if (std::system(("ffmpeg -v error -y -i '" + mp4.string() + "' -c copy '" + file.string() + "'").c_str()) != 0) std::abort();
        return file;
    }();
    return std::string_view(extension) == "avi" ? avi : mp4;
}

// VANTREL_HD_FILM names a filmed line to read instead of the test pattern (its first 600 frames),
// whose pictures cost more to decode.
void BM_HdFilmOnThreads(benchmark::State& state, const char* extension) {
    const char* own = std::getenv("VANTREL_HD_FILM");
    const fs::path file = own != nullptr && std::string_view(extension) == "mp4" ? fs::path(own) : hd_film(extension);
    const int stride = static_cast<int>(state.range(0));
    constexpr int kDrawWidth = 960, kDrawHeight = 540;
    std::vector<uint32_t> rgb(static_cast<size_t>(kDrawWidth * kDrawHeight));
    int shown = 0;
    double decode_ms = 0, convert_ms = 0;
    for (auto _ : state) {
        FfmpegFrameReader reader;
        if (!reader.open(file, {}, 0)) {
            state.SkipWithError("cannot open");
            return;
        }
        for (int n = 0; n < std::min(reader.length(), 600); n += stride) {
            const auto start = Clock::now();
            if (!reader.decode(n)) continue;
            decode_ms += ms_since(start);
            const auto converting = Clock::now();
            if (reader.convert(reinterpret_cast<uint8_t*>(rgb.data()), kDrawWidth * 4, kDrawWidth, kDrawHeight)) ++shown;
            convert_ms += ms_since(converting);
        }
    }
    state.counters["pictures_per_s"] = benchmark::Counter(shown, benchmark::Counter::kIsRate);
    // Wall time per picture shown: reaching it in the decoder, and converting it.
    state.counters["decode_ms"] = decode_ms / std::max(1, shown);
    state.counters["convert_ms"] = convert_ms / std::max(1, shown);
}
BENCHMARK_CAPTURE(BM_HdFilmOnThreads, mp4, "mp4")->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_CAPTURE(BM_HdFilmOnThreads, avi, "avi")->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
