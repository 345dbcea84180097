#pragma once
// What the ActionScript 3 display classes ask of the display tree the player draws. A
// display object's script object is a view of one node of that tree: every property a
// script reads or writes goes through here, so the renderer and the scripts never disagree.
// Nodes are named by a number the host gives (0: none); a node the host no longer knows
// answers with defaults and ignores changes.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pixels/BitmapEffects.h"

namespace mc {
class TextDocument;
struct StyleSheet;
struct TextFormat;
} // namespace mc

namespace swf {
class PixelKernel;
}

namespace avm2 {

class Object;

enum class NodeKind : std::uint8_t {
    Shape,
    Sprite,
    MovieClip,
    Button,
    Text,
    Bitmap,
    StaticText,
    MorphShape,
    Video,
    Other
};

// The properties kept as numbers; x and y in pixels, scales as fractions (1 = 100%),
// rotation in degrees, alpha from 0 to 1.
enum class NodeProperty : std::uint8_t {
    X,
    Y,
    ScaleX,
    ScaleY,
    Rotation,
    Alpha,
    Width,
    Height,
    Visible,
    MouseX,
    MouseY,
};

using NodeId = std::uint64_t;

// A gradient of the drawing API: its colours (0xRRGGBB), alphas (0 to 1) and ratios (0 to
// 255), one each per stop, and the matrix from the gradient square (-819.2 to 819.2 pixels
// each way) to the shape's pixels.
struct GraphicsGradient {
    bool radial = false;
    std::vector<std::uint32_t> colors;
    std::vector<double> alphas;
    std::vector<double> ratios;
    std::array<double, 6> matrix{1, 0, 0, 1, 0, 0}; // a, b, c, d, tx, ty (tx, ty in pixels)
    std::string spread;                             // "pad", "reflect" or "repeat"
    std::string interpolation;                      // "rgb" or "linearRGB"
    double focalPoint = 0;                          // -1 to 1, radial gradients only
};

// One call of the drawing API (flash.display.Graphics); coordinates in pixels, colours as
// 0xRRGGBB with alpha from 0 to 1.
struct GraphicsOp {
    enum class Kind : std::uint8_t {
        BeginFill,
        GradientFill, // `gradient`
        BitmapFill,   // `bitmap`
        LineBitmap,   // the line in force painted with `bitmap`
        LineStyle,
        LineGradient, // the line in force painted with `gradient`
        NoLine,
        MoveTo,
        LineTo,
        CurveTo,
        CubicTo,  // controls (a, b) and (c, d), anchor (e, f)
        Triangle, // corners (a, b), (c, d), (e, f); `uv` their places in a bitmap fill
        EndFill,
        NonZeroWinding, // the drawing's fills take the non-zero rule from here on
        Clear
    };
    explicit GraphicsOp(Kind k = Kind::Clear) : kind(k) {}
    Kind kind = Kind::Clear;
    double a = 0, b = 0, c = 0, d = 0, e = 0, f = 0; // points, or the line's width
    std::uint32_t color = 0;
    double alpha = 1;
    // LineStyle: whether the thickness stays as the shape is scaled ("normal", "none",
    // "horizontal", "vertical"), the caps ("round", "none", "square"), the joints ("round",
    // "bevel", "miter") and the miter limit.
    bool pixelHinting = false;
    std::string scaleMode;
    std::string caps;
    std::string joints;
    double miterLimit = 3;
    GraphicsGradient gradient;
    // BitmapFill: the pixels (shown as they are when painted), the matrix from the bitmap's
    // pixels to the shape's, whether they tile past the bitmap's edges and are smoothed.
    std::shared_ptr<pixels::BitmapPixels> bitmap;
    std::array<double, 6> bitmapMatrix{1, 0, 0, 1, 0, 0};
    bool repeat = true;
    bool smooth = false;
    // Triangle: where each corner lies in the bitmap, 0 to 1 across it, when `mapped`.
    std::array<double, 6> uv{};
    bool mapped = false;
};

// One flash.filters object as the renderer needs it: its class ("BlurFilter") and its
// properties by name; a number also stands for colours, whole numbers and flags (0 or 1).
struct FilterValue {
    struct Field {
        std::string name;
        double number = 0;
        std::string text;
        std::vector<double> list;
    };
    std::string kind;
    std::vector<Field> fields;
    // A ShaderFilter's kernel with the values it had when the filter was assigned.
    std::shared_ptr<const swf::PixelKernel> kernel = nullptr;
};

// A scene of a clip's timeline: frames [first, first + length), from 0.
struct SceneRange {
    std::string name;
    std::uint32_t first = 0;
    std::uint32_t length = 0;
};

struct FrameLabelAt {
    std::uint32_t frame = 0; // from 0
    std::string name;
};

class DisplayHost {
  public:
    virtual ~DisplayHost() = default;

