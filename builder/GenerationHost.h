#pragma once

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
    virtual void setBlessing(const std::string& text) = 0;
    virtual std::string password() const = 0;

    // The preview window's movie control; the window is created (not shown) when absent.
    virtual cardformat::MovieControl& previewControl() = 0;

    // Both return the chosen path, or empty text when the user cancelled.
    virtual std::string showOpenDialog(const FileDialogRequest& request) = 0;
    virtual std::string showSaveDialog(const FileDialogRequest& request) = 0;

    // Writes the note into the movie and the card; 1 on success (Swf2Exe's convention).
    virtual int writeCard(const std::string& moviePath, const std::string& cardPath,
                          cardformat::CardNote& note) = 0;
    virtual void showSuccess() = 0;
};

} // namespace builder
