#include "app/timer1.hpp"

#include "app/run.hpp"
#include "cab/instruments.hpp"
#include "controllers/usb_scan.hpp"
#include "dynamics/air_brake.hpp"
#include "dynamics/motion.hpp"
#include "dynamics/traction.hpp"
#include "route/ats.hpp"
#include "route/commentary.hpp"
#include "route/limits.hpp"
#include "route/route_sounds.hpp"
#include "route/signals.hpp"
#include "route/stations.hpp"
#include "route/vigilance.hpp"
#include "sound/train_sounds.hpp"

namespace vantrel {

void Timer1Timer(Run& run) {
    ++run.window_ticks;
    speed_readout(run);
    dynamics_step(run);
    compressor_step(run);
    engine_output_step(run);
    ammeter_step(run);
    // The joystick acts before the needles, so a handle moved shows in this same step.
    USBScan(run, run.joystick(), run.joystick_control());
    instruments_step(run);
    train_sounds_step(run);

    if (run.has_route) {
        door_closing_completion(run);
        speed_limit_blink(run);
    }
    clock_step(run);
    if (run.has_route) {
        sound_triggers_step(run);
        announcements_step(run);
        doppler_step(run);
        train_gradient_step(run);
        gradient_display_step(run);
        signal_aspects(run);
        tunnels_step(run);
        signal_ahead(run);
        cab_signal_ats(run);
        alarm_ats(run);
        pattern_ats(run);
        speed_limits_step(run);
        speed_checks_step(run);
        stations_step(run);
        stop_alert_step(run);
    }
    vigilance_step(run);
    if (run.has_route) signs_step(run);
    squeal_step(run);
    stopline_step(run);
    event_hook_step(run);
    kanko_queue_play(run);
}

bool start1Click(Run& run) {
    run.running = !run.running;
    run.waiting_for_start = false;
    return run.running;
}

}  // namespace vantrel
