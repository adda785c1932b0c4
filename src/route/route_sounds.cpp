#include "route/route_sounds.hpp"

#include <cmath>
#include <cstdlib>

#include "common/fixed_point.hpp"
#include "app/run.hpp"

namespace vantrel {

namespace {

// Within 5 frames of a point, either side.
bool near(int32_t point, int32_t frame) { return std::abs(static_cast<int64_t>(point) - frame) < 5; }

}  // namespace

void sound_triggers_step(Run& run) {
    const auto& triggers = run.route.sounds;
    auto& played = run.route_sounds.trigger_played;
    if (played.size() < triggers.size()) played.resize(triggers.size(), false);
    SoundChannels& snd = run.sound();
    const int32_t frame = run.core.Frame;
    const long double v = real(run.core.Speed);

    for (size_t i = 0; i < triggers.size(); ++i) {
        const SoundTrigger& t = triggers[i];
        const int ch = route_sound_channel(run, t.sound);
        if (ch < 0) continue;  // beyond the mixer's channels: plays nowhere
        if (t.mode == 0) {
            if (near(t.start, frame)) {
                if (!played[i]) restart(snd, ch);
                played[i] = true;
            }
        } else if (t.mode == 1 || t.mode == 2) {
            if (near(t.start, frame) && !played[i]) {
                restart_looping(snd, ch);
                played[i] = true;
            }
            if (near(t.end, frame) && played[i]) snd.stop(ch);
        }
        if (t.start < frame && frame < t.end) {
            // A reference speed of 0 or below would divide by zero: such a trigger keeps
            // the wave's own pitch and plays at its own level while the train moves.
            const bool has_ref = t.ref_speed > 0;
            const long double ratio = has_ref ? v / t.ref_speed : 1.0L;
            if ((t.mode == 0 || t.mode == 1) && has_ref) snd.set_frequency_ratio(ch, static_cast<double>(ratio));
            if (t.mode == 2) snd.set_frequency_ratio(ch, 1.0);
            if (run.core.Speed > 0)
                snd.set_volume(ch, has_ref ? round_int(std::log10(ratio) * 2000.0L) : 0);
            else
                snd.set_volume(ch, -10000);
        }
    }
}

void announcements_step(Run& run) {
    if (run.route.one_man != 0) return;
    SoundChannels& snd = run.sound();
    const int32_t frame = run.core.Frame;
    for (const Announcement& a : run.route.announcements) {
        const int ch = route_sound_channel(run, a.sound);
        if (ch < 0) continue;
        if (static_cast<int64_t>(a.frame) - 5 < frame && frame < static_cast<int64_t>(a.frame) + 5 &&
            !is_playing(snd, ch))
            restart(snd, ch);
    }
}

void doppler_step(Run& run) {
    SoundChannels& snd = run.sound();
    const int32_t frame = run.core.Frame;
    const long double v = real(run.core.Speed);
    for (const DopplerSource& d : run.route.dopplers) {
        const int ch = route_sound_channel(run, d.sound);
        if (ch < 0) continue;
        if (d.start <= frame && frame <= d.centre) {
            snd.set_frequency_ratio(ch, static_cast<double>(1220.0L / (1220.0L - v)));
            // A source whose start is its centre is at full level there.
            const long double span = static_cast<long double>(d.centre) - d.start;
            const long double level = span > 0 ? -(d.centre - static_cast<long double>(frame)) / span * 1000.0L : 0.0L;
            snd.set_volume(ch, round_int(level));
        } else if (d.centre < frame && frame < d.end) {
            snd.set_frequency_ratio(ch, static_cast<double>(1220.0L / (1220.0L + v)));
            const long double span = static_cast<long double>(d.end) - d.centre;
            snd.set_volume(ch, round_int(-(frame - static_cast<long double>(d.centre)) / span * 1000.0L));
        }
        if (d.end <= frame && static_cast<int64_t>(frame) < static_cast<int64_t>(d.end) + 10) snd.stop(ch);
        if (d.start <= frame && frame <= d.end && !is_playing(snd, ch)) restart_looping(snd, ch);
    }
}

void tunnels_step(Run& run) {
    const int32_t frame = run.core.Frame;
    bool inside = false;
    for (const Tunnel& t : run.route.tunnels)
        if (t.start < frame && frame < t.end) inside = true;
    run.view.Panel2 = inside;
}

void announce_next(Run& run) {
    const auto& list = run.route.announcements;
    int32_t& p = run.route_sounds.announce_pointer;
    if (p < 0 || p >= static_cast<int32_t>(list.size())) return;
    SoundChannels& snd = run.sound();
    const int ch = route_sound_channel(run, list[static_cast<size_t>(p)].sound);
    if (ch >= 0 && is_playing(snd, ch)) return;
    const int previous = p > 0 ? route_sound_channel(run, list[static_cast<size_t>(p) - 1].sound) : -1;
    if (previous >= 0) snd.stop(previous);
    if (ch >= 0) restart(snd, ch);
    ++p;
}

void announce_back(Run& run) {
    const auto& list = run.route.announcements;
    int32_t& p = run.route_sounds.announce_pointer;
    if (p <= 0) return;
    // A pointer left beyond the list (a jump to a station) steps back without a sound to stop.
    if (static_cast<size_t>(p) - 1 < list.size()) {
        const int ch = route_sound_channel(run, list[static_cast<size_t>(p) - 1].sound);
        if (ch >= 0) run.sound().stop(ch);
    }
    --p;
}

}  // namespace vantrel