    // --- The tree ------------------------------------------------------------------------
    virtual NodeId rootNode() = 0;
    // The stage: the root's container, which holds the root alone.
    virtual NodeId stageNode() = 0;
    // The node's container, 0 for the root and for a node in no container.
    virtual NodeId parentOf(NodeId node) = 0;
    virtual std::size_t childCount(NodeId node) = 0;
    // The child at `index` in painting order (0 lowest), 0 past the end.
    virtual NodeId childAt(NodeId node, std::size_t index) = 0;
    // Every child in painting order. Walks of the tree go by this: a host whose childAt
    // has to count its way to the index answers it in one pass.
    virtual std::vector<NodeId> children(NodeId node) {
        std::vector<NodeId> out(childCount(node));
        for (std::size_t i = 0; i < out.size(); ++i) {
            out[i] = childAt(node, i);
        }
        return out;
    }
    virtual NodeKind kindOf(NodeId node) = 0;
    // The symbol the node was placed from (0: none, or made by a script).
    virtual std::uint16_t symbolOf(NodeId node) = 0;
    // The class a SymbolClass tag gave the node's symbol ("pkg.Name"); empty when none.
    virtual std::string symbolClass(NodeId node) = 0;
    // The application domain whose definitions name that class: the one of the node's movie
    // (1, Machine::kMovieDomain, the first movie's, unless the host says otherwise).
    virtual std::uint32_t symbolDomain(NodeId node) {
        (void)node;
        return 1;
    }
    // Whether the host still knows the node: false once the timeline took it away for good.
    virtual bool alive(NodeId node) { return node != 0; }
    // Whether the node is on the stage: the root's tree.
    virtual bool onStage(NodeId node) = 0;

    // A node a script makes (`new Sprite()`), in no container yet; 0 when the object limit
    // is reached.
    virtual NodeId createNode(NodeKind kind) = 0;
    // A node made by a script from the sprite or button symbol a SymbolClass tag gave
    // `className` ("pkg.Name"), with its timeline or records, in no container yet; 0 when no
    // such symbol has it (a shape's class makes an empty node).
    virtual NodeId createSymbolNode(const std::string& className) {
        (void)className;
        return 0;
    }
    // Moves `child` (out of any container it is in) into `parent` at `index` in painting
    // order (clamped to the child count). False when the host refuses (a node into itself
    // or its own descendant, an unknown node).
    virtual bool insertChild(NodeId parent, NodeId child, std::size_t index) = 0;
    // Takes the child out of its container; it stays alive for the script that holds it.
    virtual void detach(NodeId child) = 0;

    // --- Buttons (SimpleButton) ----------------------------------------------------------
    // The states each record of the button's symbol shows (bits: up 1, over 2, down 4, hit
    // 8), in the order of the records; empty for a button that has no symbol.
    virtual std::vector<std::uint8_t> buttonRecords(NodeId button) {
        (void)button;
        return {};
    }
    // A new node for the character of the button's record `index`, placed in the button with
    // the record's matrix and colours (its constructor finds the button's stage); 0 when none.
    virtual NodeId makeButtonPart(NodeId button, std::size_t index) {
        (void)button, (void)index;
        return 0;
    }
    // Takes away what the timeline shows in the button: the scripts' states show instead.
    virtual void clearButton(NodeId button) { (void)button; }

    // --- Properties ----------------------------------------------------------------------
    virtual std::string nameOf(NodeId node) = 0;
    virtual void setName(NodeId node, const std::string& name) = 0;
    // Whether a timeline placed the node (the root counts): its name cannot be set.
    virtual bool placedByTimeline(NodeId node) {
        (void)node;
        return false;
    }
    virtual double number(NodeId node, NodeProperty p) = 0;
    virtual void setNumber(NodeId node, NodeProperty p, double value) = 0;

