// What a flash.display.Loader loaded, made into content under the loader: a picture's
// pixels for a Bitmap, or a movie kept in the player's library whose root timeline plays in
// a clip under the loader at the host's frame rate. An ActionScript 3 movie's blocks run in
// the same machine, its SymbolClass tags binding its own characters; an older movie's
// scripts run in an ActionScript 1/2 machine of its own (As3HostedMovies.cpp).
#include "As3Scripts.h"

#include "LoadableFile.h"
#include "MovieFolder.h"
#include "swf/AbcTags.h"

#include <algorithm>
#include <initializer_list>
#include <span>

namespace mc {

namespace {

// Movies inside movies a Loader may nest: a movie that loads itself stops here.
constexpr int kMaxLoadedNesting = 8;
// Ancestors climbed to count that nesting.
constexpr int kMaxClimb = 4096;

int loadedNesting(const DisplayObject& loader) {
    int nesting = 0;
    const DisplayObject* o = &loader;
    for (int i = 0; o != nullptr && i < kMaxClimb; ++i, o = o->parent) {
        if (o->parent != nullptr && o->library != o->parent->library) {
            ++nesting;
        }
    }
    return nesting;
}

// LoaderInfo.contentType of a picture, by its file's signature.
std::string pictureType(std::span<const std::uint8_t> bytes) {
    const auto starts = [&](std::initializer_list<std::uint8_t> sig) {
        return bytes.size() >= sig.size() && std::equal(sig.begin(), sig.end(), bytes.begin());
    };
    if (starts({0x89, 'P', 'N', 'G'})) {
        return "image/png";
    }
    if (starts({'G', 'I', 'F', '8'})) {
        return "image/gif";
    }
    return "image/jpeg";
}

} // namespace

std::string As3Scripts::runLoadedTags(const swf::Movie& movie, std::uint16_t library) {
    std::string documentClass;
    // The loader chose the domain the movie's code goes into; its symbols are named there.
    tree_->setLibraryDomain(library, vm_->currentDomain());
    try {
        for (const swf::AbcTag& tag : swf::findAbcTags(movie)) {
            if (tag.kind == swf::AbcTag::Kind::DoAbc) {
                vm_->loadFrameAbc(tag.abc, tag.lazy);
                continue;
            }
            for (const auto& [id, name] : tag.symbols) {
                if (id == 0) {
                    documentClass = name;
                } else {
                    tree_->setLoadedSymbolClass(library, id, name);
                    vm_->defineSymbolClass(name);
                }
            }
        }
        // The loaded movie's blocks run at once: its content needs its classes now.
        vm_->runEntryPoints();
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: the content stays, as far as its scripts got.
    }
    return documentClass;
}

std::optional<avm2::LoadedContent> As3Scripts::placeContent(avm2::NodeId loaderNode,
                                                            std::vector<std::uint8_t> bytes,
                                                            const std::string& url) {
    DisplayObject* loader = tree_->find(loaderNode);
    if (loader == nullptr || player_ == nullptr || bytes.size() > MovieFolder::kMaxFileBytes ||
        loadedNesting(*loader) >= kMaxLoadedNesting) {
        return std::nullopt;
    }
    avm2::LoadedContent content;
    content.frameRate = movie_.header.frameRate();
    if (const auto size = pictureSize(bytes)) {
        if (!callbacks_.decodePicture) {
            return std::nullopt;
        }
        content.picture = callbacks_.decodePicture(bytes);
        if (!content.picture) {
            return std::nullopt;
        }
        content.kind = avm2::LoadedContent::Kind::Picture;
        content.contentType = pictureType(bytes);
        content.width = size->width;
        content.height = size->height;
        content.swfVersion = movie_.header.version;
        return content;
    }
    const std::size_t fileBytes = bytes.size();
    auto file = readLoadableFile(std::move(bytes), movie_.header.version);
    if (!file || !file->movie) {
        return std::nullopt;
    }
    MovieLibrary& library = player_->library();
    const auto index =
        library.add(std::move(file->movie), url, fileBytes, std::move(file->ownedBytes));
    const swf::Movie* movie = index ? library.movie(*index) : nullptr;
    if (movie == nullptr) {
        return std::nullopt;
    }
    const bool actionScript3 = movie->header.version >= 9 && movie->actionScript3;
    const avm2::NodeId node = tree_->createNode(avm2::NodeKind::MovieClip);
    DisplayObject* clip =
        node != 0 && tree_->insertChild(loaderNode, node, 0) ? tree_->find(node) : nullptr;
    // An older movie's machine is there before its first frame, whose scripts it runs.
    const bool hosted = clip != nullptr && !actionScript3 && hostOlderMovie(*clip, *movie, *index);
    if (clip == nullptr || !player_->levels().replaceContent(*clip, *index)) {
        if (node != 0) {
            releaseContent(node);
            tree_->detach(node);
        }
        return std::nullopt;
    }
    content.contentType = "application/x-shockwave-flash";
    const swf::Rect& frame = movie->header.frameRect;
    content.node = node;
    content.width = (static_cast<double>(frame.xMax) - frame.xMin) / 20.0;
    content.height = (static_cast<double>(frame.yMax) - frame.yMin) / 20.0;
    content.frameRate = movie->header.frameRate();
    content.swfVersion = movie->header.version;
    if (actionScript3) {
        content.kind = avm2::LoadedContent::Kind::Movie;
        const std::string documentClass = runLoadedTags(*movie, *index);
        if (!documentClass.empty()) {
            tree_->setContentClass(node, documentClass);
        }
    } else {
        content.kind = avm2::LoadedContent::Kind::OlderMovie;
        if (hosted) {
            // Its first frame is whole, scripts and all, before the loader hears init.
            player_->events().runQueuedScripts();
        }
    }
    return content;
}

} // namespace mc
