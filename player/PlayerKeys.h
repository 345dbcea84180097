#pragma once

namespace player {

// The keys the player may take for itself; every other key is the movie's.
enum class PlayerKeyName { Escape, F11, M, P, Q, W, Left, Right, Other };

enum class KeyCommand {
    None, // the key goes to the movie unchanged
    LeaveFullScreen,
    ToggleFullScreen,
    TogglePlay,
    PreviousFrame,
    NextFrame,
    ToggleMute,
    End, // as "结束(&X)": the end page, then the end sequence
};

struct PlayerKey {
    PlayerKeyName name = PlayerKeyName::Other;
    bool control = false;
    bool otherModifiers = false; // Shift, Alt or the system key held too
};

// Only keys a movie cannot want are taken: games and text fields in movies need Space, the
// arrows and the letters, so those go to the movie unless Control is held; Esc is taken
// only to leave full screen.
KeyCommand keyCommandOf(const PlayerKey& key, bool fullScreen);

} // namespace player
