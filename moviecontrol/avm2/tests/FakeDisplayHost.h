#pragma once
// A display tree in memory for the display classes' tests: nodes with children, names,
// kinds and timelines, and a host that traces into a list like FakeHost.

#include "FakeHost.h"
#include "StyleSheet.h"
#include "TextDocument.h"
#include "avm2/DisplayHost.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace avm2test {

class FakeDisplayHost final : public avm2::DisplayHost {
  public:
    struct Node {
        avm2::NodeId parent = 0;
        std::vector<avm2::NodeId> children;
        std::string name;
        avm2::NodeKind kind = avm2::NodeKind::MovieClip;
        std::string symbolClass;
        std::uint32_t frame = 0;
        std::uint32_t frames = 1;
        std::uint32_t declared = 0; // the header's count; 0: as many as present
        std::vector<avm2::SceneRange> scenes;
        std::vector<avm2::FrameLabelAt> labels;
        bool playing = true;
        bool byTimeline = false;
        double numbers[11] = {0, 0, 1, 1, 0, 1, 0, 0, 1, 0, 0};
        avm2::Object* object = nullptr;
    };
    static constexpr avm2::NodeId kRoot = 1;
    static constexpr avm2::NodeId kStage = 999;
    std::map<avm2::NodeId, Node> nodes{{kRoot, Node{}}};
    std::vector<avm2::NodeId> gotos;
    avm2::NodeId nextId = 100;

    // A timeline child placed under `parent` at the top, with no script object yet.
    avm2::NodeId place(avm2::NodeId parent, const std::string& name,
                       avm2::NodeKind kind = avm2::NodeKind::MovieClip,
                       const std::string& symbolClass = {}) {
        const avm2::NodeId id = nextId++;
        Node n;
        n.parent = parent;
        n.name = name;
        n.kind = kind;
        n.symbolClass = symbolClass;
        nodes[id] = n;
        nodes[parent].children.push_back(id);
        return id;
    }

