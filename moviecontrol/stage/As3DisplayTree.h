#pragma once
// The display tree as the ActionScript 3 classes see it: each node is a display object of
// the timeline, named by its serial, so that what a script changes is what the renderer
// draws. Objects a script made and holds outside any container wait in a hidden level.

#include "HitTest.h"
#include "TimelinePlayer.h"
#include "avm2/DisplayHost.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace video {
class VideoDecoder;
}

namespace mc {

struct StageCallbacks;

class As3DisplayTree final : public avm2::DisplayHost {
  public:
    struct StageInfo {
        double width = 550;
        double height = 400;
        double frameRate = 24;
        double bytes = 0;
        int version = 9;
    };
    As3DisplayTree(TimelinePlayer& player, StageInfo stage);

    // The class a SymbolClass tag gave a character of the first movie.
    void setSymbolClass(std::uint16_t characterId, std::string className);
    // The class a loaded movie's SymbolClass tag gave a character of its own dictionary.
    void setLoadedSymbolClass(std::uint16_t library, std::uint16_t characterId,
                              std::string className);
    // The application domain a loaded movie's code went into: its symbols' classes are its.
    void setLibraryDomain(std::uint16_t library, std::uint32_t domain) {
        libraryDomains_[library] = domain;
    }
    // The class of a loaded movie's root clip: its document class.
    void setContentClass(avm2::NodeId node, std::string className) {
        contentClasses_[node] = std::move(className);
    }
    // The mouse on the stage, in pixels.
    void setMouse(double x, double y) {
        mouseX_ = x;
        mouseY_ = y;
    }
    // The object left the tree for good: its script object no longer answers for it.
    void forget(std::uint64_t serial) {
        objects_.erase(serial);
        contentClasses_.erase(serial);
        videoPlaybacks_.erase(serial);
        pendingFits_.erase(serial);
    }
    // The fields about to be drawn (on the stage, every ancestor visible) take the box their
    // autoSize fitted them to (As3Text.cpp).
    void settleShownFits();
    // While set, the clips named answer `currentFrame` with the frame given: the frame they
    // showed before the timeline moved them, for the scripts that hear of what the move took
    // away (Flash takes it away before the playhead advances).
    void holdFrames(std::unordered_map<avm2::NodeId, std::uint32_t> frames) {
        heldFrames_ = std::move(frames);
    }
    void releaseFrames() { heldFrames_.clear(); }
    // Called when a script moved a clip's playhead.
    std::function<void(avm2::NodeId)> onScriptedGoto;
    // Called when a script's goto took away what the new frame no longer holds.
    std::function<void(avm2::NodeId, std::uint32_t)> onScriptedGotoRemoved;
    // The frame a button of the timeline plays before its constructor runs.
    std::function<void()> onNestedButtonFrame;

