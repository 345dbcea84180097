#pragma once

// `cardtool render MOVIE --out PNG [--frames N] [--scale S] [--quality high|low]`.
// argv[0] is "render". Returns 0 on success, 1 when the movie cannot be loaded or the picture
// not written, 2 on a usage error.
int runRenderCommand(int argc, char** argv);
