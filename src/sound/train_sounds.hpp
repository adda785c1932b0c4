#pragma once
// The train's sounds while driving: the running sound that follows the speed, the
// traction-motor sounds, the diesel engine and the brake squeal. Event sounds (horns,
// doors, brakes, compressor, ATS) are played where their events happen.
namespace vantrel {

struct Run;

// Start values of the sound envelopes, after the waves are loaded.
void reset_train_sounds(Run& run);

// Running sound, motor sounds and engine (100 ms step, with the instruments).
void train_sounds_step(Run& run);

// Brake squeal (100 ms step, after the station work).
void squeal_step(Run& run);

// End of the run: stops the running, route, motor and event-hook channels. The owner of
// the sound device frees the waves by re-initialising it.
void unload_train_sounds(Run& run);

}  // namespace vantrel
