#pragma once

class Application;

// `kav --benchmark DUMP`: replays a recorded race on the level the dump names (its
// level label; without one, the main menu) with every camera in turn for an equal
// share of the recording, draws as fast as it can, and prints the frame figures per
// camera and in all, the processor time per frame of all the process's threads (which
// depends less on what else the machine runs) and the peak resident memory. Returns the
// exit status.
int RunBenchmark(Application& app, const char* dumpName);
