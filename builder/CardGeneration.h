#pragma once

#include "GenerationHost.h"

#include "cardformat/CardNote.h"

#include <string_view>

namespace builder {

inline constexpr std::string_view MovieFilterDescription = "Flash Movie";
inline constexpr std::string_view MovieFilterPattern = "*.swf;*.spl";
inline constexpr std::string_view OpenDialogTitle = "打开...";
inline constexpr std::string_view MovieExtension = "swf";
inline constexpr std::string_view CardFilterDescription = "程序文件(*.exe)";
inline constexpr std::string_view CardFilterPattern = "*.exe";
inline constexpr std::string_view SaveDialogTitle = "选择文件...";
inline constexpr std::string_view CardExtension = "exe";
inline constexpr std::string_view CardInitialName = "vorn";
inline constexpr std::string_view SuccessText = "制作成功！";
inline constexpr std::string_view SuccessTitle = "Velmora";
inline constexpr std::string_view KeepBlessingQuestion =
    "这个动画带有它自己的祝福（见下）。保留你写的祝福，还是换成动画里的？";
inline constexpr std::string_view KeepTypedBlessing = "保留我写的";
inline constexpr std::string_view TakeMovieBlessing = "换成动画里的";

// Whether a note read from `moviePath` carries a blessing of its own: a tagged, non-empty
// entry. No note, an untagged trailer and the reader's error texts carry none.
bool noteCarriesBlessing(const cardformat::CardNote& note, const std::string& moviePath);

// The main window's card operations, as decisions over the builder state.
class CardGeneration {
  public:
    explicit CardGeneration(GenerationHost& host) : host_(host) {}

    // Asks for a movie; a chosen one goes into the preview and the source box.
    void OpenMovie();
    // The source box's browse button: load a movie, show its note's blessing and propose the
    // card path. A cancelled dialog with a path already in the box reloads what the preview
    // holds.
    void loadMovieClicked();
    // A movie chosen from the recently used ones, loaded as one from the dialog is.
    void loadMovie(const std::string& path);
    // The output box's browse button.
    void chooseCardPathClicked();
    // Builds the note from the current blessing and password and writes the card; tells the
    // person what became of it.
    void MakeCard();

  private:
    void proposeCardPath(const std::string& source);
    void showLoadedMovie(const std::string& source);

    GenerationHost& host_;
    // A card path that needs no overwrite question: the one the save dialog confirmed, or
    // the card this builder wrote there last.
    std::string confirmedCardPath_;
};

} // namespace builder
