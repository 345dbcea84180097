#include "ComposeCommand.h"

#include "Arguments.h"
#include "CardCommands.h"
#include "OffscreenApp.h"

#include "composer/ComposeError.h"
#include "composer/CompositionFile.h"
#include "composer/MovieComposer.h"
#include "composer/Styles.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <set>

namespace cardtool {

namespace {

constexpr const char* kValued[] = {"photo",    "music",    "title",    "words",       "words-file",
                                   "style",    "size",     "fps",      "out",         "card",
                                   "blessing", "password", "template", "music-start", "caption",
                                   "font",     "fit",      "length",   "composition", "save"};

bool takesValue(const std::string& name) {
    for (const char* v : kValued) {
        if (name == v) {
            return true;
        }
    }
    return false;
}

std::filesystem::path pathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

int number(const std::string& text, const char* what) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size()) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw UsageError(std::string(what) + " must be a whole number, not " + text);
}

void sizeInto(const std::string& text, composer::Composition& c) {
    for (const composer::SizePreset& preset : composer::kSizePresets) {
        if (text == preset.name) {
            c.width = preset.width;
            c.height = preset.height;
            return;
        }
    }
    const auto x = text.find('x');
    if (x == std::string::npos) {
        throw UsageError("--size takes WxH (800x600) or 4:3, 16:9, portrait");
    }
    c.width = number(text.substr(0, x), "--size width");
    c.height = number(text.substr(x + 1), "--size height");
}

int listStyles() {
    for (const composer::Style& s : composer::allStyles()) {
        std::cout << s.name << "  " << s.description << '\n';
    }
    return 0;
}

} // namespace

int composeCommand(const std::vector<std::string>& words) {
    std::vector<std::filesystem::path> photos;
    std::vector<std::string> captions;
    std::map<std::string, std::string> single;
    std::set<std::string> flags;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (w.rfind("--", 0) != 0) {
            throw UsageError("unexpected word " + w);
        }
        const std::string name = w.substr(2);
        if (!takesValue(name)) {
            if (name != "styles" && name != "loop" && name != "yes") {
                throw UsageError("unknown option " + w);
            }
            flags.insert(name);
            continue;
        }
        if (i + 1 >= words.size()) {
            throw UsageError(w + " needs a value");
        }
        const std::string& value = words[++i];
        if (name == "photo") {
            photos.push_back(pathOf(value));
        } else if (name == "caption") {
            captions.push_back(value);
        } else {
            single[name] = value;
        }
    }
    if (flags.contains("styles")) {
        return listStyles();
    }
    if (!single.contains("out") && !single.contains("card") && !single.contains("save")) {
        throw UsageError("give --out MOVIE.swf, --card CARD.exe or --save COMPOSITION");
    }
    const auto app = makeOffscreenApplication();
    // A saved composition first; what the command line gives adds to it or replaces it.
    composer::Composition c;
    if (single.contains("composition")) {
        try {
            c = composer::loadComposition(pathOf(single["composition"]));
        } catch (const composer::ComposeError& error) {
            std::cerr << "cardtool compose: " << error.what() << '\n';
            return 1;
        }
    }
    c.photos.insert(c.photos.end(), photos.begin(), photos.end());
    c.captions.insert(c.captions.end(), captions.begin(), captions.end());
    if (single.contains("words") && single.contains("words-file")) {
        throw UsageError("give --words or --words-file, not both");
    }
    if (single.contains("words-file")) {
        std::ifstream in(pathOf(single["words-file"]), std::ios::binary);
        if (!in) {
            std::cerr << "cardtool compose: 无法读取文字文件 " << single["words-file"]
                      << "。请检查文件名和位置。\n";
            return 1;
        }
        c.words.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    c.words = single.contains("words") ? single["words"] : c.words;
    c.title = single.contains("title") ? single["title"] : c.title;
    c.music = single.contains("music") ? pathOf(single["music"]) : c.music;
    c.style = single.contains("style") ? single["style"] : c.style;
    c.fontFamily = single.contains("font") ? single["font"] : c.fontFamily;
    c.loop = c.loop || flags.contains("loop");
    if (single.contains("size")) {
        sizeInto(single["size"], c);
    }
    if (single.contains("fps")) {
        c.fps = number(single["fps"], "--fps");
    }
    if (single.contains("music-start")) {
        c.musicStart = number(single["music-start"], "--music-start");
    }
    if (single.contains("fit")) {
        if (single["fit"] != "fill" && single["fit"] != "fit") {
            throw UsageError("--fit takes fill or fit");
        }
        c.fit = single["fit"] == "fit" ? composer::PhotoFit::Fit : composer::PhotoFit::Fill;
    }
    if (single.contains("length")) {
        if (single["length"] != "song" && single["length"] != "photos") {
            throw UsageError("--length takes song or photos");
        }
        c.length = single["length"] == "photos" ? composer::MovieLength::Photos
                                                : composer::MovieLength::Song;
    }

    if (single.contains("save")) {
        try {
            composer::saveComposition(c, pathOf(single["save"]));
        } catch (const composer::ComposeError& error) {
            std::cerr << "cardtool compose: " << error.what() << '\n';
            return 1;
        }
        if (!single.contains("out") && !single.contains("card")) {
            std::cout << single["save"] << '\n';
            return 0;
        }
    }
    const auto began = std::chrono::steady_clock::now();
    std::filesystem::path moviePath;
    try {
        const composer::ComposedMovie made = composer::composeMovie(c);
        for (const std::string& notice : made.notices) {
            std::cerr << "cardtool compose: " << notice << '\n';
        }
        if (single.contains("out")) {
            moviePath = pathOf(single["out"]);
        } else {
            moviePath = pathOf(single["card"]);
            moviePath += ".swf";
        }
        composer::writeFileWhole(moviePath, made.swf);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
        std::cerr << "cardtool compose: " << made.frames << " frames, " << made.swf.size()
                  << " bytes, " << seconds << " s"
                  << (made.musicReencoded ? ", music re-encoded" : "") << '\n';
    } catch (const composer::ComposeError& error) {
        std::cerr << "cardtool compose: " << error.what() << '\n';
        return 1;
    }
    if (!single.contains("card")) {
        std::cout << single["out"] << '\n';
        return 0;
    }
    std::vector<std::string> make = {reinterpret_cast<const char*>(moviePath.u8string().c_str()),
                                     single["card"]};
    make.push_back("--blessing");
    make.push_back(single.contains("blessing") ? single["blessing"] : c.words);
    for (const char* passed : {"password", "template"}) {
        if (single.contains(passed)) {
            make.push_back(std::string("--") + passed);
            make.push_back(single[passed]);
        }
    }
    if (flags.contains("yes")) {
        make.push_back("--yes");
    }
    const int status = makeCommand(make);
    if (!single.contains("out")) {
        std::error_code ignored;
        std::filesystem::remove(moviePath, ignored);
    }
    return status;
}

} // namespace cardtool
