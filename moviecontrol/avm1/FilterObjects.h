#pragma once
// Script filter objects (flash.filters): the fields of each filter as scripts set them, kept
// natively so that the stage can read them to draw and hand filters of placed objects back.

#include "avm1/Object.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace avm1 {

class Machine;

enum class FilterKind {
    Bevel,
    Blur,
    ColorMatrix,
    Convolution,
    DisplacementMap,
    DropShadow,
    Glow,
    GradientBevel,
    GradientGlow,
};

// One field's value; which member counts depends on the field (numbers, colours and
// integers use `number`).
struct FilterField {
    double number = 0.0;
    bool flag = false;
    std::string text;
    std::vector<double> list;
    Object* object = nullptr;
};

// A filter's fields by their script names ("blurX", "colors"...), in constructor order.
struct FilterFields : NativeState {
    FilterKind kind = FilterKind::Blur;
    std::vector<std::pair<std::string_view, FilterField>> fields;

    // The field of that name; a default one when the filter has none.
    const FilterField& at(std::string_view name) const;
    FilterField* find(std::string_view name);
    double number(std::string_view name) const { return at(name).number; }
    bool flag(std::string_view name) const { return at(name).flag; }
    void trace(Tracer& tracer) override;
};

// The fields of a filter object (also of a script class extending one), or null.
const FilterFields* filterFieldsOf(const Value& value);

// A filter of `kind` with its constructor's defaults, to be changed and then made into an
// object by newFilterObject.
FilterFields defaultFilter(FilterKind kind);

// A new object of the filter's class holding a copy of `fields`; values outside a field's
// range are brought into it as the property setters do.
Object* newFilterObject(Machine& m, const FilterFields& fields);

} // namespace avm1
