// Through SDL's own virtual joystick: found when plugged in after start-up, read with the
// dead zone, driving the handles through USBScan, and zeros once pulled out.
#include <gtest/gtest.h>

#include <SDL.h>

#include <memory>

#include "controllers/controller_fixture.hpp"
#include "controllers/usb_scan.hpp"
#include "platform/sdl_joystick_reader.hpp"

using namespace vantrel;

namespace {

struct CloseJoystick {
    void operator()(SDL_Joystick* j) const { SDL_JoystickClose(j); }
};

struct SdlJoystickTest : vantrel::test::ControllerFixture {};

}  // namespace

TEST_F(SdlJoystickTest, VirtualControllerIsFoundReadAndLost) {
    SdlJoystickReader reader;
    ASSERT_TRUE(reader.available());
    // Set before the subsystem starts: the program has no SDL window to take focus.
    EXPECT_TRUE(SDL_GetHintBoolean(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, SDL_FALSE));
    JoystickState state;
    if (SDL_NumJoysticks() > 0) GTEST_SKIP() << "a real joystick is attached";
    EXPECT_FALSE(reader.poll(state));

    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 16, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    // Our own handle on the same device sets its values; the reader sees them at its update.
    std::unique_ptr<SDL_Joystick, CloseJoystick> device(SDL_JoystickOpen(index));
    ASSERT_TRUE(device) << SDL_GetError();
    SDL_JoystickSetVirtualAxis(device.get(), 0, 1600);    // inside the dead zone
    SDL_JoystickSetVirtualAxis(device.get(), 1, -32768);  // handle pulled fully
    SDL_JoystickSetVirtualButton(device.get(), 1, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(device.get(), 15, SDL_PRESSED);

    ASSERT_TRUE(reader.poll(state));
    EXPECT_EQ(state.x, 0);
    EXPECT_EQ(state.y, -32768);
    EXPECT_TRUE(state.buttons[1]);
    EXPECT_TRUE(state.buttons[15]);
    EXPECT_FALSE(state.buttons[0]);

    JoystickControl control{.type = ControllerType::Windows};
    set_handles(0, -8);
    SDL_JoystickSetVirtualAxis(device.get(), 0, 5000);  // (5000 - 1638) * 100 / 95 = 3538: B2
    USBScan(run, reader, control);
    EXPECT_EQ(run.core.PowerHandle, 5);
    EXPECT_EQ(run.core.BrakeHandle, -2);
    EXPECT_EQ(take_posted(), (std::vector<std::string>{"1"}));

    device.reset();
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
    EXPECT_FALSE(reader.poll(state));
    EXPECT_EQ(state.x, 0);
    EXPECT_EQ(state.y, 0);
    EXPECT_FALSE(state.buttons[1]);
    USBScan(run, reader, control);  // pulled out: the handles go to notch 0 and released
    EXPECT_EQ(run.core.PowerHandle, 0);
    EXPECT_EQ(run.core.BrakeHandle, 0);
}