    virtual void graphics(NodeId node, const GraphicsOp& op) = 0;
    // Graphics.copyFrom: `to` draws what `from` drew (its styles in force too), nothing when
    // `from` drew nothing.
    virtual void copyGraphics(NodeId from, NodeId to) {
        (void)from;
        (void)to;
    }
    // A text field's text, plain (paragraphs end in '\r') or as html; empty for other nodes.
    virtual std::string text(NodeId node, bool html) = 0;
    virtual void setText(NodeId node, const std::string& text, bool html) = 0;
    // A text field's setting by its script name (wordWrap, multiline, border, background,
    // selectable, displayAsPassword: "true"/"false"; type: "input"/"dynamic"; autoSize;
    // antiAliasType), empty for a name or node the field does not know.
    virtual std::string textSetting(NodeId node, const std::string& name) = 0;
    virtual void setTextSetting(NodeId node, const std::string& name, const std::string& value) = 0;
    // A text field's formatted text and the format text set by scripts takes; null for other
    // nodes. Kept only while nothing changes the tree.
    virtual mc::TextDocument* textDocument(NodeId node) {
        (void)node;
        return nullptr;
    }
    virtual mc::TextFormat* textNewFormat(NodeId node) {
        (void)node;
        return nullptr;
    }
    // A script changed the field's text or formats through textDocument.
    virtual void textEdited(NodeId node) { (void)node; }
    // A text field's lines as scripts count them, in pixels of the field's own space: where
    // each starts across (from the left gutter) and down (from the first line's top), and
    // the characters [begin, end) it holds; the first line shown (from 1) and the box's size.
    struct TextLine {
        std::size_t begin = 0;
        std::size_t end = 0;
        double x = 0;
        double top = 0;
        double ascent = 0;
        double descent = 0;
        double leading = 0;
        double width = 0; // how far its characters advance
    };
    struct TextLines {
        std::vector<TextLine> lines;
        std::size_t scroll = 1;
        double width = 0;
        double height = 0;
    };
    virtual TextLines textLines(NodeId node) {
        (void)node;
        return {};
    }
    // Where a character is drawn, pixels of the field's own space as scrolled: its pen
    // position, advance and line band; none for a paragraph end, an index past the text or a
    // line scrolled out above.
    struct CharacterBox {
        double x = 0, y = 0, width = 0, height = 0;
    };
    virtual std::optional<CharacterBox> textCharacterBox(NodeId node, std::size_t index) {
        (void)node, (void)index;
        return std::nullopt;
    }
    // The character drawn under (x, y), pixels of the field's own space as scrolled.
    virtual std::optional<std::size_t> textCharacterAt(NodeId node, double x, double y) {
        (void)node, (void)x, (void)y;
        return std::nullopt;
    }
    // The characters [begin, end) the field shows selected (the focused field's selection);
    // begin == end shows none.
    virtual void showTextSelection(NodeId node, std::size_t begin, std::size_t end) {
        (void)node, (void)begin, (void)end;
    }
    // Reads `html` into the field with the formats a style sheet gives its tags and classes.
    virtual void setStyledText(NodeId node, const std::string& html, const mc::StyleSheet& styles) {
        (void)node, (void)html, (void)styles;
    }
    // The fonts the movie embeds with a name (DefineFont2 and 3), and the one a SymbolClass
    // tag gave `className` ("pkg.Name"); none when the class names no font.
    struct EmbeddedFont {
        std::string name;
        bool bold = false;
        bool italic = false;
    };
    virtual std::vector<EmbeddedFont> embeddedFonts() { return {}; }
    virtual std::optional<EmbeddedFont> fontOfClass(const std::string& className) {
        (void)className;
        return std::nullopt;
    }
    // The filters the node is drawn with (DisplayObject.filters), replacing its own.
    virtual void setFilters(NodeId node, const std::vector<FilterValue>& filters) {
        (void)node, (void)filters;
    }
    // The node's colour transform: red, green, blue and alpha multipliers (1 = unchanged),
    // then the four offsets; none when the tree keeps none for the node.
    virtual std::optional<std::array<double, 8>> colorTransformOf(NodeId node) {
        (void)node;
        return std::nullopt;
    }
    virtual void setColorTransform(NodeId node, const std::array<double, 8>& channels) {
        (void)node, (void)channels;
    }
    // The filters the node was placed with, as script filters see them.
    virtual std::vector<FilterValue> filtersOf(NodeId node) {
        (void)node;
        return {};
    }
    // The pixels a Bitmap node shows (a BitmapData's, drawn as they are at each frame);
    // null shows nothing.
    virtual void showPixels(NodeId node, const std::shared_ptr<pixels::BitmapPixels>& pixels,
                            bool smoothing) {
        (void)node, (void)pixels, (void)smoothing;
    }
    // What Stage3D layer `index` last presented, shown beneath the display list with its
    // top-left corner at x, y on the stage; null shows nothing there.
    virtual void showStage3D(std::size_t index, const std::shared_ptr<pixels::BitmapPixels>& pixels,
                             double x, double y) {
        (void)index, (void)pixels, (void)x, (void)y;
    }
    // A placed video character's stream as its definition gives it; none for other nodes
    // (a Video a script made shows no stream of the movie).
    struct VideoStreamInfo {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        bool smoothing = false;
        std::uint8_t deblocking = 0;
    };
    virtual std::optional<VideoStreamInfo> videoStream(NodeId node) {
        (void)node;
        return std::nullopt;
    }
    // Video.smoothing: the node's frames are drawn smoothed when scaled.
    virtual void setVideoSmoothing(NodeId node, bool smoothing) { (void)node, (void)smoothing; }
    // A frame of a stream a script plays (NetStream) for the Video node to show: `codec` as
    // SWF and FLV number them (2 Sorenson, 4 VP6, 5 VP6 with alpha), the frame's bytes as a
    // SWF VideoFrame holds them. The node keeps its decoder from frame to frame; the picture
    // is stretched over the Video's box (pixels). Returns the picture's size once one is
    // decoded, nullopt when the frame could not be.
    struct VideoFrameSize {
        std::uint32_t width = 0;
        std::uint32_t height = 0;
    };
    virtual std::optional<VideoFrameSize> showVideoFrame(NodeId node, int codec,
                                                         const std::vector<std::uint8_t>& frame,
                                                         double boxWidth, double boxHeight,
                                                         bool smoothing) {
        (void)node, (void)codec, (void)frame, (void)boxWidth, (void)boxHeight, (void)smoothing;
        return std::nullopt;
    }
    // Video.clear(): the picture and the decoder go; the next frame must be a key frame.
    virtual void clearVideo(NodeId node) { (void)node; }
    // BitmapData.draw: the source (a display object's content, or a bitmap's pixels) under
    // the matrix and colour transform, blended into `target`; only the clip rectangle changes
    // when there is one.
    struct BitmapDraw {
        NodeId node = 0;
        std::shared_ptr<const pixels::BitmapPixels> bitmap;
        std::array<double, 6> matrix{1, 0, 0, 1, 0, 0}; // a, b, c, d, tx, ty in pixels
        pixels::ChannelTransform colors;
        std::string blendMode; // a name, as flash.display.BlendMode spells it
        std::optional<pixels::PixelRect> clipRect;
        bool smoothing = false;
    };
    virtual void drawIntoBitmap(pixels::BitmapPixels& target, const BitmapDraw& draw) {
        (void)target, (void)draw;
    }
    // BitmapData.applyFilter: the filtered part of `source` replaces the target's pixels at
    // the placement; false when the filter cannot be applied.
    virtual bool filterIntoBitmap(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                                  pixels::Placement at, const FilterValue& filter) {
        (void)target, (void)source, (void)at, (void)filter;
        return false;
    }
    // BitmapData.generateFilterRect: `rect` grown by the filter's reach; none when unknown.
    virtual std::optional<pixels::PixelRect> filteredRect(pixels::PixelRect rect,
                                                          const FilterValue& filter) {
        (void)rect, (void)filter;
        return std::nullopt;
    }
    // The pixels of the bitmap symbol a SymbolClass tag gave `className` ("pkg.Name"); none
    // when the class names no bitmap.
    virtual std::optional<pixels::BitmapPixels> bitmapOfClass(const std::string& className) {
        (void)className;
        return std::nullopt;
    }
    // The bytes of the binary data symbol (DefineBinaryData) a SymbolClass tag gave
    // `className`; none when the class names none.
    virtual std::optional<std::vector<std::uint8_t>> binaryOfClass(const std::string& className) {
        (void)className;
        return std::nullopt;
    }
    // DisplayObject.mask: the node that masks `node` (0: none).
    virtual void setMask(NodeId node, NodeId mask) { (void)node, (void)mask; }
    // scrollRect: the window (x, y, width, height in pixels) of the node's content that shows
    // at its origin, clipped to it; none shows all of it.
    virtual std::optional<std::array<double, 4>> scrollRectOf(NodeId node) {
        (void)node;
        return std::nullopt;
    }
    virtual void setScrollRect(NodeId node, const std::optional<std::array<double, 4>>& window) {
        (void)node, (void)window;
    }
    // scale9Grid: the node's nine-slice grid (x, y, width, height in pixels, in its own
    // space); none scales its drawing whole.
    virtual std::optional<std::array<double, 4>> scalingGridOf(NodeId node) {
        (void)node;
        return std::nullopt;
    }
    virtual void setScalingGrid(NodeId node, const std::optional<std::array<double, 4>>& grid) {
        (void)node, (void)grid;
    }
    // opaqueBackground: the colour (0xRRGGBB) filling the node's bounds behind it; none.
    virtual std::optional<std::uint32_t> opaqueBackgroundOf(NodeId node) {
        (void)node;
        return std::nullopt;
    }
    virtual void setOpaqueBackground(NodeId node, std::optional<std::uint32_t> color) {
        (void)node, (void)color;
    }
    // The blend mode the node is drawn with, by its name; an unknown name draws normally.
    virtual void setBlendMode(NodeId node, const std::string& name) { (void)node, (void)name; }
    // Whether the stage point (pixels) falls on the node: on what it shows when `shape`, else
    // within its bounds.
    virtual bool hitTestPoint(NodeId node, double x, double y, bool shape) = 0;
    // The shown objects inside `node` whose own content lies under the stage point (pixels),
    // in painting order: a container by what it draws itself, its children each on their own.
    virtual std::vector<NodeId> objectsUnderPoint(NodeId node, double x, double y) {
        (void)node, (void)x, (void)y;
        return {};
    }
    // The box (pixels) around what the node shows, in the space of `space` (0 or the stage:
    // the stage's), strokes counted when `strokes`; all zero when it shows nothing.
    struct Box {
        double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    };
    virtual Box bounds(NodeId node, NodeId space, bool strokes) {
        (void)node;
        (void)space;
        (void)strokes;
        return {};
    }
    // A point of the node's space to the stage's (pixels), or back when `inverse`.
    virtual void toGlobal(NodeId node, double& x, double& y, bool inverse) = 0;
    // The stage's size in pixels and the movie's frame rate.
    virtual double stageWidth() = 0;
    virtual double stageHeight() = 0;
    virtual double frameRate() = 0;
    // The movie file's length in bytes (all of it is loaded) and its SWF version.
    virtual double movieBytes() = 0;
    virtual int movieVersion() = 0;

