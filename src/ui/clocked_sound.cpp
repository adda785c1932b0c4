#include "ui/clocked_sound.hpp"

namespace vantrel {

int ClockedSound::load_wave(const std::filesystem::path& file) {
    const int wave = model_.load_wave(file);
    const int device_wave = device_.load_wave(file);
    if (wave >= 0) {
        if (device_waves_.size() <= static_cast<size_t>(wave)) device_waves_.resize(static_cast<size_t>(wave) + 1, -1);
        device_waves_[static_cast<size_t>(wave)] = device_wave;
    }
    return wave;
}

void ClockedSound::assign(int channel, int wave) {
    model_.assign(channel, wave);
    const bool known = wave >= 0 && static_cast<size_t>(wave) < device_waves_.size();
    device_.assign(channel, known ? device_waves_[static_cast<size_t>(wave)] : -1);
}

void ClockedSound::play(int channel) {
    model_.play(channel);
    device_.play(channel);
}

void ClockedSound::play_looping(int channel) {
    model_.play_looping(channel);
    device_.play_looping(channel);
}

void ClockedSound::stop(int channel) {
    model_.stop(channel);
    device_.stop(channel);
}

void ClockedSound::set_volume(int channel, int hundredths_db) {
    model_.set_volume(channel, hundredths_db);
    device_.set_volume(channel, hundredths_db);
}

void ClockedSound::set_frequency_ratio(int channel, double ratio) {
    model_.set_frequency_ratio(channel, ratio);
    device_.set_frequency_ratio(channel, ratio);
}

}  // namespace vantrel
