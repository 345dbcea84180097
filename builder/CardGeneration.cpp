#include "CardGeneration.h"

#include "GenerationMessages.h"
#include "OutputPath.h"
#include "cardformat/GenerationNote.h"
#include "cardformat/NoteTrailer.h"
#include "cardformat/Platform.h"
#include "cardformat/TextCodec.h"

namespace builder {

bool noteCarriesBlessing(const cardformat::CardNote& note, const std::string& moviePath) {
    if (note.Blessing.empty()) {
        return false;
    }
    // The reader's texts for a movie it could not read.
    if (note.Blessing == cardformat::NoteNotSwf || note.Blessing == cardformat::NoteFailed ||
        note.Blessing == std::string(cardformat::NoteMissingFile) + moviePath) {
        return false;
    }
    // An untagged trailer reads as its bytes with these defaults.
    const bool untagged = note.Version == "0" && note.Author == cardformat::UnknownText &&
                          note.Password == cardformat::UnknownText;
    return !untagged;
}

void CardGeneration::OpenMovie() {
    FileDialogRequest request;
    request.description = MovieFilterDescription;
    request.pattern = MovieFilterPattern;
    request.title = OpenDialogTitle;
    request.defaultExtension = MovieExtension;
    request.initialFolder = host_.movieFolder();
    const std::string path = host_.showOpenDialog(request);
    if (path.empty()) {
        return;
    }
    host_.previewControl().setMovie(path);
    host_.setSourcePath(path);
    host_.movieLoaded(path);
}

void CardGeneration::loadMovieClicked() {
    OpenMovie();
    const std::string source = host_.sourcePath();
    if (source.empty()) {
        return;
    }
    showLoadedMovie(source);
}

void CardGeneration::loadMovie(const std::string& path) {
    if (path.empty()) {
        return;
    }
    host_.previewControl().setMovie(path);
    host_.setSourcePath(path);
    host_.movieLoaded(path);
    showLoadedMovie(path);
}

void CardGeneration::showLoadedMovie(const std::string& source) {
    // A compressed movie's note is read from its inflated bytes.
    const std::string movie = host_.previewControl().Movie();
    const cardformat::CardNote note = cardformat::getMovieNote(movie);
    // The blessing on screen is the one the card gets: a movie without a blessing of its own
    // leaves it as it is, and one with its own replaces only what the person did not write,
    // unless they say so.
    if (noteCarriesBlessing(note, movie) && note.Blessing != host_.blessing() &&
        !(host_.blessingTyped() && host_.keepTypedBlessing(note.Blessing))) {
        host_.setBlessing(note.Blessing);
    }
    proposeCardPath(source);
}

void CardGeneration::proposeCardPath(const std::string& source) {
    // Always replaced: a card path left from the movie loaded before would overwrite its card.
    host_.setOutputPath(deriveOutputPath(source));
}

void CardGeneration::chooseCardPathClicked() {
    FileDialogRequest request;
    request.description = CardFilterDescription;
    request.pattern = CardFilterPattern;
    request.title = SaveDialogTitle;
    request.defaultExtension = CardExtension;
    request.initialFileName = CardInitialName;
    if (const std::string folder = host_.cardFolder(); !folder.empty()) {
        request.initialFileName = folder + "/" + std::string(CardInitialName);
    }
    const std::string path = host_.showSaveDialog(request);
    if (!path.empty()) {
        host_.setOutputPath(path);
        host_.cardPathUsed(path);
        confirmedCardPath_ = path; // the dialog asked before an existing file
    }
}

void CardGeneration::MakeCard() {
    // Both values are read before any question can be shown: the companion windows stay
    // usable while a message box is up.
    cardformat::CardNote note = cardformat::makeGenerationNote(host_.password(), host_.blessing());
    // Empty fields keep the fixed values, so that older players read the card as before.
    if (const std::string author = host_.author(); !author.empty()) {
        note.Author = author;
    }
    if (const std::string title = host_.title(); !title.empty()) {
        note.Title = title;
    }
    const std::string source = host_.sourcePath();
    const std::string output = host_.outputPath();
    if (source.empty()) {
        host_.showFailure(noMovieChosenText());
        return;
    }
    if (output.empty()) {
        host_.showFailure(noCardPathText());
        return;
    }
    // Every reader refuses a longer text: the card would show no blessing at all.
    if (const std::uint64_t stored = cardformat::ansiLength(note.Blessing);
        stored > BlessingByteLimit) {
        host_.showFailure(blessingTooLongText(stored));
        return;
    }
    if (const std::uint64_t together = cardformat::ansiLength(note.Blessing) +
                                       cardformat::ansiLength(host_.author()) +
                                       cardformat::ansiLength(host_.title());
        together > BlessingByteLimit) {
        host_.showFailure(noteTextsTooLongText(together));
        return;
    }
    if (output != confirmedCardPath_ && cardformat::fileExists(output) &&
        !cardformat::sameFile(output, source) && !host_.askOverwrite(overwriteQuestion(output))) {
        return;
    }
    const cardformat::CardOutcome outcome = host_.writeCard(source, output, note);
    if (outcome != cardformat::CardOutcome::Made) {
        host_.showFailure(failureText(outcome, source, output));
        return;
    }
    confirmedCardPath_ = output;
    host_.cardPathUsed(output);
    host_.showSuccess(successText(output));
}

} // namespace builder
