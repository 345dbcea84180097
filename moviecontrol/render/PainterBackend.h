#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "FieldFrame.h"
#include "FrameBudget.h"
#include "GroupCache.h"
#include "GroupCompositor.h"
#include "MaskCoverage.h"
#include "RenderBackend.h"
#include "RenderQuality.h"
#include "RenderResources.h"
#include "ShapePaths.h"
#include "ShapeRasterCache.h"

namespace mc {

// Paints drawing commands with QPainter onto a device whose stage transform is given.
// Masks become clip paths; blend modes and filters go through an offscreen layer.
class PainterBackend : public RenderBackend {
  public:
    // With a budget, costly effects give way once the frame's time runs short.
    PainterBackend(RenderResources& resources, QPainter& painter, const Transform& stageToDevice,
                   RenderQuality quality, FrameBudget* budget = nullptr);

    // The resources of the movies scripts loaded, by library index (null: not drawn).
    using LibraryResources = std::function<RenderResources*(std::uint16_t library)>;
    void setLibraryResources(LibraryResources find) { libraries_ = std::move(find); }
    ~PainterBackend() override;
    PainterBackend(const PainterBackend&) = delete;
    PainterBackend& operator=(const PainterBackend&) = delete;

    // The stage area in device pixels, filled with the background at the start of a frame.
    void setStageRect(const QRectF& rect) { stageRect_ = rect; }

    // Every group's layer covers all of the view grown by its filters' reach, however little
    // of it the group covers: the reference the sized layers are checked against.
    void setLayersCoverView(bool cover) { layersCoverView_ = cover; }

    void beginFrame(Rgba background) override;
    void draw(const DrawCharacter& command) override;
    void beginGroup(const GroupStyle& style) override;
    void endGroup() override;
    void beginMask() override;
    void useMask() override;
    void endMask() override;
    void endFrame() override;

  private:
    // A group's off-screen picture. It covers what of its parent's device the group can
    // reach (see groupLayerArea); `origin` is where its top-left pixel lies on the parent.
    // A layer without a painter passes its drawing through to the parent (groups nested too
    // deep or too large).
    struct Layer {
        QImage image;
        std::unique_ptr<QPainter> painter;
        GroupStyle style;
        QPoint origin;
        Transform parentStage;
        // What drawing inside must still apply: the colour transforms of the groups that
        // pass through, since no layer of theirs will.
        ColorTransform pending;
        // Nothing inside is drawn: an Alpha or Erase group with no Layer group around it, or
        // a group nothing of which can show.
        bool hidden = false;
        // For an Alpha group: the pixels its content draws, on a layer like `image`.
        QImage coverage;
    };
    struct Mask {
        QPainterPath path; // device pixels
        bool collecting = true;
    };

    QPainter& painter();
    bool hiddenGroupOpen() const { return !layers_.empty() && layers_.back()->hidden; }
    // Whether an enclosing group with the Layer mode has a picture of its own, which Alpha
    // and Erase then act on.
    bool insideLayerMode() const;
    GroupScale groupScale() const;
    // The current picture's pixels that can still show: its device within its clip.
    QRect visibleArea();
    // With `wholeContent`, a cached group's layer covers all of its content rather than the
    // view (see GroupCache::layerArea).
    void openLayer(const GroupStyle& style, bool wholeContent = false);
    // Composes the innermost layer onto the one beneath; with `capture`, also returns its
    // finished picture when that is complete and drawn in full.
    std::optional<GroupCache::Picture> closeLayer(bool capture);
    // A recorded cached group: its kept picture, or drawn now and kept.
    void paintRecordedGroup();
    void paintAlphaGroup(const GroupRecorder::Group& group);
    bool layerHoldsContent(const Layer& layer) const;
    void applyHints(QPainter& p) const;
    // The field drawn by an edit text command when it shows a background or border.
    struct FramedField {
        const swf::EditText* field = nullptr;
        FieldFrameStyle style;
    };
    std::optional<FramedField> framedField(const DrawCharacter& command) const;
    // A dictionary shape or what a script drew; a field's definition or its live state.
    const ConvertedShape* shapeOf(const DrawCharacter& command);
    const TextOutlines* textOf(const DrawCharacter& command);
    void paintFieldFrame(const DrawCharacter& command);
    // `look` names the shape for the raster cache.
    void paintShape(const ConvertedShape& shape, const DrawCharacter& command,
                    const ShapeLook& look);
    // Draws the shape from (or into) the raster cache; false when it must be drawn directly.
    bool paintCachedShape(const ConvertedShape& shape, const Transform& device,
                          const ColorTransform& cx, ShapeLook look);
    void paintShapeOn(QPainter& p, const ConvertedShape& shape, const QTransform& world,
                      const ColorTransform& cx);
    // The pixels of a bitmap fill under the colour transform: the script drawing's own, or
    // the movie's bitmap; null when there are none.
    QImage fillImage(const swf::FillStyle& style, const ColorTransform& cx);
    void paintFill(QPainter& p, const ConvertedFill& fill, const QTransform& world,
                   const ColorTransform& cx);
    void paintStroke(QPainter& p, const ConvertedStroke& stroke, const QTransform& world,
                     const ColorTransform& cx);
    // Fills with our scanline filler where it applies, else with Qt's.
    void fillPath(QPainter& p, const QPainterPath& path, const QBrush& brush) const;
    // The masks a fill on `p` must honour; made lazily, hence on a mutable stack.
    MaskStack::Use maskOn(const QPainter& p) const { return maskUse_.on(&p); }
    // Draws a layer's fills in one pass when all are solid colours; false, having drawn
    // nothing, when they must be drawn one by one.
    bool composeLayerFills(QPainter& p, const ConvertedLayer& layer, const QTransform& world,
                           const ColorTransform& cx) const;
    void paintBitmap(const DrawCharacter& command);
    // A bitmap a script made, from its pixels as they are now.
    void paintPixels(const DrawCharacter& command);
    QImage transformedBitmap(std::uint16_t id, const ColorTransform& cx);
    void paintVideo(const DrawCharacter& command);
    void paintBox(const DrawCharacter& command);
    void addToMask(const DrawCharacter& command);

    // The resources of the command being drawn: the first movie's or a loaded one's.
    RenderResources& res() const { return *current_; }
    bool selectResources(std::uint16_t library);

    RenderResources& root_;
    RenderResources* current_;
    LibraryResources libraries_;
    QPainter& base_;
    Transform stage_;
    RenderQuality quality_;
    FrameBudget* budget_;
    QRectF stageRect_;
    std::vector<std::unique_ptr<Layer>> layers_; // a painter holds its image's address
    int paintedLayers_ = 0;
    bool layersCoverView_ = false;
    std::vector<Mask> masks_;
    mutable MaskStack maskUse_; // the masks of masks_ in use, as our fillers follow them
    GroupRecorder recorder_;
    // Above 0 while an Alpha group's coverage is drawn: everything paints opaque, and groups
    // inside only pass their drawing through.
    int coveragePasses_ = 0;
    // The script drawing being painted: its bitmap fills name its own pixels.
    const Drawing* drawing_ = nullptr;
};

} // namespace mc
