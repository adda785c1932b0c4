#include "app/trace.hpp"

#include <charconv>
#include <cstdio>

#include "app/run.hpp"

namespace vantrel::sim {
namespace {

void put(std::string& out, int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void put4(std::string& out, long double v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
    if (r.ec == std::errc{}) {
        out.append(buf, r.ptr);
    } else {
        const int n = std::snprintf(buf, sizeof buf, "%.4Lf", v);
        out.append(buf, n > 0 ? static_cast<size_t>(n) : 0);
    }
}

void put_csv_text(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void put_json_text(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

class JsonObject {
public:
    explicit JsonObject(std::string& out) : out_(out) { out_ += '{'; }
    void key(std::string_view k) {
        if (!first_) out_ += ',';
        first_ = false;
        put_json_text(out_, k);
        out_ += ':';
    }
    void text(std::string_view k, std::string_view v) { key(k); put_json_text(out_, v); }
    void flag(std::string_view k, bool v) { key(k); out_ += v ? "true" : "false"; }
    void number(std::string_view k, int64_t v) { key(k); put(out_, v); }
    void picture(std::string_view k, int v) {
        key(k);
        if (v < 0) {
            out_ += "null";
        } else {
            put(out_, v);
        }
    }
    void close() { out_ += '}'; }

private:
    std::string& out_;
    bool first_ = true;
};

}  // namespace

std::string_view trace_header() {
    return "t_ms,clock_ticks,frame,speed,distance,reverser,power_handle,brake_handle,hold,power_notch,"
           "brake_notch,sap_notch,tractive_force,resistance_force,bc,bc_gauge,er,mr,sap,gradient,wheel,"
           "ammeter,gear,engine_rev,ats_emergency,ats_brake,filmed_speed,signal_code,ats_target,ats_alarm,"
           "pattern_state,doors_open,station,label4,remaining,vigilance,limit_shown,other_image,"
           "preceding_frame";
}

void append_trace_row(std::string& out, int64_t t_ms, const Run& run) {
    const CoreState& c = run.core;
    auto col = [&](int64_t v) {
        put(out, v);
        out += ',';
    };
    col(t_ms);
    col(c.ClockTicks);
    col(c.Frame);
    col(c.Speed);
    put4(out, c.Distance);
    out += ',';
    col(c.Reverser);
    col(c.PowerHandle);
    col(c.BrakeHandle);
    col(c.HoldPosition);
    col(c.PowerNotch);
    col(c.BrakeNotch);
    col(c.SapNotch);
    col(c.TractiveForce);
    col(c.ResistanceForce);
    col(c.BcPressure);
    col(c.BcGauge);
    col(c.ErPressure);
    col(c.MrPressure);
    col(c.SapPressure);
    col(c.Gradient);
    out += wheel_state_text(c.Wheel);
    out += ',';
    col(run.traction.shown_current);
    col(run.traction.gear);
    put4(out, run.traction.EngineRev);
    out += ',';
    col(c.AtsEmergency);
    col(c.AtsBrake);
    col(run.video.FilmedSpeed);
    col(run.ats.CurrentSignalCode);
    col(run.ats.AtsTarget);
    col(run.ats.AtsAlarm);
    col(run.ats.PatternState);
    col(c.TractionCut);
    col(run.stations.current_station);
    put_csv_text(out, run.view.Label4);
    out += ',';
    put4(out, c.RemainingDistance);
    out += ',';
    col(run.ats.vigilance_counter);
    col(run.limits.displayed_limit);
    col(run.limits.other_content);
    put(out, run.video.PrecedingFrame);
    out += '\n';
}

void append_view_json(std::string& out, int64_t t_ms, const Run& run) {
    const CabView& v = run.view;
    JsonObject j(out);
    j.number("t_ms", t_ms);
    j.text("caption", v.caption);
    j.text("Label1", v.Label1);
    j.text("PowerLabel", v.PowerLabel);
    j.text("BrakeLabel", v.BrakeLabel);
    j.text("GearLabel", v.GearLabel);
    j.flag("GearLabel_visible", v.GearLabel_visible);
    j.picture("Lamp_P", v.Lamp_P);
    j.picture("Lamp_B", v.Lamp_B);
    j.picture("Lamp_Gear", v.Lamp_Gear);
    j.picture("SignalImage", v.SignalImage);
    j.text("SignalLabel", v.SignalLabel);
    j.flag("SignalLabel_visible", v.SignalLabel_visible);
    j.picture("SpeedLimitImage", v.SpeedLimitImage);
    j.flag("SpeedLimitImage_visible", v.SpeedLimitImage_visible);
    j.picture("OtherImage", v.OtherImage);
    j.picture("SlopeImage", v.SlopeImage);
    j.text("SlopeText", v.SlopeText);
    j.picture("stop", v.stop);
    j.number("stopline_top", v.stopline_top);
    j.text("Label4", v.Label4);
    j.text("Label3", v.Label3);
    j.text("digi_speed", v.digi_speed);
    j.text("CarsLabel", v.CarsLabel);
    j.flag("Lamp_Door", v.Lamp_Door);
    j.flag("Lamp_Power", v.Lamp_Power);
    j.flag("Lamp_Gen", v.Lamp_Gen);
    j.flag("Lamp_EB", v.Lamp_EB);
    j.flag("Lamp_Air", v.Lamp_Air);
    j.flag("Lamp_Ele", v.Lamp_Ele);
    j.flag("Lamp_Ats", v.Lamp_Ats);
    j.flag("Lamp_Atsp1", v.Lamp_Atsp1);
    j.flag("Lamp_Atsp2", v.Lamp_Atsp2);
    j.flag("Lamp_G", v.Lamp_G);
    j.flag("Lamp_YG", v.Lamp_YG);
    j.flag("Lamp_Y", v.Lamp_Y);
    j.flag("Lamp_YY", v.Lamp_YY);
    j.flag("Lamp_R", v.Lamp_R);
    j.flag("Lamp_Fwd", v.Lamp_Fwd);
    j.flag("Lamp_Bck", v.Lamp_Bck);
    j.flag("Lamp_stopalert", v.Lamp_stopalert);
    j.flag("Panel2", v.Panel2);
    j.key("Others");
    out += '[';
    for (size_t i = 0; i < v.Others.size(); ++i) out += i ? (v.Others[i] ? ",true" : ",false") : (v.Others[i] ? "true" : "false");
    out += ']';
    j.flag("clock_drawn", v.clock_drawn);
    j.number("hour_x", v.hour_x);
    j.number("hour_y", v.hour_y);
    j.number("minute_x", v.minute_x);
    j.number("minute_y", v.minute_y);
    j.number("second_x", v.second_x);
    j.number("second_y", v.second_y);
    j.number("card_left", v.card_left);
    j.number("card_top", v.card_top);
    j.text("caption_strip", v.caption_strip);
    j.flag("caption_strip_visible", v.caption_strip_visible);
    j.flag("value_display_visible", v.value_display_visible);
    j.close();
    out += '\n';
}

}  // namespace vantrel::sim
