// Edit fields bound to variables: the field shows the variable, and what is typed or set
// as its text goes back into the variable.
#include <algorithm>
#include <optional>

#include "StageObject.h"
#include "StageScripts.h"
#include "TextFieldState.h"
#include "avm1/Str.h"

namespace mc {

using avm1::Value;

namespace {

// The name of the variable in a field's binding path: after its last dot, slash or colon.
std::string_view variableOf(std::string_view path) {
    const std::size_t cut = path.find_last_of(".:/");
    return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

} // namespace

avm1::Object* StageScripts::boundVariable(DisplayObject& o, std::string_view& name) {
    if (!o.text || o.text->field.variableName.empty() || o.parent == nullptr || !serves(o)) {
        return nullptr;
    }
    // "a.b.c" or "a/b:c": the last part is the variable, the rest a path of clips.
    const std::string& path = o.text->field.variableName;
    const std::size_t cut = path.find_last_of(".:/");
    avm1::Object* holder = objectOf(*o.parent);
    name = path;
    if (cut != std::string::npos) {
        std::string_view clips = std::string_view(path).substr(0, cut);
        name = std::string_view(path).substr(cut + 1);
        DisplayObject* at = o.parent;
        std::size_t start = 0;
        while (at != nullptr && start <= clips.size()) {
            const std::size_t next = clips.find_first_of("./", start);
            const std::string_view part = clips.substr(
                start, next == std::string_view::npos ? std::string_view::npos : next - start);
            if (part == "_root" || part == "_level0" || (part.empty() && start == 0)) {
                at = level(0);
            } else if (part == "_parent") {
                at = at->parent;
            } else if (!part.empty()) {
                const auto c = player_->childByName(*at, part, machine_->caseSensitive());
                at = c ? c.get() : nullptr;
            }
            if (next == std::string_view::npos) {
                break;
            }
            start = next + 1;
        }
        holder = at != nullptr ? objectOf(*at) : nullptr;
    }
    return holder;
}

void StageScripts::fieldEdited(DisplayObject& field) {
    std::string_view name;
    if (avm1::Object* holder = boundVariable(field, name)) {
        field.text->boundValue =
            field.text->field.html ? field.text->htmlText() : field.text->plainText();
        machine_->set(holder, name, Value(machine_->str(field.text->boundValue)));
    }
}

void StageScripts::syncBoundFields() {
    if (player_ == nullptr) {
        return;
    }
    boundFields_.clear();
    player_->forEachObject([&](DisplayObject& o) {
        std::string_view name;
        avm1::Object* holder = boundVariable(o, name);
        if (holder == nullptr) {
            return;
        }
        boundFields_.push_back(player_->sharedOf(o));
        const Value v = machine_->get(holder, name);
        if (v.isUndefined() && !machine_->hasProperty(holder, machine_->str(name))) {
            return; // a variable that is not there leaves the field as it is
        }
        const std::string text = machine_->toString(v).str();
        if (text != o.text->boundValue) {
            o.text->boundValue = text;
            o.text->assign(text);
        }
    });
}

void StageScripts::variableStored(avm1::Object* holder, std::string_view name, const Value& value) {
    // A variable set to undefined shows it as text, as any other value.
    if (boundFields_.empty()) {
        return;
    }
    const bool exact = machine_->caseSensitive();
    const auto same = [exact](std::string_view a, std::string_view b) {
        return exact ? a == b : avm1::equalsFolded(a, b);
    };
    // Converting the value may run a script that binds or removes fields: walk a copy.
    const std::vector<std::weak_ptr<DisplayObject>> fields = boundFields_;
    std::optional<std::string> text;
    for (const auto& weak : fields) {
        const auto field = weak.lock();
        if (!field || field->removed || !field->text ||
            !same(variableOf(field->text->field.variableName), name)) {
            continue;
        }
        std::string_view bound;
        if (boundVariable(*field, bound) != holder || !same(bound, name)) {
            continue;
        }
        if (!text) {
            text = machine_->toString(value).str();
        }
        if (*text != field->text->boundValue) {
            field->text->boundValue = *text;
            field->text->assign(*text);
        }
    }
}

void StageScripts::fieldBound(DisplayObject& field) {
    const auto shared = player_->sharedOf(field);
    if (std::none_of(boundFields_.begin(), boundFields_.end(),
                     [&](const std::weak_ptr<DisplayObject>& w) { return w.lock() == shared; })) {
        boundFields_.push_back(shared);
    }
    std::string_view name;
    avm1::Object* holder = boundVariable(field, name);
    if (holder == nullptr) {
        return;
    }
    // A variable that is there shows at once, even when undefined; a missing one leaves the
    // text.
    const Value v = machine_->get(holder, name);
    if (!v.isUndefined() || machine_->hasProperty(holder, machine_->str(name))) {
        field.text->boundValue = machine_->toString(v).str();
        field.text->assign(field.text->boundValue);
    }
}

} // namespace mc
