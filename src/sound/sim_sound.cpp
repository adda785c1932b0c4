#include "sound/sim_sound.hpp"

#include <cstdio>

namespace vantrel::sim {

SimSoundChannels::SimSoundChannels(WaveInfoReader& reader) : reader_(reader), channels_(kChannelCount) {}

// A wave the reader refuses never reaches the device: its reason is given here, once.
int SimSoundChannels::load_wave(const std::filesystem::path& file) {
    auto read = reader_.read(file);
    if (const auto* reason = std::get_if<std::string>(&read)) {
        refuse(file, *reason);
        return -1;
    }
    const WaveLength length = std::get<WaveLength>(read);
    if (!budget_.fits(length.frames)) {
        refuse(file, kWaveBudgetReason);
        return -1;
    }
    budget_.take(length.frames);
    waves_.push_back({file.filename().string(), length, device_ ? device_->load_wave(file) : -1});
    return static_cast<int>(waves_.size()) - 1;
}

void SimSoundChannels::refuse(const std::filesystem::path& file, const std::string& reason) {
    if (errors_ && refused_.insert(file.string()).second) *errors_ << file.string() << reason << '\n';
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
    // Playing once until the wave's length has passed: (now - start) ms x rate < frames x 1000.
    const WaveLength& w = waves_[c.wave].length;
    const auto played = static_cast<uint64_t>(now_ - c.started) * static_cast<uint64_t>(w.sample_rate);
    if (played < static_cast<uint64_t>(w.frames) * 1000u) return kStatusPlaying;
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
