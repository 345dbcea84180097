#pragma once
// What SoundMixer hands scripts of the movie's sound of the moment: 512 numbers, 256 for the
// left channel and then 256 for the right, either the waveform itself (-1..1) or, in FFT
// mode, the strength of each frequency band (0..1), as music visualisers draw them.

#include <cstddef>
#include <vector>

namespace avm2 {

class Machine;
struct Class;

constexpr std::size_t kLevelBands = 256;

// From the last frames mixed (interleaved stereo, oldest first; missing frames are silence):
// every (stretchFactor + 1)-th frame of the newest, as waveform or as band magnitudes.
// Always 2 * kLevelBands values.
std::vector<float> soundLevels(const std::vector<float>& recent, bool fft, int stretchFactor);

// The frames soundLevels reads at a stretch factor.
std::size_t levelFrames(bool fft, int stretchFactor);

void installSoundLevels(Machine& m, Class* soundMixer);

} // namespace avm2
