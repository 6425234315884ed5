#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "support/temp_dir.h"

// What OpenAL mixes, read back from OpenAL Soft's wave-file backend. The library reads
// its configuration once per process, so a test environment chooses that backend before
// any test of the binary runs, and every device of the process writes to the same file,
// which each SoundInit starts afresh. The mixer writes in real time: waits are
// bounded polls on the growing file.
class SoundCapture {
public:
    static SoundCapture& Instance();

    // Samples are interleaved, Channels() per frame, at Rate() frames per second.
    int Channels();
    int Rate() const { return kRate; }
    size_t FrameCount();
    // False when the file did not reach that many frames within a few seconds.
    bool WaitForFrames(size_t frameCount);
    // The largest magnitude of one channel over frames [first, last).
    float Peak(size_t first, size_t last, int channel);
    float Peak(size_t first, size_t last);

    // Without the directory of the capture file the backend cannot open a device.
    void BreakDevice();
    void RepairDevice();

    static constexpr int kRate = 44100;

private:
    SoundCapture();
    // Where the samples start in the file; no channels while the header is not written.
    struct Layout {
        int channels = 0;
        size_t dataOffset = 0;
    };
    Layout ReadLayout();
    std::vector<float> ReadFrames(const Layout& layout, size_t first, size_t last);

    TempDir dir_;
    std::string deviceDir_;
    std::string file_;
};
