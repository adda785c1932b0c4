#include "route/commentary.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "route/stations.hpp"

namespace vantrel {

namespace {

constexpr int32_t kOpeningSlot = 101;  // opening phrase of the departure commentary
constexpr int32_t kLinkSlot = 121;     // linking phrase
constexpr int32_t kTimeCheck0 = 900, kTimeCheck1 = 901;  // OtherImage time-check prompts

bool is_stop_code(int32_t code) {
    return code == 0 || code == 3 || code == 6 || code == 9 || code == 13 || code == 17;
}

// Phrase slot of the aspect word of a display code, or -1 for none.
int32_t aspect_slot(int32_t code) {
    switch (code) {
        case 0: case 3: case 6: case 9: case 13: case 17: return 0;
        case 14: case 18: return 1;
        case 4: case 7: case 10: case 15: case 19: return 2;
        case 11: case 20: return 3;
        case 2: case 5: case 8: case 12: case 16: case 21: return 4;
        case 1: return 5;
        default: return -1;
    }
}

bool in(int32_t v, int32_t lo, int32_t hi) { return lo <= v && v <= hi; }

bool queue_empty(const CommentaryState& c) { return c.queue[0] == kNoWave; }

[[nodiscard]] bool standing(const Run& run) { return round_int(real(run.core.Speed)) == 0; }

// A blank file name in a list creates no wave at all, which the queue cannot hold; a
// named file that failed to load is still a wave and takes its turn silently. Lists
// not known (tables built without a route file) count as named.
[[nodiscard]] bool unnamed(const std::vector<std::string>& names, size_t i) {
    return i < names.size() && names[i].empty();
}

[[nodiscard]] bool phrase_unnamed(const RouteTables& route, size_t slot) {
    const auto& first = route.kanko_sound1;
    return slot < first.size() ? unnamed(first, slot) : unnamed(route.kanko_sound2, slot - first.size());
}

[[nodiscard]] bool sign_unnamed(const RouteTables& route, size_t i) {
    return i < route.other_images.size() && route.other_images[i].wave.empty();
}

}  // namespace

void kanko_queue_add(Run& run, int wave) {
    CommentaryState& c = run.commentary;
    c.busy = true;
    const auto slot = std::find(c.queue.begin(), c.queue.end(), kNoWave);
    if (slot != c.queue.end()) *slot = wave;  // a full queue drops the phrase
    c.busy = false;
}

void kanko_queue_add_slot(Run& run, int32_t slot) {
    const auto& waves = run.commentary.phrase_waves;
    if (slot < 0 || static_cast<size_t>(slot) >= waves.size()) return;
    if (phrase_unnamed(run.route, static_cast<size_t>(slot))) return;
    kanko_queue_add(run, waves[static_cast<size_t>(slot)]);
}

void kanko_queue_play(Run& run) {
    CommentaryState& c = run.commentary;
    SoundChannels& snd = run.sound();
    if (c.busy || is_playing(snd, kCommentaryChannel)) return;
    if (c.head_playing) {
        c.head_playing = false;
        std::copy(c.queue.begin() + 1, c.queue.end(), c.queue.begin());
        c.queue.back() = kNoWave;
    }
    if (queue_empty(c) && c.end_flag) {
        restart_looping(snd, run.train.sound_stop);
        c.end_flag = false;
    }
    if (!queue_empty(c)) {
        // A wave that failed to load leaves the channel empty: the phrase passes silently.
        snd.assign(kCommentaryChannel, c.queue[0]);
        snd.play(kCommentaryChannel);
        c.head_playing = true;
    }
}

void kanko_add(Run& run, int32_t which) {
    const int32_t signal = run.ats.signal_index;
    for (const CommentaryLink& r : run.route.signal_kanko) {
        if (r.index != signal) continue;
        if (which == 1) {
            if (r.kind == 0) kanko_queue_add_slot(run, r.value);
        } else if (which == 2) {
            if (r.kind == 2) {
                kanko_queue_add_slot(run, kLinkSlot);
                kanko_queue_add_slot(run, r.value);
            } else if (r.kind == 1) {
                if (in(r.value, 67, 96)) kanko_queue_add_slot(run, kLinkSlot);
                kanko_queue_add_slot(run, r.value);
                if (r.value == 95) {
                    kanko_queue_add_slot(run, kLinkSlot);
                    run.commentary.end_flag = true;
                }
            }
        }
    }
}

void kanko_station_add(Run& run, int32_t which) {
    const int32_t station = run.stations.current_station;
    if (which == 3) kanko_queue_add_slot(run, kOpeningSlot);
    for (const CommentaryLink& r : run.route.station_kanko) {
        if (r.index != station) continue;
        if (which == 1 && r.kind == 0) {
            if (r.value > 998)
                Timekanko(run, r.value);
            else
                kanko_queue_add_slot(run, r.value);
        } else if ((which == 2 && r.kind == 1) || (which == 3 && r.kind == 2)) {
            if (which == 3 && r.value > 998) {
                Timekanko(run, r.value);
                continue;
            }
            if (in(r.value, 67, 94) || in(r.value, 104, 116)) kanko_queue_add_slot(run, kLinkSlot);
            kanko_queue_add_slot(run, r.value);
        }
    }
    if (which == 1 && !is_stop_code(run.ats.CurrentSignalCode)) post_enter(run);
    if (which == 3) post_enter(run);
}

void commentary_request(Run& run) {
    CommentaryState& c = run.commentary;
    const int32_t content = run.limits.other_content;
    if (content != kNone && !standing(run)) {
        if (content == kTimeCheck0) {
            Timecheck(run, 0);
        } else if (content == kTimeCheck1) {
            Timecheck(run, 1);
        } else if (content != c.last_sign) {
            const auto i = static_cast<size_t>(content);
            if (content >= 0 && i < c.sign_waves.size() && !sign_unnamed(run.route, i))
                kanko_queue_add(run, c.sign_waves[i]);
            c.last_sign = content;
        }
        return;
    }
    const int32_t code = run.ats.CurrentSignalCode;
    if (code != kNone) {
        const int32_t number = run.ats.commentary_number;
        for (size_t slot = 0; slot < c.phrase_numbers.size(); ++slot) {
            if (c.phrase_numbers[slot] != number) continue;
            kanko_add(run, 1);
            kanko_queue_add_slot(run, static_cast<int32_t>(slot));
        }
    }
    const int32_t aspect = aspect_slot(code);
    if (aspect >= 0) kanko_queue_add_slot(run, aspect);
    kanko_add(run, 2);
}

void D1Click(Run& run) { run.commentary.D1 = !run.commentary.D1; }

}  // namespace vantrel
