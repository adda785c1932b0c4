#include "sound/sim_sound.hpp"

#include <cstdio>

namespace vantrel::sim {

SimSoundChannels::SimSoundChannels() : channels_(kChannelCount) {}

int SimSoundChannels::load_wave(const std::filesystem::path& file) {
    const auto info = read_wave_header(file);
    if (!info || info->byte_rate == 0) return -1;
    waves_.push_back({file.filename().string(), *info, device_ ? device_->load_wave(file) : -1});
    return static_cast<int>(waves_.size()) - 1;
}

void SimSoundChannels::assign(int channel, int wave) {
    if (!valid(channel)) return;
    Channel& c = channels_[channel];
    c = Channel{};
    if (wave >= 0 && wave < static_cast<int>(waves_.size())) c.wave = wave;
    log(channel, "assign", c.wave >= 0 ? waves_[c.wave].name : std::string());
    if (device_) device_->assign(channel, c.wave >= 0 ? waves_[c.wave].device_wave : -1);
}

void SimSoundChannels::play(int channel) {
    if (!valid(channel)) return;
    log(channel, "play");
    if (device_) device_->play(channel);
    Channel& c = channels_[channel];
    if (c.wave < 0) return;
    c.playing = true;
    c.looping = false;
    c.started = now_;
}

void SimSoundChannels::play_looping(int channel) {
    if (!valid(channel)) return;
    log(channel, "loop");
    if (device_) device_->play_looping(channel);
    Channel& c = channels_[channel];
    if (c.wave < 0) return;
    c.playing = true;
    c.looping = true;
    c.started = now_;
}

void SimSoundChannels::stop(int channel) {
    if (!valid(channel)) return;
    log(channel, "stop");
    if (device_) device_->stop(channel);
    channels_[channel].playing = false;
    channels_[channel].looping = false;
}

int SimSoundChannels::status(int channel) {
    if (!valid(channel)) return kStatusStopped;
    if (device_) return device_->status(channel);
    Channel& c = channels_[channel];
    if (!c.playing) return kStatusStopped;
    if (c.looping) return kStatusLooping;
    // Playing once until the wave's length has passed: (now - start) s x byte rate < data bytes.
    const WaveInfo& w = waves_[c.wave].info;
    const auto played = static_cast<uint64_t>(now_ - c.started) * w.byte_rate;
    if (played < static_cast<uint64_t>(w.data_bytes) * 1000u) return kStatusPlaying;
    c.playing = false;
    return kStatusStopped;
}

void SimSoundChannels::set_volume(int channel, int hundredths_db) {
    if (!valid(channel)) return;
    log(channel, "volume", std::to_string(hundredths_db));
    if (device_) device_->set_volume(channel, hundredths_db);
    channels_[channel].volume = hundredths_db;
}

void SimSoundChannels::set_frequency_ratio(int channel, double ratio) {
    if (!valid(channel)) return;
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", ratio);
    log(channel, "frequency", text);
    if (device_) device_->set_frequency_ratio(channel, ratio);
    channels_[channel].ratio = ratio;
}

int SimSoundChannels::volume(int channel) const { return valid(channel) ? channels_[channel].volume : 0; }

double SimSoundChannels::frequency_ratio(int channel) const {
    return valid(channel) ? channels_[channel].ratio : 1.0;
}

void SimSoundChannels::log(int channel, const char* operation, const std::string& value) {
    if (!log_) return;
    *log_ << now_ << ',' << channel << ',' << operation << ',' << value << '\n';
}

}  // namespace vantrel::sim