    avm2::NodeId rootNode() override { return kRoot; }
    // The nodes a timeline placed (whose names are fixed); none unless a test says so.
    std::set<avm2::NodeId> timelinePlaced;
    // What each node covers, the same in any space; empty when not given.
    std::map<avm2::NodeId, Box> boxes;
    Box bounds(avm2::NodeId node, avm2::NodeId, bool) override {
        const auto it = boxes.find(node);
        return it != boxes.end() ? it->second : Box{};
    }
    avm2::NodeId stageNode() override { return kStage; }
    avm2::NodeId parentOf(avm2::NodeId node) override {
        if (node == kRoot) {
            return kStage;
        }
        auto it = nodes.find(node);
        return it != nodes.end() ? it->second.parent : 0;
    }
    std::size_t childCount(avm2::NodeId node) override {
        if (node == kStage) {
            return 1;
        }
        auto it = nodes.find(node);
        return it != nodes.end() ? it->second.children.size() : 0;
    }
    avm2::NodeId childAt(avm2::NodeId node, std::size_t index) override {
        if (node == kStage) {
            return index == 0 ? kRoot : 0;
        }
        auto it = nodes.find(node);
        return it != nodes.end() && index < it->second.children.size() ? it->second.children[index]
                                                                       : 0;
    }
    avm2::NodeKind kindOf(avm2::NodeId node) override { return nodes[node].kind; }
    std::uint16_t symbolOf(avm2::NodeId) override { return 0; }
    std::string symbolClass(avm2::NodeId node) override { return nodes[node].symbolClass; }
    bool onStage(avm2::NodeId node) override {
        for (int i = 0; node != 0 && i < 1000; ++i, node = parentOf(node)) {
            if (node == kRoot || node == kStage) {
                return true;
            }
        }
        return false;
    }
    avm2::NodeId createNode(avm2::NodeKind kind) override {
        const avm2::NodeId id = nextId++;
        Node n;
        n.kind = kind;
        n.name = "instance" + std::to_string(id);
        nodes[id] = n;
        return id;
    }
    bool insertChild(avm2::NodeId parent, avm2::NodeId child, std::size_t index) override {
        for (avm2::NodeId up = parent; up != 0; up = parentOf(up)) {
            if (up == child) {
                return false;
            }
        }
        detach(child);
        auto& list = nodes[parent].children;
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(std::min(index, list.size())),
                    child);
        nodes[child].parent = parent;
        return true;
    }
    void detach(avm2::NodeId child) override {
        const avm2::NodeId parent = nodes[child].parent;
        if (parent != 0) {
            std::erase(nodes[parent].children, child);
        }
        nodes[child].parent = 0;
    }
    // A button's records: the states each shows and the kind and name of what it places.
    struct ButtonRecord {
        std::uint8_t states = 0;
        avm2::NodeKind kind = avm2::NodeKind::Shape;
        std::string name;
    };
    std::map<avm2::NodeId, std::vector<ButtonRecord>> buttons;
    std::vector<std::uint8_t> buttonRecords(avm2::NodeId button) override {
        std::vector<std::uint8_t> states;
        for (const ButtonRecord& r : buttons[button]) {
            states.push_back(r.states);
        }
        return states;
    }
    avm2::NodeId makeButtonPart(avm2::NodeId button, std::size_t index) override {
        const auto& records = buttons[button];
        return index < records.size() ? place(button, records[index].name, records[index].kind) : 0;
    }
    void clearButton(avm2::NodeId button) override {
        for (avm2::NodeId child : std::vector<avm2::NodeId>(nodes[button].children)) {
            detach(child);
        }
    }
    std::string nameOf(avm2::NodeId node) override { return nodes[node].name; }
    void setName(avm2::NodeId node, const std::string& name) override { nodes[node].name = name; }
    bool placedByTimeline(avm2::NodeId node) override {
        const auto it = nodes.find(node);
        return timelinePlaced.contains(node) || (it != nodes.end() && it->second.byTimeline);
    }
    double number(avm2::NodeId node, avm2::NodeProperty p) override {
        return nodes[node].numbers[static_cast<int>(p)];
    }
    void setNumber(avm2::NodeId node, avm2::NodeProperty p, double value) override {
        nodes[node].numbers[static_cast<int>(p)] = value;
    }
    // What the drawing API, BitmapData.draw and applyFilter and blendMode handed over.
    std::vector<avm2::GraphicsOp> graphicsOps;
    std::vector<avm2::DisplayHost::BitmapDraw> bitmapDraws;
    std::vector<avm2::FilterValue> bitmapFilters;
    std::map<avm2::NodeId, std::string> blendModes;
    void graphics(avm2::NodeId, const avm2::GraphicsOp& op) override { graphicsOps.push_back(op); }
    void drawIntoBitmap(pixels::BitmapPixels&, const BitmapDraw& draw) override {
        bitmapDraws.push_back(draw);
    }
    bool filterIntoBitmap(pixels::BitmapPixels&, const pixels::BitmapPixels&, pixels::Placement,
                          const avm2::FilterValue& filter) override {
        bitmapFilters.push_back(filter);
        return true;
    }
    void setBlendMode(avm2::NodeId node, const std::string& name) override {
        blendModes[node] = name;
    }
    // Masks, scroll windows and backgrounds as set.
    std::map<avm2::NodeId, avm2::NodeId> masks;
    std::map<avm2::NodeId, std::array<double, 4>> windows;
    std::map<avm2::NodeId, std::uint32_t> backgrounds;
    void setMask(avm2::NodeId node, avm2::NodeId mask) override { masks[node] = mask; }
    std::optional<std::array<double, 4>> scrollRectOf(avm2::NodeId node) override {
        auto it = windows.find(node);
        return it != windows.end() ? std::optional(it->second) : std::nullopt;
    }
    void setScrollRect(avm2::NodeId node,
                       const std::optional<std::array<double, 4>>& window) override {
        if (window) {
            windows[node] = *window;
        } else {
            windows.erase(node);
        }
    }
    // Nine-slice grids as set.
    std::map<avm2::NodeId, std::array<double, 4>> grids;
    std::optional<std::array<double, 4>> scalingGridOf(avm2::NodeId node) override {
        auto it = grids.find(node);
        return it != grids.end() ? std::optional(it->second) : std::nullopt;
    }
    void setScalingGrid(avm2::NodeId node,
                        const std::optional<std::array<double, 4>>& grid) override {
        if (grid) {
            grids[node] = *grid;
        } else {
            grids.erase(node);
        }
    }
    std::optional<std::uint32_t> opaqueBackgroundOf(avm2::NodeId node) override {
        auto it = backgrounds.find(node);
        return it != backgrounds.end() ? std::optional(it->second) : std::nullopt;
    }
    void setOpaqueBackground(avm2::NodeId node, std::optional<std::uint32_t> color) override {
        if (color) {
            backgrounds[node] = *color;
        } else {
            backgrounds.erase(node);
        }
    }
    // The bitmap symbols classes stand for.
    std::map<std::string, pixels::BitmapPixels> classBitmaps;
    std::optional<pixels::BitmapPixels> bitmapOfClass(const std::string& className) override {
        auto it = classBitmaps.find(className);
        return it != classBitmaps.end() ? std::optional(it->second) : std::nullopt;
    }
    // Text nodes keep a text model; the others answer their name.
    struct Field {
        mc::TextDocument document;
        mc::TextFormat newFormat;
    };
    std::map<avm2::NodeId, Field> fields;
    Field* field(avm2::NodeId node) {
        auto it = nodes.find(node);
        if (it == nodes.end() || it->second.kind != avm2::NodeKind::Text) {
            return nullptr;
        }
        return &fields[node];
    }
    std::string text(avm2::NodeId node, bool html) override {
        if (Field* f = field(node)) {
            return html ? mc::printHtml(f->document) : unicode::fromUtf16(f->document.text());
        }
        return nodes[node].name;
    }
    void setText(avm2::NodeId node, const std::string& text, bool html) override {
        if (Field* f = field(node)) {
            f->document = html ? mc::parseHtml(text, f->newFormat, {}) : mc::TextDocument{};
            if (!html) {
                f->document.append(unicode::toUtf16(text), f->newFormat);
            }
            return;
        }
        nodes[node].name = text;
    }
    void setStyledText(avm2::NodeId node, const std::string& html,
                       const mc::StyleSheet& styles) override {
        if (Field* f = field(node)) {
            mc::HtmlOptions options;
            options.styles = &styles;
            f->document = mc::parseHtml(html, f->newFormat, options);
        }
    }
    // The lines a field was laid out in, as a test gives them.
    std::map<avm2::NodeId, TextLines> lines;
    TextLines textLines(avm2::NodeId node) override {
        auto it = lines.find(node);
        return it != lines.end() ? it->second : TextLines{};
    }
    mc::TextDocument* textDocument(avm2::NodeId node) override {
        Field* f = field(node);
        return f != nullptr ? &f->document : nullptr;
    }
    mc::TextFormat* textNewFormat(avm2::NodeId node) override {
        Field* f = field(node);
        return f != nullptr ? &f->newFormat : nullptr;
    }
    // Fonts the movie would embed, and the classes SymbolClass would tie to them.
    std::vector<EmbeddedFont> fonts;
    std::map<std::string, EmbeddedFont> fontClasses;
    std::vector<EmbeddedFont> embeddedFonts() override { return fonts; }
    std::optional<EmbeddedFont> fontOfClass(const std::string& className) override {
        auto it = fontClasses.find(className);
        return it != fontClasses.end() ? std::optional<EmbeddedFont>(it->second) : std::nullopt;
    }
    std::map<std::pair<avm2::NodeId, std::string>, std::string> textSettings;
    std::string textSetting(avm2::NodeId node, const std::string& name) override {
        auto it = textSettings.find({node, name});
        return it != textSettings.end() ? it->second : std::string();
    }
    void setTextSetting(avm2::NodeId node, const std::string& name,
                        const std::string& value) override {
        textSettings[{node, name}] = value;
    }
    // The filters last given to a node, as the renderer would get them.
    std::map<avm2::NodeId, std::vector<avm2::FilterValue>> filters;
    void setFilters(avm2::NodeId node, const std::vector<avm2::FilterValue>& f) override {
        filters[node] = f;
    }
    std::vector<avm2::FilterValue> filtersOf(avm2::NodeId node) override { return filters[node]; }
    // Colour transforms kept as given, for the nodes given one.
    std::map<avm2::NodeId, std::array<double, 8>> colors;
    std::optional<std::array<double, 8>> colorTransformOf(avm2::NodeId node) override {
        const auto it = colors.find(node);
        return it != colors.end() ? std::optional(it->second) : std::nullopt;
    }
    void setColorTransform(avm2::NodeId node, const std::array<double, 8>& c) override {
        colors[node] = c;
    }
    void toGlobal(avm2::NodeId, double&, double&, bool) override {}
    // The nodes whose drawing covers every stage point.
    std::set<avm2::NodeId> drawn;
    bool hitTestPoint(avm2::NodeId node, double, double, bool) override {
        return drawn.count(node) != 0;
    }
    double stageWidth() override { return 550; }
    double stageHeight() override { return 400; }
    double frameRate() override { return 24; }
    double movieBytes() override { return 1000; }
    int version = 10;
    int movieVersion() override { return version; }
    std::uint32_t currentFrame(avm2::NodeId node) override { return nodes[node].frame; }
    std::uint32_t frameCount(avm2::NodeId node) override { return nodes[node].frames; }
    bool playing(avm2::NodeId node) override { return nodes[node].playing; }
    void gotoFrame(avm2::NodeId node, std::uint32_t frame, bool play) override {
        nodes[node].frame = frame;
        nodes[node].playing = play;
    }
    std::int64_t frameOfLabel(avm2::NodeId node, const std::string& label) override {
        for (const avm2::FrameLabelAt& l : nodes[node].labels) {
            if (l.name == label) {
                return l.frame;
            }
        }
        return label == "end" ? 2 : -1;
    }
    std::uint32_t declaredFrameCount(avm2::NodeId node) override {
        return nodes[node].declared != 0 ? nodes[node].declared : nodes[node].frames;
    }
    std::vector<avm2::SceneRange> scenes(avm2::NodeId node) override { return nodes[node].scenes; }
    std::vector<avm2::FrameLabelAt> frameLabels(avm2::NodeId node) override {
        return nodes[node].labels;
    }
    void setPlaying(avm2::NodeId node, bool playing) override { nodes[node].playing = playing; }
    std::string currentLabel(avm2::NodeId node) override {
        std::string best;
        for (const avm2::FrameLabelAt& l : nodes[node].labels) {
            if (l.frame <= nodes[node].frame) {
                best = l.name;
            }
        }
        return best;
    }
    void scriptedGoto(avm2::NodeId node) override { gotos.push_back(node); }
    void nestedButtonFrame() override {
        if (log != nullptr) {
            log->emplace_back("nested frame");
        }
    }
    void scriptedGotoRemoved(avm2::NodeId node, std::uint32_t fromFrame) override {
        if (log != nullptr) {
            log->push_back("left " + nodes[node].name + " frame " + std::to_string(fromFrame) +
                           " for " + std::to_string(nodes[node].frame));
        }
    }
    bool alive(avm2::NodeId node) override { return node == kStage || nodes.count(node) != 0; }
    // Where the goto hooks write what they heard, beside the scripts' lines.
    std::vector<std::string>* log = nullptr;
    avm2::Object* scriptObject(avm2::NodeId node) override {
        if (node == kStage) {
            return stageObject;
        }
        auto it = nodes.find(node);
        return it != nodes.end() ? it->second.object : stageObject;
    }
    void bindScriptObject(avm2::NodeId node, avm2::Object* object) override {
        if (node == kStage) {
            stageObject = object;
        } else {
            nodes[node].object = object;
        }
    }
    avm2::Object* stageObject = nullptr;
};

// FakeHost's trace and clock with the display tree above.
class DisplayTestHost final : public avm2::Host {
  public:
    FakeDisplayHost tree;
    std::vector<std::string> lines;
    DisplayTestHost() { tree.log = &lines; }
    DisplayTestHost(const DisplayTestHost&) = delete;
    DisplayTestHost& operator=(const DisplayTestHost&) = delete;
    double clock = 0;
    void trace(std::string_view line) override { lines.emplace_back(line); }
    double clockMs() override { return clock; }
    avm2::DisplayHost* display() override { return &tree; }
};

} // namespace avm2test
