#pragma once
// The report of one drive: each station's scheduled and actual times and stop error,
// every emergency brake with its place, and each stretch run over a speed limit. It
// watches the run after each 100 ms step and never changes it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct Run;

struct StationReport {
    std::string name;
    bool stop = true;  // a stopping station (type 0 or 2); false: passed by timetable
    std::optional<int32_t> scheduled_arrival, scheduled_departure;  // ticks
    std::optional<int32_t> arrival;    // ticks; the passing time at a pass station
    std::optional<int32_t> departure;  // ticks
    std::optional<int32_t> stop_error_cm;  // positive: past the stop point
    bool inside_platform = true;  // the train stood within the platform's frames
    bool missed = false;          // a stopping station run through without a stop
};

enum class EmergencyKind { Ats, Vigilance };

struct EmergencyReport {
    EmergencyKind kind = EmergencyKind::Ats;
    int32_t time = 0;  // ticks
    int32_t frame = 0;
    long double metres = 0;
};

struct OverspeedReport {
    int32_t limit = 0;       // km/h
    int32_t over_by = 0;     // km/h, the most by which the limit was exceeded
    int32_t time = 0;        // ticks when it began
    int32_t duration = 0;    // ticks
    int32_t frame = 0;       // where it began
    long double metres = 0;  // where it began
};

struct RunReportData {
    std::string line_name;
    std::string train;
    std::vector<StationReport> stations;
    std::vector<EmergencyReport> emergencies;
    std::vector<OverspeedReport> overspeed;
};

class RunReport {
public:
    // Reads the timetable of a loaded run; call before its first step.
    void begin(const Run& run);
    // After each 100 ms step.
    void observe(const Run& run);

    // The report so far, a stretch over a limit still running included.
    [[nodiscard]] RunReportData result() const;
    // The train stands at the last stopping station with its doors open.
    [[nodiscard]] bool finished() const { return finished_; }

private:
    struct StationWatch {
        long double stop_cm = 0;
        bool has_stop_point = false;
        int32_t mid_frame = 0;
        bool here = false;  // stood in this station's stop zone since the last departure
        bool start = false;  // the run began standing here
    };

    void watch_stations(const Run& run, bool standing, bool started);
    void watch_emergency(const Run& run);
    void watch_speed(const Run& run, int32_t speed);

    RunReportData data_;
    std::vector<StationWatch> watch_;
    int32_t last_stop_ = -1;
    int32_t last_frame_ = 0;
    long double last_distance_ = 0;  // cm
    int32_t last_vigilance_ = 0;
    bool was_standing_ = true;
    bool was_emergency_ = false;
    bool finished_ = false;
    std::optional<OverspeedReport> open_overspeed_;
};

// The limit in force at the train's head: the lowest speed-limit zone it is in, else the
// line's top speed ([Speed_G]); nullopt where neither applies.
[[nodiscard]] std::optional<int32_t> speed_limit_at(const Run& run);

}  // namespace vantrel
