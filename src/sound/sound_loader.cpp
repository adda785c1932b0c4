#include "sound/sound_loader.hpp"

#include <vector>

#include "app/run.hpp"
#include "sound/train_sounds.hpp"

namespace vantrel {
namespace {


int load(SoundChannels& sound, const PathResolver& resolver, const std::string& name) {
    if (name.empty()) return -1;
    return sound.load_wave(resolver.resolve_or_literal(name));
}

}  // namespace

std::optional<std::string> load_sounds(Run& run, const PathResolver& resolver) {
    SoundChannels& sound = run.sound();
    const auto& drive = run.train.drive_sounds;
    const auto& route = run.route.sound_data;
    const auto& motor = run.train.motor_sounds;
    const int d = static_cast<int>(drive.size());
    const int s = static_cast<int>(route.size());
    if (d + s > kChannelCount || kMotorChannel + static_cast<int>(motor.size()) > kChannelCount)
        return std::string(kTooManyChannels);
    run.drive_sound_count = d;

    for (int i = 0; i < d; ++i) sound.assign(i, load(sound, resolver, drive[i]));
    for (int i = 0; i < s; ++i) sound.assign(d + i, load(sound, resolver, route[i]));
    for (size_t i = 0; i < motor.size(); ++i)
        sound.assign(kMotorChannel + static_cast<int>(i), load(sound, resolver, motor[i].file));

    CommentaryState& k = run.commentary;
    k.phrase_waves.clear();
    k.phrase_numbers.clear();
    for (const auto& name : run.route.kanko_sound1) {
        k.phrase_waves.push_back(load(sound, resolver, name));
        k.phrase_numbers.push_back(0);
    }
    int32_t number = 0;
    for (const auto& name : run.route.kanko_sound2) {
        k.phrase_waves.push_back(load(sound, resolver, name));
        k.phrase_numbers.push_back(number++);
    }
    k.sign_waves.clear();
    for (const auto& other : run.route.other_images) k.sign_waves.push_back(load(sound, resolver, other.wave));

    const int c = static_cast<int>(k.phrase_waves.size());
    for (int ch = 0; ch < d + s + c && ch < kChannelCount; ++ch) sound.stop(ch);
    for (size_t i = 0; i < motor.size(); ++i) sound.stop(kMotorChannel + static_cast<int>(i));
    reset_train_sounds(run);
    return std::nullopt;
}

}  // namespace vantrel
