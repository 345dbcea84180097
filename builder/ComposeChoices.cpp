#include "ComposeChoices.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace builder {

composer::Composition compositionFor(const ComposeChoices& choices,
                                     const composer::Composition& base) {
    composer::Composition c = base;
    c.photos.clear();
    c.edits.clear();
    for (const ComposePhoto& photo : choices.photos) {
        c.photos.push_back(photo.file);
        c.edits.push_back(photo.edit);
    }
    // Captions belong to photos by place; none is kept for a photo that went.
    if (c.captions.size() > c.photos.size()) {
        c.captions.resize(c.photos.size());
    }
    c.music = choices.music;
    c.style = choices.style;
    c.title = choices.title;
    c.words = choices.words;
    if (choices.sizePreset && *choices.sizePreset < std::size(composer::kSizePresets)) {
        const composer::SizePreset& preset = composer::kSizePresets[*choices.sizePreset];
        c.width = preset.width;
        c.height = preset.height;
    }
    c.fps = choices.fps;
    c.loop = choices.loop;
    return c;
}

ComposeChoices choicesFrom(const composer::Composition& composition) {
    ComposeChoices choices;
    for (std::size_t i = 0; i < composition.photos.size(); ++i) {
        const composer::PhotoEdit edit =
            i < composition.edits.size() ? composition.edits[i] : composer::PhotoEdit{};
        choices.photos.push_back({composition.photos[i], edit});
    }
    choices.music = composition.music;
    choices.style = composition.style;
    choices.title = composition.title;
    choices.words = composition.words;
    choices.sizePreset.reset();
    for (std::size_t i = 0; i < std::size(composer::kSizePresets); ++i) {
        if (composer::kSizePresets[i].width == composition.width &&
            composer::kSizePresets[i].height == composition.height) {
            choices.sizePreset = i;
        }
    }
    choices.fps = composition.fps;
    choices.loop = composition.loop;
    return choices;
}

composer::Composition previewComposition(const ComposeChoices& choices) {
    ComposeChoices small = choices;
    if (small.photos.size() > kPreviewPhotos) {
        small.photos.resize(kPreviewPhotos);
    }
    small.music.clear();
    composer::Composition c = compositionFor(small);
    // The chosen shape, scaled down so that its long side is kPreviewLongSide.
    const composer::SizePreset& shape =
        composer::kSizePresets[small.sizePreset.value_or(0) % std::size(composer::kSizePresets)];
    const int longSide = std::max(shape.width, shape.height);
    c.width = std::max(composer::kMinStageSide, shape.width * kPreviewLongSide / longSide);
    c.height = std::max(composer::kMinStageSide, shape.height * kPreviewLongSide / longSide);
    c.fps = 12;
    c.length = composer::MovieLength::Photos;
    c.secondsPerPhoto = 2.0;
    return c;
}

std::filesystem::path moviePathFor(const std::filesystem::path& chosen) {
    std::string extension = chosen.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".swf") {
        return chosen;
    }
    std::filesystem::path withEnding = chosen;
    withEnding += ".swf";
    return withEnding;
}

} // namespace builder
