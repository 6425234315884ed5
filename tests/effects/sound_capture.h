#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "support/temp_dir.h"

// The mixer output is exactly zero without sound (float samples, no dither).
constexpr float kSilent = 1e-4f;
constexpr float kAudible = 0.05f;

// What OpenAL mixes, read back from OpenAL Soft's wave-file backend. The library reads
// its configuration once per process, so a test environment chooses that backend before
// any test of the binary runs, and every device of the process writes to the same file,
// which each SoundInit starts afresh. The mixer writes in real time: waits are
// bounded polls on the growing file.
class SoundCapture {
public:
    static SoundCapture& Instance();

    static constexpr int kRate = 44100;
    size_t FrameCount();
    // False when the file did not reach that many frames within a few seconds.
    bool WaitForFrames(size_t frameCount);
    // The largest sample magnitude of any channel over frames [first, last).
    float Peak(size_t first, size_t last);
    // The peak over the given milliseconds after `action` ran. Bytes mixed just before a
    // call may reach the file just after it, so a stretch should start 50 ms or more after.
    float PeakAfter(const std::function<void()>& action, int fromMs, int toMs);

    // Without the directory of the capture file the backend cannot open a device.
    void BreakDevice();
    void RepairDevice();

private:
    SoundCapture();
    // Where the samples start in the file; 0 while the header is not written.
    size_t DataOffset();

    TempDir dir_;
    std::string deviceDir_;
    std::string file_;
};