    // --- Timelines (frames from 0) -------------------------------------------------------
    virtual std::uint32_t currentFrame(NodeId node) = 0;
    virtual std::uint32_t frameCount(NodeId node) = 0;
    virtual bool playing(NodeId node) = 0;
    virtual void gotoFrame(NodeId node, std::uint32_t frame, bool play) = 0;
    // -1 when the timeline has no such label.
    virtual std::int64_t frameOfLabel(NodeId node, const std::string& label) = 0;
    virtual void setPlaying(NodeId node, bool playing) = 0;
    // A script moved the node's playhead (its new children have their script objects): the
    // player sends what the new frame brings and runs its frame script before the calling
    // script goes on.
    virtual void scriptedGoto(NodeId node) { (void)node; }
    // A script moved the node's playhead and the objects the new frame no longer holds are
    // gone: the player tells the scripts so before the new frame's children are made. Going
    // forward, what leaves leaves before the playhead moves (it still reads `fromFrame`).
    virtual void scriptedGotoRemoved(NodeId node, std::uint32_t fromFrame) {
        (void)node;
        (void)fromFrame;
    }
    // A button of the timeline whose up state holds a MovieClip plays one frame of the
    // whole movie (frameConstructed, frame scripts, exitFrame) before its class's
    // constructor runs.
    virtual void nestedButtonFrame() {}
    // The label of the frame shown or the nearest before it; empty when none.
    virtual std::string currentLabel(NodeId node) = 0;
    // The frame count the clip's header claims (what totalFrames reports): the timeline
    // plays the frames it holds, whatever the header says.
    virtual std::uint32_t declaredFrameCount(NodeId node) { return frameCount(node); }
    // The clip's scenes in playing order (first frames from 0); empty when it names none.
    virtual std::vector<SceneRange> scenes(NodeId node) {
        (void)node;
        return {};
    }
    // Every label of the clip with its frame (from 0), by frame, file order within one.
    virtual std::vector<FrameLabelAt> frameLabels(NodeId node) {
        (void)node;
        return {};
    }

    // --- The script object of each node --------------------------------------------------
    // Null until one was made: the class for a timeline node is chosen when it is first
    // reached (the symbol's class, else the class of its kind).
    virtual Object* scriptObject(NodeId node) = 0;
    virtual void bindScriptObject(NodeId node, Object* object) = 0;
};

} // namespace avm2
