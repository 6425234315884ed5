#pragma once

#include <cstdio>
#include <string>

// A development switch for whole-program tests: with KAV_VIRTUAL_PAD naming a text
// file, the game plugs SDL virtual game controllers in and works their buttons and
// axes as the file's lines say, one line a frame. The test appends lines while the
// game runs; the presses then travel SDL's real controller path into the game.
//
// Lines ("pad" counts the virtual pads attached, from 1):
//   attach                      plug a new virtual pad in
//   detach <pad>                take it out
//   press <pad> <button>        SDL's button names: a, b, start, dpup, ...
//   release <pad> <button>
//   axis <pad> <axis> <value>   SDL's axis names: leftx, lefty, triggerright, ...; -32768..32767

struct VirtualPadCommand {
    enum Verb { kInvalid, kAttach, kDetach, kPress, kRelease, kAxis };
    Verb verb = kInvalid;
    int pad = 0;    // 0 for the first virtual pad
    int index = 0;  // SDL's button or axis number
    int value = 0;
};
constexpr int kMaxVirtualPads = 4;
VirtualPadCommand ParseVirtualPadCommand(const std::string& line);

// The file's lines as they are appended; a line grows to at most kMaxLine characters
// (a longer one is dropped), and each call reads a bounded amount.
class VirtualPadScript {
public:
    static constexpr size_t kMaxLine = 128;
    explicit VirtualPadScript(const std::string& path);
    ~VirtualPadScript();
    VirtualPadScript(const VirtualPadScript&) = delete;
    VirtualPadScript& operator=(const VirtualPadScript&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    // The next whole line, false when none has been written yet.
    bool NextLine(std::string& line);

private:
    bool TakeLine(std::string& line);

    std::FILE* file_ = nullptr;
    std::string pending_;
    bool skippingLongLine_ = false;
};

// Reads KAV_VIRTUAL_PAD once; nothing happens without it.
void StartVirtualPads();
// Runs the next line of the script, before the frame's events are polled.
void PumpVirtualPads();
