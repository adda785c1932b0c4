#pragma once
// The runner's sound heard: the mixer on a loopback device, rendered in step with
// virtual time and written as a 16-bit stereo WAV file.
#include <cstdint>
#include <fstream>
#include <memory>
#include <ostream>
#include <string>

#include "platform/openal_mixer.hpp"

namespace vantrel::sim {

class AudioRecording {
public:
    static constexpr int kRate = 44100;  // Hz

    // nullptr, after a message on `err`, when the file cannot be written or the mixer
    // has no loopback device.
    static std::unique_ptr<AudioRecording> open(const std::string& file, std::ostream& err);

    AudioRecording(std::unique_ptr<OpenAlMixer> mixer, std::ofstream out);
    SoundChannels& channels() { return *mixer_; }

    // Renders the mix up to virtual time `ms`: frame n of the file is at n / kRate s, so
    // the count never drifts however the time is cut.
    void advance_to(int64_t ms);
    // Completes the file's header; false, after a message on `err`, on a write error.
    bool finish(std::ostream& err);

private:
    std::unique_ptr<OpenAlMixer> mixer_;
    std::ofstream out_;
    int64_t frames_ = 0;  // rendered so far
};

}  // namespace vantrel::sim
