#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace cardtool {

// What one played run comes to. Times in milliseconds of the wall clock: the painter hands
// large fills to worker threads, so the painting thread's own time would say too little.
struct BenchFigures {
    double loadMs = 0.0;
    // From the start of loading to the first frame painted.
    double firstFrameMs = 0.0;
    double medianFrameMs = 0.0;
    double slowestFrameMs = 0.0;
    // Frames painted per second over all of them, each frame's advance included.
    double fps = 0.0;
    long frames = 0;
};

// The figures of `frameMs`, one time per painted frame (the first frame's paint included).
BenchFigures summarise(double loadMs, double firstFrameMs, std::vector<double> frameMs);

// `cardtool bench MOVIE [--frames N] [--size WxH] [--json]`, `words` after "bench".
// Returns 0 when the movie played, 1 when it cannot be loaded, 2 on a usage error.
int benchCommand(const std::vector<std::string>& words, std::ostream& out, std::ostream& err);

} // namespace cardtool

// The same from main's argument vector; argv[0] is "bench".
int runBenchCommand(int argc, char** argv);
