#pragma once

#include <cstdint>
#include <vector>

#include "RenderBackend.h"

namespace mc {

// The drawing commands of a frame, or of one group, kept so that another time's can be
// compared with them and so that they can be sent on later in the same frame. What a script
// drew or wrote is identified by its generation when recorded: a later change differs.
class CommandRecord : public RenderBackend {
  public:
    enum class Op : std::uint8_t { Draw, BeginGroup, EndGroup, BeginMask, UseMask, EndMask };
    struct Entry {
        Op op = Op::Draw;
        DrawCharacter draw; // Op::Draw
        GroupStyle group;   // Op::BeginGroup
        std::uint64_t generation = 0;
    };

    // Starts a new record with this background.
    void beginFrame(Rgba background) override;
    void draw(const DrawCharacter& command) override;
    void beginGroup(const GroupStyle& style) override;
    void endGroup() override;
    void beginMask() override;
    void useMask() override;
    void endMask() override;
    void endFrame() override {}

    void clear();
    // Sends the commands in order; the pointers they carry must still be alive.
    void replay(RenderBackend& backend) const;

    const std::vector<Entry>& entries() const { return entries_; }
    Rgba background() const { return background_; }
    // Whether a group inside has filters, whose reach no box of the record counts.
    bool hasFilteredGroup() const;
    // Of what stays the same when everything moves: a quick first test of sameness.
    std::uint64_t layoutHash() const { return hash_; }

  private:
    void add(Entry entry);

    std::vector<Entry> entries_;
    Rgba background_;
    std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

// A point in stage twips from which a record's positions are counted.
struct TwipsOrigin {
    double x = 0.0;
    double y = 0.0;
};

// Whether `a`, its positions counted from `originA`, draws what `b` does from `originB`:
// the same commands, with positions equal to well below a pixel. Backgrounds are not
// compared.
bool sameDrawing(const CommandRecord& a, TwipsOrigin originA, const CommandRecord& b,
                 TwipsOrigin originB);
// The same for one group's style.
bool sameGroupStyle(const GroupStyle& a, TwipsOrigin originA, const GroupStyle& b,
                    TwipsOrigin originB);

} // namespace mc