    avm2::NodeId rootNode() override;
    avm2::NodeId stageNode() override { return kStageNode; }
    avm2::NodeId parentOf(avm2::NodeId node) override;
    std::size_t childCount(avm2::NodeId node) override;
    avm2::NodeId childAt(avm2::NodeId node, std::size_t index) override;
    std::vector<avm2::NodeId> children(avm2::NodeId node) override;
    avm2::NodeKind kindOf(avm2::NodeId node) override;
    std::uint16_t symbolOf(avm2::NodeId node) override;
    std::string symbolClass(avm2::NodeId node) override;
    std::uint32_t symbolDomain(avm2::NodeId node) override;
    bool onStage(avm2::NodeId node) override;
    bool alive(avm2::NodeId node) override { return node == kStageNode || find(node) != nullptr; }
    // As3Buttons.cpp: a button's states made from its symbol's records.
    std::vector<std::uint8_t> buttonRecords(avm2::NodeId button) override;
    avm2::NodeId makeButtonPart(avm2::NodeId button, std::size_t index) override;
    void clearButton(avm2::NodeId button) override;
    avm2::NodeId createNode(avm2::NodeKind kind) override;
    avm2::NodeId createSymbolNode(const std::string& className) override;
    bool insertChild(avm2::NodeId parent, avm2::NodeId child, std::size_t index) override;
    void detach(avm2::NodeId child) override;
    std::string nameOf(avm2::NodeId node) override;
    void setName(avm2::NodeId node, const std::string& name) override;
    bool placedByTimeline(avm2::NodeId node) override;
    double number(avm2::NodeId node, avm2::NodeProperty p) override;
    void setNumber(avm2::NodeId node, avm2::NodeProperty p, double value) override;
    void graphics(avm2::NodeId node, const avm2::GraphicsOp& op) override;
    void copyGraphics(avm2::NodeId from, avm2::NodeId to) override;
    std::string text(avm2::NodeId node, bool html) override;
    void setText(avm2::NodeId node, const std::string& text, bool html) override;
    std::string textSetting(avm2::NodeId node, const std::string& name) override;
    void setTextSetting(avm2::NodeId node, const std::string& name,
                        const std::string& value) override;
    // As3Text.cpp: the text model of fields and the movie's embedded fonts.
    TextDocument* textDocument(avm2::NodeId node) override;
    TextFormat* textNewFormat(avm2::NodeId node) override;
    void textEdited(avm2::NodeId node) override;
    TextLines textLines(avm2::NodeId node) override;
    std::optional<CharacterBox> textCharacterBox(avm2::NodeId node, std::size_t index) override;
    std::optional<std::size_t> textCharacterAt(avm2::NodeId node, double x, double y) override;
    void showTextSelection(avm2::NodeId node, std::size_t begin, std::size_t end) override;
    void setStyledText(avm2::NodeId node, const std::string& html,
                       const StyleSheet& styles) override;
    std::vector<EmbeddedFont> embeddedFonts() override;
    std::optional<EmbeddedFont> fontOfClass(const std::string& className) override;
    // As3Bitmaps.cpp: a Bitmap's pixels, drawn by a child the scripts do not see.
    void showPixels(avm2::NodeId node, const std::shared_ptr<pixels::BitmapPixels>& pixels,
                    bool smoothing) override;
    void showStage3D(std::size_t index, const std::shared_ptr<pixels::BitmapPixels>& pixels,
                     double x, double y) override;
    // As3Video.cpp: a placed video character's stream, and its smoothing.
    std::optional<VideoStreamInfo> videoStream(avm2::NodeId node) override;
    void setVideoSmoothing(avm2::NodeId node, bool smoothing) override;
    std::optional<VideoFrameSize> showVideoFrame(avm2::NodeId node, int codec,
                                                 const std::vector<std::uint8_t>& frame,
                                                 double boxWidth, double boxHeight,
                                                 bool smoothing) override;
    void clearVideo(avm2::NodeId node) override;
    // As3Filters.cpp: script filters turned into the records the renderer draws.
    void setFilters(avm2::NodeId node, const std::vector<avm2::FilterValue>& filters) override;
    std::vector<avm2::FilterValue> filtersOf(avm2::NodeId node) override;
    bool filterIntoBitmap(pixels::BitmapPixels& target, const pixels::BitmapPixels& source,
                          pixels::Placement at, const avm2::FilterValue& filter) override;
    std::optional<pixels::PixelRect> filteredRect(pixels::PixelRect rect,
                                                  const avm2::FilterValue& filter) override;
    // As3BitmapDrawing.cpp: BitmapData.draw through the renderer, and blend modes.
    void drawIntoBitmap(pixels::BitmapPixels& target, const BitmapDraw& draw) override;
    void setBlendMode(avm2::NodeId node, const std::string& name) override;
    // As3Surfaces.cpp: masks, scroll windows and opaque backgrounds.
    void setMask(avm2::NodeId node, avm2::NodeId mask) override;
    std::optional<std::array<double, 4>> scrollRectOf(avm2::NodeId node) override;
    void setScrollRect(avm2::NodeId node,
                       const std::optional<std::array<double, 4>>& window) override;
    std::optional<std::array<double, 4>> scalingGridOf(avm2::NodeId node) override;
    void setScalingGrid(avm2::NodeId node,
                        const std::optional<std::array<double, 4>>& grid) override;
    std::optional<std::uint32_t> opaqueBackgroundOf(avm2::NodeId node) override;
    void setOpaqueBackground(avm2::NodeId node, std::optional<std::uint32_t> color) override;
    std::optional<pixels::BitmapPixels> bitmapOfClass(const std::string& className) override;
    std::optional<std::vector<std::uint8_t>> binaryOfClass(const std::string& className) override;
    // Where the renderer paints into script bitmaps; without it they stay as they are.
    void setPainting(const StageCallbacks* callbacks) { painting_ = callbacks; }
    // As3Colors.cpp: the colour transform in the players' fixed point.
    std::optional<std::array<double, 8>> colorTransformOf(avm2::NodeId node) override;
    void setColorTransform(avm2::NodeId node, const std::array<double, 8>& channels) override;
    void toGlobal(avm2::NodeId node, double& x, double& y, bool inverse) override;
    Box bounds(avm2::NodeId node, avm2::NodeId space, bool strokes) override;
    bool hitTestPoint(avm2::NodeId node, double x, double y, bool shape) override;
    std::vector<avm2::NodeId> objectsUnderPoint(avm2::NodeId node, double x, double y) override;
    // What hitTestPoint asks when it follows the shapes.
    void setHitTester(const HitTester* hit) { hit_ = hit; }
    // The one hitTestPoint asks instead, when set: a script asks about shapes seen or not.
    void setScriptHitTester(const HitTester* hit) { scriptHit_ = hit; }
    double stageWidth() override { return stage_.width; }
    double stageHeight() override { return stage_.height; }
    double frameRate() override { return stage_.frameRate; }
    double movieBytes() override { return stage_.bytes; }
    int movieVersion() override { return stage_.version; }
    std::uint32_t currentFrame(avm2::NodeId node) override;
    std::uint32_t frameCount(avm2::NodeId node) override;
    bool playing(avm2::NodeId node) override;
    void gotoFrame(avm2::NodeId node, std::uint32_t frame, bool play) override;
    std::int64_t frameOfLabel(avm2::NodeId node, const std::string& label) override;
    void setPlaying(avm2::NodeId node, bool playing) override;
    std::string currentLabel(avm2::NodeId node) override;
    // As3Timeline.cpp: the header's frame count, scenes and labels.
    std::uint32_t declaredFrameCount(avm2::NodeId node) override;
    std::vector<avm2::SceneRange> scenes(avm2::NodeId node) override;
    std::vector<avm2::FrameLabelAt> frameLabels(avm2::NodeId node) override;
    void scriptedGotoRemoved(avm2::NodeId node, std::uint32_t fromFrame) override {
        if (onScriptedGotoRemoved) {
            onScriptedGotoRemoved(node, fromFrame);
        }
    }
    void nestedButtonFrame() override {
        if (onNestedButtonFrame) {
            onNestedButtonFrame();
        }
    }
    void scriptedGoto(avm2::NodeId node) override {
        if (onScriptedGoto) {
            onScriptedGoto(node);
        }
    }
    avm2::Object* scriptObject(avm2::NodeId node) override;
    void bindScriptObject(avm2::NodeId node, avm2::Object* object) override;

