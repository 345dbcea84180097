#include "CardGeneration.h"

#include "OutputPath.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/NoteTrailer.h"

namespace builder {

void CardGeneration::OpenMovie() {
    FileDialogRequest request;
    request.description = MovieFilterDescription;
    request.pattern = MovieFilterPattern;
    request.title = OpenDialogTitle;
    request.defaultExtension = MovieExtension;
    const std::string path = host_.showOpenDialog(request);
    if (path.empty())
        return;
    host_.previewControl().setMovie(path);
    host_.setSourcePath(path);
}

void CardGeneration::loadMovieClicked() {
    OpenMovie();
    const std::string source = host_.sourcePath();
    if (source.empty())
        return;
    const cardformat::CardNote note = cardformat::getNote(host_.previewControl().Movie());
    host_.setBlessing(note.Blessing);
    if (auto derived = deriveOutputPath(source))
        host_.setOutputPath(*derived);
}

void CardGeneration::chooseCardPathClicked() {
    FileDialogRequest request;
    request.description = CardFilterDescription;
    request.pattern = CardFilterPattern;
    request.title = SaveDialogTitle;
    request.defaultExtension = CardExtension;
    request.initialFileName = CardInitialName;
    const std::string path = host_.showSaveDialog(request);
    if (!path.empty())
        host_.setOutputPath(path);
}

void CardGeneration::MakeCard() {
    // Both values are read before any question can be shown: the companion windows stay
    // usable while a message box is up.
    cardformat::CardNote note = cardformat::makeGenerationNote(host_.password(), host_.blessing());
    const std::string source = host_.sourcePath();
    const std::string output = host_.outputPath();
    if (source.empty() || output.empty())
        return;
    if (host_.writeCard(source, output, note) == 1)
        host_.showSuccess();
}

} // namespace builder
