#include "route/event_hook.hpp"

#include <filesystem>

#include "app/run.hpp"
#include "route/commentary.hpp"

namespace vantrel {

std::string event_source(const std::string&, bool, bool, bool, int32_t, int32_t, int32_t) { return {}; }

void apply_event_text(Run& run, std::string_view text) {
    CommentaryState& c = run.commentary;
    if (text != c.hook_text) {
        if (c.D1 && text.starts_with('0')) {
            run.view.caption_strip = std::string(text.substr(1));
            run.view.caption_strip_visible = true;
        }
        if (text.starts_with('1')) {
            SoundChannels& snd = run.sound();
            c.event_wave = snd.load_wave(std::filesystem::path(std::string(text.substr(1))));
            snd.assign(kEventHookChannel, c.event_wave);
            snd.play(kEventHookChannel);
        }
        c.hook_text = std::string(text);
    }
    if (!(c.D1 && c.hook_text.starts_with('0'))) run.view.caption_strip_visible = false;
}

void event_hook_step(Run& run) {
    const CoreState& k = run.core;
    apply_event_text(run, event_source(run.train_file, k.TractionCut, k.AtsBrake, k.AtsEmergency, k.Reverser,
                                       k.BrakeHandle, k.PowerHandle));
}

}  // namespace vantrel
