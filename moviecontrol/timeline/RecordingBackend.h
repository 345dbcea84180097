#pragma once

#include <string>
#include <vector>

#include "RenderBackend.h"

namespace mc {

// Keeps the commands of the last frame, for tests and for tools that inspect a movie.
class RecordingBackend : public RenderBackend {
  public:
    enum class Op { Draw, BeginGroup, EndGroup, BeginMask, UseMask, EndMask };
    struct Entry {
        Op op = Op::Draw;
        DrawCharacter draw; // Op::Draw
        GroupStyle group;   // Op::BeginGroup
    };

    void beginFrame(Rgba background) override;
    void draw(const DrawCharacter& command) override;
    void beginGroup(const GroupStyle& style) override;
    void endGroup() override;
    void beginMask() override;
    void useMask() override;
    void endMask() override;
    void endFrame() override;

    const std::vector<Entry>& entries() const { return entries_; }
    Rgba background() const { return background_; }
    int framesEnded() const { return framesEnded_; }
    // The drawn character ids in order, the quickest thing for a test to compare.
    std::vector<std::uint16_t> drawnIds() const;
    // One letter per entry: D draw, G/g group begin/end, M mask begin, U use, m mask end.
    std::string outline() const;

  private:
    std::vector<Entry> entries_;
    Rgba background_;
    int framesEnded_ = 0;
};

} // namespace mc
