#pragma once
// The words of each announcement in Japanese and in English. Both tables live here, in the
// logic, so that a speech log is the same on every machine whatever the desktop's locale.
#include <cstdint>
#include <string>
#include <string_view>

#include "speech/utterance.hpp"

namespace vantrel::speech {

// What a handle announcement describes.
struct HandleWords {
    int32_t reverser = 0;  // 1 forward, 0 neutral, -1 backward
    int32_t power = 0;     // notch, 0 off
    int32_t brake = 0;     // service notch, 0 released
    bool emergency = false;
    bool hold = false;
    int32_t gear = -1;  // manual gears: 0 converter, 1.. direct; -1 none to speak of
};

class Texts {
public:
    explicit Texts(Language language) : ja_(language == Language::Japanese) {}

    [[nodiscard]] std::string speed(int32_t kmh) const;
    [[nodiscard]] std::string limit(int32_t kmh) const;  // 0: none
    [[nodiscard]] std::string limit_ahead(int32_t kmh, double metres) const;  // kmh 0: none ahead
    [[nodiscard]] std::string signal(std::string_view name, int32_t code) const;  // 999: none
    [[nodiscard]] std::string station(std::string_view name, int32_t type) const;  // type -1: none ahead
    [[nodiscard]] std::string stop_distance(double metres) const;
    [[nodiscard]] std::string at_stop_point() const;
    [[nodiscard]] std::string stood(double metres_past) const;  // negative: short of the point
    [[nodiscard]] std::string time(int32_t ticks, std::string_view station, int32_t margin_s, bool has_station) const;
    [[nodiscard]] std::string overspeed(int32_t limit) const;
    [[nodiscard]] std::string ats(int32_t code) const;  // see AtsWord
    [[nodiscard]] std::string vigilance(int32_t code) const;  // 1 alarm, 2 emergency brake
    [[nodiscard]] std::string doors(bool open) const;
    [[nodiscard]] std::string handles(const HandleWords& h) const;

private:
    [[nodiscard]] std::string_view pick(std::string_view ja, std::string_view en) const { return ja_ ? ja : en; }
    bool ja_;
};

// Codes of the ATS announcement.
enum AtsWord : int32_t {
    kAtsReleased = 0, kAtsAlarm = 1, kAtsConfirmed = 2, kAtsEmergency = 3, kAtsPatternNear = 4, kAtsBraking = 5,
};

}  // namespace vantrel::speech
