#pragma once

#include "cardformat/CardLayout.h"
#include "cardformat/CardNote.h"
#include "cardformat/MovieControl.h"

#include <string>

namespace builder {

// The parameters of one file dialog. An empty initial name or folder means none.
struct FileDialogRequest {
    std::string description;
    std::string pattern;
    std::string title;
    std::string initialFolder;
    std::string initialFileName;
    std::string defaultExtension;
    friend bool operator==(const FileDialogRequest&, const FileDialogRequest&) = default;
};

// The card being made lives in the main window's controls; generation reads and writes it
// through this, and reaches the dialogs and the card writer the same way.
class GenerationHost {
  public:
    virtual ~GenerationHost() = default;

    virtual std::string sourcePath() const = 0;
    virtual void setSourcePath(const std::string& path) = 0;
    virtual std::string outputPath() const = 0;
    virtual void setOutputPath(const std::string& path) = 0;
    virtual std::string blessing() const = 0;
    // A blessing the builder puts in place (a loaded movie's): both windows show it, and it
    // is no longer the person's own text.
    virtual void setBlessing(const std::string& text) = 0;
    // Whether the blessing is one the person wrote (never the editor's default poem).
    virtual bool blessingTyped() const = 0;
    // The loaded movie carries `noteBlessing` while the person has written another: true to
    // keep what they wrote.
    virtual bool keepTypedBlessing(const std::string& noteBlessing) = 0;
    virtual std::string password() const = 0;
    // The sender's name and the card's title as the person filled them in; empty keeps the
    // note's fixed values.
    virtual std::string author() const { return {}; }
    virtual std::string title() const { return {}; }

    // Where the person last took a movie from and put a card; empty when never. Told of
    // each movie loaded and each card path chosen or written.
    virtual std::string movieFolder() const { return {}; }
    virtual std::string cardFolder() const { return {}; }
    virtual void movieLoaded(const std::string& /*path*/) {}
    virtual void cardPathUsed(const std::string& /*path*/) {}

    // The preview window's movie control; the window is created (not shown) when absent.
    virtual cardformat::MovieControl& previewControl() = 0;

    // Both return the chosen path, or empty text when the user cancelled.
    virtual std::string showOpenDialog(const FileDialogRequest& request) = 0;
    virtual std::string showSaveDialog(const FileDialogRequest& request) = 0;

    // Writes the card (and, for an uncompressed movie, the note into the movie).
    virtual cardformat::CardOutcome writeCard(const std::string& moviePath,
                                              const std::string& cardPath,
                                              cardformat::CardNote& note) = 0;
    // Message boxes titled "Velmora": the card was made, or why not; Yes/No before a file
    // is replaced.
    virtual void showSuccess(const std::string& text) = 0;
    virtual void showFailure(const std::string& text) = 0;
    virtual bool askOverwrite(const std::string& question) = 0;
};

} // namespace builder
