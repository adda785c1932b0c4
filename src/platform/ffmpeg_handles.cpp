#include "platform/ffmpeg_handles.hpp"

namespace vantrel::ff {

void OutputDeleter::operator()(AVFormatContext* c) const {
    if (c == nullptr) return;
    if (c->oformat != nullptr && (c->oformat->flags & AVFMT_NOFILE) == 0 && c->pb != nullptr) avio_closep(&c->pb);
    avformat_free_context(c);
}

std::string error_text(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace vantrel::ff
