#pragma once
// Key presses and wheel turns of every window, turned into the driving session's inputs.
class QKeyEvent;
class QWheelEvent;

namespace vantrel {

class DriveSession;

// Virtual keys go to keydowns, then the typed character to AsciiDown. False: not ours.
bool route_key(DriveSession& session, const QKeyEvent& event);

// One WheelU / WheelD per notch; `remainder` keeps the part of a notch that fine-grained
// wheels deliver in pieces.
void route_wheel(DriveSession& session, const QWheelEvent& event, int& remainder);

}  // namespace vantrel
