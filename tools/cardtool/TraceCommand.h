#pragma once

// `cardtool trace MOVIE [--frames N] [--input FILE]`: plays N frames (default 1) headless and
// prints every trace() line to standard output, UTF-8, and nothing else there. argv[0] is
// "trace". Returns 0 when the movie loaded, 1 when it did not, 2 on a usage error.
int runTraceCommand(int argc, char** argv);
