#pragma once
// The process environment as the program wants it before Qt and the sound library read
// it: settings in an absolute place, and no library chatter without a sound card.
namespace vantrel {

// Drops a relative XDG_CONFIG_HOME (invalid by the XDG rules: Qt would write the settings
// into the current folder) and quiets OpenAL's log unless the player set a level; without
// a sound card OpenAL is kept from ALSA, whose library prints a page of failures.
void settle_environment();

}  // namespace vantrel
