#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace composer {

enum class PhotoFit {
    Fill, // covers the stage, cropping what sticks out
    Fit,  // whole photo inside the stage, on the style's background
};

enum class MovieLength {
    Song,   // as long as the song; the photos share its length evenly
    Photos, // the photos' own length; the song is cut and faded to it
};

// How the person turned and cropped one photo before it goes into the movie.
struct PhotoEdit {
    int quarterTurns = 0; // clockwise, after the camera's own orientation
    // The part kept, as shares (0..1) of the turned photo's width and height.
    double cropLeft = 0.0;
    double cropTop = 0.0;
    double cropWidth = 1.0;
    double cropHeight = 1.0;
    friend bool operator==(const PhotoEdit&, const PhotoEdit&) = default;
};

// The smallest share of a side a crop keeps: a sliver would be blown up to mush.
inline constexpr double kMinCropShare = 0.05;

// What the person chose: everything the composer needs to make one movie.
struct Composition {
    std::vector<std::filesystem::path> photos;
    std::filesystem::path music;       // empty: no music
    std::string title;                 // UTF-8
    std::string words;                 // UTF-8, may hold several lines
    std::vector<std::string> captions; // per photo, optional (missing or empty: none)
    std::vector<PhotoEdit> edits;      // per photo, optional (missing: as taken)
    std::string style = "简约";
    int width = 800;
    int height = 600;
    int fps = 24;
    bool loop = false; // false: stop at the end with a replay button
    PhotoFit fit = PhotoFit::Fill;
    MovieLength length = MovieLength::Song;
    double secondsPerPhoto = 4.0; // the photos' own length, and without music
    double musicStart = 0.0;      // seconds into the song
    double fadeIn = 1.0;          // seconds; only where the song is re-encoded anyway
    double fadeOut = 2.0;
    std::string fontFamily; // empty: Noto Sans CJK
};

// The stage sizes offered by name.
struct SizePreset {
    const char* name;
    int width;
    int height;
};
inline constexpr SizePreset kSizePresets[] = {
    {"4:3", 800, 600},
    {"16:9", 960, 540},
    {"portrait", 540, 960},
};

// Bounds on what the composer takes.
inline constexpr std::size_t kMaxPhotos = 300;
inline constexpr double kMaxPhotoMegapixels = 200.0;
inline constexpr int kMaxFrames = 32767; // the player counts frames in a signed 16-bit value
inline constexpr int kMinStageSide = 64;
inline constexpr int kMaxStageSide = 2880;

} // namespace composer
