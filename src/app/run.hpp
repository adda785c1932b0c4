#pragma once
// One driving run: the train and route data, every part's run-time state, the cab view
// and the devices the logic talks to. The run is driven by MMTimer1Timer (33 ms) and
// Timer1Timer (100 ms) and by the input handlers; it never reads a clock.
#include <cstdint>
#include <string>
#include <vector>

#include "cab/cab_view.hpp"
#include "cab/strings.hpp"
#include "controllers/controller_state.hpp"
#include "controllers/joystick_reader.hpp"
#include "dynamics/core_state.hpp"
#include "dynamics/dynamics_state.hpp"
#include "dynamics/frame_source.hpp"
#include "dynamics/train_params.hpp"
#include "input/keyboard_state.hpp"
#include "route/ats_state.hpp"
#include "route/commentary_state.hpp"
#include "route/limit_state.hpp"
#include "route/route_sound_state.hpp"
#include "route/route_tables.hpp"
#include "route/station_state.hpp"
#include "sound/sound_channels.hpp"
#include "sound/train_sound_state.hpp"

namespace vantrel {

// An input posted to the driving window; it is handled after the current event.
struct PostedInput {
    bool virtual_key = false;  // true: a key-down (VirtualKey code); false: a character
    int32_t code = 0;
};

struct Run {
    Run() = default;
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

    TrainParams train;
    RouteTables route;
    Strings strings;
    std::string train_file;  // as chosen, for the event hook
    bool has_route = false;

    CoreState core;
    HandleState handles;
    TractionState traction;
    BrakeState brake;
    VideoState video;
    AtsState ats;
    StationState stations;
    LimitState limits;
    RouteSoundState route_sounds;
    CommentaryState commentary;
    TrainSoundState train_sounds;
    KeyboardState keys;
    ControllerRunState controllers;  // serial code table, live echo, joystick debug caption
    CabView view;

    bool waiting_for_start = true;  // until the first Start
    bool running = false;           // the two periodic steps are on
    int32_t window_ticks = 0;       // Timer1Timer calls so far (blinking, clock)
    int32_t drive_sound_count = 0;  // channels 0 .. d-1 hold the train's running sounds
    std::vector<PostedInput> posted;  // drained by the driver of the run after each event

    SoundChannels& sound() { return *sound_; }
    FrameSource& frames() { return *frames_; }
    JoystickReader& joystick() { return *joystick_; }
    // The controller type, last state sum and calibration: the program's, which outlive a run.
    JoystickControl& joystick_control() { return *joystick_control_; }
    void attach(SoundChannels& s) { sound_ = &s; }
    void attach(FrameSource& f) { frames_ = &f; }
    void attach(JoystickReader& j) { joystick_ = &j; }
    void attach(JoystickControl& c) { joystick_control_ = &c; }

private:
    NullSoundChannels null_sound_;
    NullFrameSource null_frames_;
    NullJoystickReader null_joystick_;
    JoystickControl own_joystick_control_;
    SoundChannels* sound_ = &null_sound_;
    FrameSource* frames_ = &null_frames_;
    JoystickReader* joystick_ = &null_joystick_;
    JoystickControl* joystick_control_ = &own_joystick_control_;
};

// Posts an Enter key press (a commentary request) to the window.
inline void post_enter(Run& run) { run.posted.push_back({true, 13}); }

// Route sound i plays on this channel; -1 (no channel) when the sum lies beyond the
// mixer's channels. The sum is formed in 64 bits, before any bound applies.
[[nodiscard]] inline int route_sound_channel(const Run& run, int32_t i) {
    const int64_t ch = static_cast<int64_t>(run.drive_sound_count) + i;
    return ch >= 0 && ch < kChannelCount ? static_cast<int>(ch) : -1;
}

}  // namespace vantrel