    // The live object of a node (null for the stage, an unknown or a removed node).
    DisplayObject* find(avm2::NodeId node) const;

  private:
    // After a change to a field's text, formats or settings: lays the text out again. An
    // autoSize box that grows to the left moves the field itself, as its x reads.
    void layOutText(DisplayObject& field);
    // An autoSize box is fitted lazily: the field keeps its box until a script reads its
    // geometry or it is drawn, and the next fit starts from the box it keeps.
    struct PendingFit {
        Bounds bounds;
        swf::Rect rect;
        double tx = 0;
        double ty = 0;
    };
    void settleFit(avm2::NodeId node);
    // No display object has this serial: serials count up from 1.
    static constexpr avm2::NodeId kStageNode = ~std::uint64_t{0};
    const StageCallbacks* painting_ = nullptr;
    DisplayObject* holding();
    const swf::Button* buttonDefinition(avm2::NodeId button);
    bool held(const DisplayObject& o) const;
    // What scripts add to the stage beside the root: a level above the root's, made when
    // first needed; null while there is none.
    DisplayObject* stageLayer(bool make);
    bool onStageLayer(const DisplayObject& o) const;

    TimelinePlayer& player_;
    StageInfo stage_;
    // By library (high half) and character id.
    std::unordered_map<std::uint32_t, std::string> symbolClasses_;
    std::unordered_map<avm2::NodeId, std::string> contentClasses_;
    std::unordered_map<std::uint16_t, std::uint32_t> libraryDomains_;
    // Each class's symbol in any movie (library and id as above): the first given it.
    std::unordered_map<std::string, std::uint32_t> classKeys_;
    // Each class's symbol: the first a SymbolClass tag gave it.
    std::unordered_map<std::string, std::uint16_t> classSymbols_;
    std::unordered_map<avm2::NodeId, avm2::Object*> objects_;
    avm2::Object* stageObject_ = nullptr;
    DisplayObject* stageLayer_ = nullptr;
    // What a script asked a node to be, where the tree's kinds do not tell (a Shape).
    std::unordered_map<avm2::NodeId, avm2::NodeKind> madeAs_;
    DisplayObject* holding_ = nullptr;
    std::int32_t nextHoldingDepth_ = 0;
    const HitTester* hit_ = nullptr;
    const HitTester* scriptHit_ = nullptr;
    std::unordered_map<avm2::NodeId, std::uint32_t> heldFrames_;
    double mouseX_ = 0;
    double mouseY_ = 0;
    // Each Video a script plays a stream on (As3Video.cpp): its decoder, and the picture
    // its drawn child reads.
    struct VideoPlayback {
        std::shared_ptr<video::VideoDecoder> decoder;
        std::shared_ptr<pixels::BitmapPixels> picture;
        double boxWidth = 0;
        double boxHeight = 0;
    };
    std::unordered_map<avm2::NodeId, VideoPlayback> videoPlaybacks_;
    std::unordered_map<avm2::NodeId, PendingFit> pendingFits_;
};

} // namespace mc
