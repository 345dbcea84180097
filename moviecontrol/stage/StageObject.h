#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "DisplayObject.h"
#include "avm1/Object.h"

namespace mc {

class StageScripts;

// The script object of a display object: a movie clip, edit field or button. Its display
// properties (_x, _alpha, text...) are computed from the display object; its children read
// as properties by instance name; everything else is an ordinary stored property.
//
// A script may keep the object after the display object left the stage; it then finds a
// display object again by the path it had, as players do, or acts as an empty object.
// A blend mode as scripts name it ("multiply") or number it (1 to 14); none for others.
std::optional<swf::BlendMode> blendModeOf(avm1::Machine& m, const avm1::Value& value);
// A blend mode by its name ("multiply"); none for other names.
std::optional<swf::BlendMode> blendModeNamed(std::string_view name);

class StageObject final : public avm1::Object {
  public:
    StageObject(avm1::Object* proto, StageScripts& stage,
                const std::shared_ptr<DisplayObject>& object);

    // The live display object, or null. Once it left the stage, the object that now stands
    // where it stood (the same path) takes its place: players resolve clip references so.
    DisplayObject* display();
    bool isDisplayObject() const override { return true; }
    avm1::Object* referent() override;
    std::string_view className() const override;

    bool vanished() override;
    bool getVirtual(avm1::Machine& m, const avm1::Str& name, avm1::Value& out) override;
    // A display or text property by name, never a child of that name (GetProperty).
    bool getOwnProperty(avm1::Machine& m, std::string_view name, avm1::Value& out);
    bool setVirtual(avm1::Machine& m, const avm1::Str& name, const avm1::Value& value) override;
    bool hasVirtual(avm1::Machine& m, const avm1::Str& name) override;
    void enumerateVirtual(avm1::Machine& m, std::vector<avm1::Str>& names) override;
    void trace(avm1::Tracer& tracer) override;

    // Values a native method stores on the object beside its properties (the Sound and
    // Color objects bound to it...). Marked with it.
    std::vector<avm1::Object*> attached;
    // An edit field's style sheet (TextField.StyleSheet), or null.
    avm1::Object* styleSheet = nullptr;
    // The markup the field last read with its style sheet, as scripts gave it.
    std::optional<std::string> styledMarkup;

  private:
    bool getDisplayProperty(avm1::Machine& m, DisplayObject& o, std::string_view name,
                            avm1::Value& out);
    bool setDisplayProperty(avm1::Machine& m, DisplayObject& o, std::string_view name,
                            const avm1::Value& value);
    // Properties that exist from version 8 on (blend modes, bitmap caching, filters).
    bool getLaterProperty(avm1::Machine& m, DisplayObject& o, std::string_view name,
                          avm1::Value& out);
    bool setLaterProperty(avm1::Machine& m, DisplayObject& o, std::string_view name,
                          const avm1::Value& value);

    DisplayObject* displayAtPath();
    // The script object of the display object that took this one's place, or null while
    // this one's own is on the stage (or none took it).
    StageObject* successor();
    // Whether the tab index is this object's own property rather than a stored one.
    bool ownsTabIndex(const avm1::Machine& m) const;

    StageScripts& stage_;
    std::weak_ptr<DisplayObject> object_;
    CharacterKind kind_;
    std::string path_; // where it was, to find a display object again after removal
    std::optional<std::int32_t> tabIndex_;
};

} // namespace mc
