#include "ui/key_input.hpp"

#include <optional>

#include <QKeyEvent>
#include <QWheelEvent>

#include "ui/drive_session.hpp"

namespace vantrel {

namespace {

std::optional<VirtualKey> virtual_key_of(int key) {
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return VirtualKey::Enter;
    if (key == Qt::Key_ScrollLock) return VirtualKey::ScrollLock;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return static_cast<VirtualKey>(static_cast<int>(VirtualKey::F1) + (key - Qt::Key_F1));
    return std::nullopt;
}

}  // namespace

bool route_key(DriveSession& session, const QKeyEvent& event) {
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    if (const auto vk = virtual_key_of(event.key())) {
        session.virtual_key(*vk, mods == Qt::ShiftModifier);  // Enter types its character too
        return true;
    }
    const QString text = event.text();
    if (text.size() != 1) return false;
    // Control characters (Esc, Backspace, Tab, Ctrl+letter) are characters too: every one
    // is a driver action for the vigilance device.
    const char16_t c = text.at(0).unicode();
    if (c == 0 || c >= 0x7F) return false;
    session.key(static_cast<char>(c));
    return true;
}

void route_wheel(DriveSession& session, const QWheelEvent& event, int& remainder) {
    remainder += event.angleDelta().y();
    while (remainder >= 120) {
        remainder -= 120;
        session.wheel(true);
    }
    while (remainder <= -120) {
        remainder += 120;
        session.wheel(false);
    }
}

}  // namespace vantrel
