#include "route/vigilance.hpp"

#include "common/fixed_point.hpp"
#include "app/run.hpp"
#include "dynamics/handles.hpp"

namespace vantrel {
namespace {

inline constexpr int32_t kBellFrom = 601;       // 60.1 s without a driver action
inline constexpr int32_t kEmergencyAt = 651;    // five seconds of bell later

}  // namespace

void vigilance_step(Run& run) {
    if (run.train.eb != 1) return;
    AtsState& ats = run.ats;
    // Following the video the driver works no handles, so the device stays off from then on.
    if (run.core.FollowVideo) ats.vigilance_off = true;
    if (ats.vigilance_off) return;

    if (run.core.Speed > kFixedOne) ++ats.vigilance_counter;
    SoundChannels& snd = run.sound();
    const int ring = run.train.sound_eb_ring;
    if (ats.vigilance_counter >= kBellFrom) {
        if (!is_playing(snd, ring)) restart(snd, ring);
        run.view.Lamp_EB = true;
    }
    if (ats.vigilance_counter >= kEmergencyAt) {
        snd.stop(ring);
        ats.vigilance_counter = 0;
        run.core.AtsEmergency = true;
        mark_handles_changed(run);
        masconupdate(run);
    }
}

void driver_action(Run& run) {
    run.ats.vigilance_counter = 0;
    run.sound().stop(run.train.sound_eb_ring);
    run.view.Lamp_EB = false;
}

}  // namespace vantrel
