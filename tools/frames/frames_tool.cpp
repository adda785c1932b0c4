#include "frames/frames_tool.hpp"

#include <charconv>
#include <filesystem>
#include <string>

#include <QImage>

#include "platform/ffmpeg_frame_reader.hpp"

namespace vantrel::frames {

namespace {

constexpr size_t kMaxListed = 1'000'000;

constexpr std::string_view kUsage =
    "usage: vantrel-frames VIDEO --info\n"
    "       vantrel-frames VIDEO --get LIST [--out DIR]   (LIST: 0,5,4,300-310,299-250)\n";

std::optional<int32_t> number(std::string_view text) {
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || value < 0) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::vector<int32_t>> parse_frame_list(std::string_view list) {
    std::vector<int32_t> frames;
    while (true) {
        const size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        const size_t dash = item.find('-');
        const auto first = number(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : number(item.substr(dash + 1));
        if (!first || !last) return std::nullopt;
        const int64_t span = static_cast<int64_t>(*last) - *first;
        if (frames.size() + static_cast<size_t>(span < 0 ? -span : span) + 1 > kMaxListed) return std::nullopt;
        const int32_t step = *last >= *first ? 1 : -1;
        for (int32_t n = *first;; n += step) {
            frames.push_back(n);
            if (n == *last) break;
        }
        if (comma == std::string_view::npos) return frames;
        list.remove_prefix(comma + 1);
    }
}

int run_frames_tool(int argc, const char* const argv[], std::ostream& out, std::ostream& err) {
    if (argc < 3) {
        err << kUsage;
        return kExitUsage;
    }
    const std::filesystem::path video = argv[1];
    const std::string_view command = argv[2];
    FfmpegFrameReader reader;
    if (command == "--info" && argc == 3) {
        if (!reader.open(video)) {
            out << "frames=-1 width=0 height=0\n";
            return kExitOk;
        }
        out << "frames=" << reader.length() << " width=" << reader.width() << " height=" << reader.height() << "\n";
        return kExitOk;
    }
    if (command != "--get" || (argc != 4 && argc != 6) || (argc == 6 && std::string_view(argv[4]) != "--out")) {
        err << kUsage;
        return kExitUsage;
    }
    const auto frames = parse_frame_list(argv[3]);
    if (!frames) {
        err << "vantrel-frames: the frame list '" << argv[3] << "' is malformed\n" << kUsage;
        return kExitUsage;
    }
    const std::filesystem::path dir = argc == 6 ? argv[5] : "";
    if (!reader.open(video)) {
        err << "vantrel-frames: " << video.string() << " cannot be opened as a video\n";
        return kExitFailed;
    }
    std::error_code error;
    if (!dir.empty() && !std::filesystem::is_directory(dir, error)) {
        err << "vantrel-frames: " << dir.string() << " is no folder\n";
        return kExitFailed;
    }
    int status = kExitOk;
    QImage picture(reader.width(), reader.height(), QImage::Format_RGB32);
    for (const int32_t n : *frames) {
        if (n >= reader.length()) {
            err << "frame " << n << ": beyond the end\n";
            continue;
        }
        // Read in the order asked, as a drive would ask for them.
        if (!reader.decode(n) || !reader.convert(picture.bits(), static_cast<int>(picture.bytesPerLine()),
                                                  picture.width(), picture.height())) {
            err << "frame " << n << ": cannot be decoded\n";
            status = kExitFailed;
            continue;
        }
        if (dir.empty()) continue;
        const std::filesystem::path file = dir / (std::to_string(n) + ".png");
        if (!picture.save(QString::fromStdString(file.string()), "PNG")) {
            err << "vantrel-frames: " << file.string() << " cannot be written\n";
            return kExitFailed;
        }
    }
    return status;
}

}  // namespace vantrel::frames
