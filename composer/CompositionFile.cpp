#include "composer/CompositionFile.h"

#include "composer/ComposeError.h"
#include "composer/MovieComposer.h"
#include "composer/PhotoDecoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace composer {

namespace {

constexpr std::uintmax_t kMaxFileBytes = 1 << 20; // a composition names files, it holds none
constexpr int kFormatVersion = 1;

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.generic_u8string();
    return {s.begin(), s.end()};
}

QString q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

std::string s(const QJsonValue& v) {
    return v.toString().toStdString();
}

QString pathText(const std::filesystem::path& p, const std::filesystem::path& folder) {
    if (p.empty()) {
        return {};
    }
    const std::filesystem::path relative = p.lexically_relative(folder);
    const bool inside = !relative.empty() && *relative.begin() != "..";
    return q(utf8(inside && p.is_absolute() == folder.is_absolute() ? relative : p));
}

std::filesystem::path pathFrom(const QJsonValue& v, const std::filesystem::path& folder) {
    const std::string text = s(v);
    if (text.empty()) {
        return {};
    }
    const std::filesystem::path p(std::u8string(text.begin(), text.end()));
    return p.is_absolute() ? p : folder / p;
}

} // namespace

std::string compositionText(const Composition& c, const std::filesystem::path& folder) {
    QJsonObject o;
    o["version"] = kFormatVersion;
    QJsonArray photos;
    for (const auto& p : c.photos) {
        photos.append(pathText(p, folder));
    }
    o["photos"] = photos;
    QJsonArray captions;
    for (const auto& caption : c.captions) {
        captions.append(q(caption));
    }
    o["captions"] = captions;
    // Only photos the person turned or cropped carry an edit; files without any stay as
    // they were before photos could be edited.
    if (std::any_of(c.edits.begin(), c.edits.end(),
                    [](const PhotoEdit& e) { return e != PhotoEdit{}; })) {
        QJsonArray edits;
        for (const PhotoEdit& e : c.edits) {
            QJsonObject edit;
            edit["turns"] = e.quarterTurns;
            edit["crop"] = QJsonArray{e.cropLeft, e.cropTop, e.cropWidth, e.cropHeight};
            edits.append(edit);
        }
        o["edits"] = edits;
    }
    o["music"] = pathText(c.music, folder);
    o["title"] = q(c.title);
    o["words"] = q(c.words);
    o["style"] = q(c.style);
    o["width"] = c.width;
    o["height"] = c.height;
    o["fps"] = c.fps;
    o["loop"] = c.loop;
    o["fit"] = c.fit == PhotoFit::Fit ? "fit" : "fill";
    o["length"] = c.length == MovieLength::Photos ? "photos" : "song";
    o["secondsPerPhoto"] = c.secondsPerPhoto;
    o["musicStart"] = c.musicStart;
    o["fadeIn"] = c.fadeIn;
    o["fadeOut"] = c.fadeOut;
    o["font"] = q(c.fontFamily);
    return QJsonDocument(o).toJson(QJsonDocument::Indented).toStdString();
}

Composition compositionFromText(const std::string& text, const std::filesystem::path& folder,
                                const std::filesystem::path& file) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &error);
    const QJsonObject o = doc.object();
    if (error.error != QJsonParseError::NoError || !doc.isObject() ||
        o["version"].toInt() != kFormatVersion) {
        throw ComposeError("文件 " + utf8(file) + " 不是可以打开的影片制作方案（" +
                           error.errorString().toStdString() +
                           "）。请选择用“保存方案”存下的文件。");
    }
    Composition c;
    for (const QJsonValue v : o["photos"].toArray()) {
        c.photos.push_back(pathFrom(v, folder));
    }
    for (const QJsonValue v : o["captions"].toArray()) {
        c.captions.push_back(s(v));
    }
    for (const QJsonValue v : o["edits"].toArray()) {
        const QJsonObject edit = v.toObject();
        const QJsonArray crop = edit["crop"].toArray();
        PhotoEdit e;
        e.quarterTurns = edit["turns"].toInt(0);
        e.cropLeft = crop.at(0).toDouble(0.0);
        e.cropTop = crop.at(1).toDouble(0.0);
        e.cropWidth = crop.at(2).toDouble(1.0);
        e.cropHeight = crop.at(3).toDouble(1.0);
        c.edits.push_back(normalizedEdit(e));
    }
    // No more edits than photos, so an edited file cannot make the list grow.
    if (c.edits.size() > c.photos.size()) {
        c.edits.resize(c.photos.size());
    }
    c.music = pathFrom(o["music"], folder);
    c.title = s(o["title"]);
    c.words = s(o["words"]);
    c.style = o.contains("style") ? s(o["style"]) : c.style;
    c.width = o["width"].toInt(c.width);
    c.height = o["height"].toInt(c.height);
    c.fps = o["fps"].toInt(c.fps);
    c.loop = o["loop"].toBool(false);
    c.fit = o["fit"].toString() == "fit" ? PhotoFit::Fit : PhotoFit::Fill;
    c.length = o["length"].toString() == "photos" ? MovieLength::Photos : MovieLength::Song;
    c.secondsPerPhoto = o["secondsPerPhoto"].toDouble(c.secondsPerPhoto);
    c.musicStart = o["musicStart"].toDouble(c.musicStart);
    c.fadeIn = o["fadeIn"].toDouble(c.fadeIn);
    c.fadeOut = o["fadeOut"].toDouble(c.fadeOut);
    c.fontFamily = s(o["font"]);
    return c;
}

void saveComposition(const Composition& c, const std::filesystem::path& file) {
    const std::string text = compositionText(c, file.parent_path());
    writeFileWhole(file, std::vector<uint8_t>(text.begin(), text.end()));
}

Composition loadComposition(const std::filesystem::path& file) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        throw ComposeError("找不到方案文件 " + utf8(file) + "。请检查文件名和位置。");
    }
    if (size > kMaxFileBytes) {
        throw ComposeError("文件 " + utf8(file) + " 太大，不是影片制作方案。");
    }
    std::ifstream in(file, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return compositionFromText(text, file.parent_path(), file);
}

} // namespace composer
