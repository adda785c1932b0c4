#include "speech/speech_texts.hpp"

#include <cstdlib>

#include "route/signal_codes.hpp"

namespace vantrel::speech {
namespace {

std::string num(int64_t v) { return std::to_string(v); }

}  // namespace

std::string Texts::speed(int32_t kmh) const {
    return ja_ ? "速度" + num(kmh) + "キロ" : "Speed " + num(kmh) + " kilometres per hour";
}

std::string Texts::limit(int32_t kmh) const {
    if (kmh <= 0) return std::string(pick("制限なし", "No speed limit"));
    return ja_ ? "制限" + num(kmh) + "キロ" : "Limit " + num(kmh);
}

std::string Texts::limit_ahead(int32_t kmh, double metres) const {
    if (kmh <= 0) return std::string(pick("この先 制限なし", "No speed limit ahead"));
    const std::string m = value_text(metres);
    return ja_ ? m + "メートル先 制限" + num(kmh) + "キロ" : "Limit " + num(kmh) + " in " + m + " metres";
}

std::string Texts::signal(std::string_view name, int32_t code) const {
    if (code == kNone) return std::string(pick("信号なし", "No signal ahead"));
    std::string_view word;
    switch (aspect_of(code)) {
        case Aspect::R: word = pick("停止", "stop"); break;
        case Aspect::YY: word = pick("警戒", "restricted speed"); break;
        case Aspect::Y: word = pick("注意", "caution"); break;
        case Aspect::YG: word = pick("減速", "reduce speed"); break;
        case Aspect::G: word = pick("進行", "clear"); break;
        case Aspect::None: word = pick("制限", "restricting"); break;
    }
    std::string out = name.empty() ? std::string(pick("信号", "Signal")) : std::string(ja_ ? "" : "Signal ") + std::string(name);
    out += ja_ ? " " : ": ";
    out += word;
    return out;
}

std::string Texts::station(std::string_view name, int32_t type) const {
    if (type < 0) return std::string(pick("この先 駅なし", "No station ahead"));
    const bool pass = type == 1;
    return ja_ ? "次は" + std::string(name) + (pass ? " 通過" : " 停車")
               : "Next: " + std::string(name) + (pass ? ", pass" : ", stop");
}

std::string Texts::stop_distance(double metres) const {
    const std::string m = value_text(metres);
    return ja_ ? "停止位置まで" + m + "メートル" : m + " metres to the stop point";
}

std::string Texts::at_stop_point() const { return std::string(pick("停止位置", "Stop point")); }

std::string Texts::stood(double metres_past) const {
    const std::string m = value_text(std::abs(metres_past));
    if (metres_past >= 0) return ja_ ? "停車 " + m + "メートル 行き過ぎ" : "Stopped " + m + " metres past the stop point";
    return ja_ ? "停車 " + m + "メートル 手前" : "Stopped " + m + " metres short of the stop point";
}

std::string Texts::time(int32_t ticks, std::string_view station, int32_t margin_s, bool has_station) const {
    const int32_t s = ticks / 30;
    const int32_t h = s / 3600, min = s / 60 % 60, sec = s % 60;
    std::string out = ja_ ? num(h) + "時" + num(min) + "分" + num(sec) + "秒"
                          : "Time " + num(h) + " " + (min < 10 ? "0" : "") + num(min) + " and " + num(sec) + " seconds";
    if (!has_station) return out;
    const std::string n(station);
    if (margin_s >= 0) {
        out += ja_ ? " " + n + "発車まで" + num(margin_s) + "秒" : ", " + num(margin_s) + " seconds in hand for " + n;
    } else {
        out += ja_ ? " " + n + " " + num(-margin_s) + "秒遅れ" : ", " + num(-margin_s) + " seconds late for " + n;
    }
    return out;
}

std::string Texts::overspeed(int32_t limit) const {
    return ja_ ? "速度超過 制限" + num(limit) + "キロ" : "Overspeed, limit " + num(limit);
}

std::string Texts::ats(int32_t code) const {
    switch (code) {
        case kAtsAlarm: return std::string(pick("ATS警報 ブレーキをかけて確認", "ATS alarm, brake and confirm"));
        case kAtsConfirmed: return std::string(pick("ATS確認", "ATS confirmed"));
        case kAtsEmergency: return std::string(pick("ATS非常ブレーキ", "ATS emergency brake"));
        case kAtsPatternNear: return std::string(pick("ATSパターン接近", "ATS pattern near"));
        case kAtsBraking: return std::string(pick("ATSブレーキ動作", "ATS braking"));
        default: return std::string(pick("ATSブレーキ緩解", "ATS brake released"));
    }
}

std::string Texts::vigilance(int32_t code) const {
    return std::string(code == 2 ? pick("EB非常ブレーキ", "Vigilance emergency brake")
                                 : pick("EB警報 操作してください", "Vigilance alarm, operate a control"));
}

std::string Texts::doors(bool open) const { return std::string(open ? pick("ドア開", "Doors open") : pick("ドア閉", "Doors closed")); }

std::string Texts::handles(const HandleWords& h) const {
    std::string out(h.reverser > 0 ? pick("前進", "Forward") : h.reverser < 0 ? pick("後進", "Reverse") : pick("中立", "Neutral"));
    out += ja_ ? " " : ", ";
    if (h.emergency) {
        out += pick("非常ブレーキ", "emergency brake");
    } else if (h.brake > 0) {
        out += ja_ ? "ブレーキ" + num(h.brake) : "brake " + num(h.brake);
    } else if (h.power > 0) {
        out += ja_ ? "力行" + num(h.power) : "power " + num(h.power);
    } else if (h.hold) {
        out += pick("抑速", "hold");
    } else {
        out += pick("切", "off");
    }
    if (h.gear == 0) out += pick(" 変速", ", converter");
    if (h.gear > 0) out += ja_ ? " 直結" + num(h.gear) : ", gear " + num(h.gear);
    return out;
}

}  // namespace vantrel::speech
