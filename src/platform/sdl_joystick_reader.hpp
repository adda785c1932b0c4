#pragma once
// The first joystick through SDL2's joystick subsystem (no video). Plugging a controller
// in later is noticed at the next poll; one pulled out reads as zeros.
#include <memory>

#include "controllers/joystick_reader.hpp"

struct _SDL_Joystick;

namespace vantrel {

class SdlJoystickReader final : public JoystickReader {
public:
    // Starts the joystick subsystem with SDL's signal handlers off, so Ctrl+C still ends
    // the program. Without SDL (init failed) every poll reads zeros.
    SdlJoystickReader();
    ~SdlJoystickReader() override;
    SdlJoystickReader(const SdlJoystickReader&) = delete;
    SdlJoystickReader& operator=(const SdlJoystickReader&) = delete;

    // Joystick 0: X and Y with the dead zone, buttons 0..15. False and zeros when no
    // joystick is attached or SDL is not available.
    bool poll(JoystickState& out) override;

    [[nodiscard]] bool available() const { return subsystem_ != nullptr; }

private:
    struct SubsystemQuit {
        void operator()(int* p) const;
    };
    struct JoystickClose {
        void operator()(_SDL_Joystick* j) const;
    };
    int subsystem_token_ = 0;
    std::unique_ptr<int, SubsystemQuit> subsystem_;  // non-null while SDL_INIT_JOYSTICK is ours
    std::unique_ptr<_SDL_Joystick, JoystickClose> joystick_;
};

}  // namespace vantrel
