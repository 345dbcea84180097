// Arrays whose elements lie past their dense slots: see ArraySparse.h.
#include "avm2/ArraySparse.h"

#include "avm2/Machine.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

namespace avm2 {

namespace {

// The index a property's name spells, as an array index reads it.
bool indexOf(const std::string& s, std::uint32_t& out) {
    if (s.empty() || s.size() > 10 || (s.size() > 1 && s[0] == '0')) {
        return false;
    }
    std::uint64_t v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size() || v >= 0xFFFFFFFFull) {
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

// Drops the sparse elements at `from` and above.
void dropSparseFrom(Object* o, std::uint64_t from) {
    std::vector<std::string> gone;
    for (const auto& [key, value] : o->props) {
        std::uint32_t index = 0;
        if (!value.isHole() && indexOf(key, index) && index >= from) {
            gone.push_back(key);
        }
    }
    for (const std::string& key : gone) {
        o->deleteProp(key);
    }
}

// The dense slots grew to `size`: the sparse elements now inside them move in, so that an
// index is never kept twice.
void absorbSparse(Object* o, std::size_t from, std::size_t size) {
    if (size - from <= o->props.size()) {
        for (std::size_t i = from; i < size; ++i) {
            const std::string key = std::to_string(i);
            if (const Value* v = o->findProp(key)) {
                o->elements[i] = *v;
                o->deleteProp(key);
            }
        }
        return;
    }
    std::vector<std::pair<std::string, std::uint32_t>> moving;
    for (const auto& [key, value] : o->props) {
        std::uint32_t index = 0;
        if (!value.isHole() && indexOf(key, index) && index >= from && index < size) {
            moving.emplace_back(key, index);
        }
    }
    for (const auto& [key, index] : moving) {
        if (const Value* v = o->findProp(key)) {
            o->elements[index] = *v;
        }
        o->deleteProp(key);
    }
}

void growDense(Machine& m, Object* o, std::size_t size) {
    const std::size_t from = o->elements.size();
    m.resizeElements(o, size);
    if (o->sparseLength != 0) {
        absorbSparse(o, from, size);
        if (o->sparseLength <= o->elements.size()) {
            o->sparseLength = 0;
        }
    }
}

} // namespace

std::uint32_t arrayLength(const Object* o) {
    return std::max(static_cast<std::uint32_t>(o->elements.size()), o->sparseLength);
}

void setArrayElement(Machine& m, Object* o, std::uint32_t index, const Value& value) {
    const Value stored = value.isHole() ? Value() : value;
    if (index < o->elements.size()) {
        o->elements[index] = stored;
        return;
    }
    const std::size_t gap = index - o->elements.size();
    if (gap < kMaxDenseGap && m.memoryAllows((gap + 1) * sizeof(Value))) {
        growDense(m, o, std::size_t{index} + 1);
        o->elements[index] = stored;
        return;
    }
    m.checkMemory(sizeof(Value) * 4);
    o->setProp(std::to_string(index), stored);
    o->sparseLength = std::max(arrayLength(o), index + 1);
}

void setArrayLength(Machine& m, Object* o, std::uint32_t length) {
    if (o->sparseLength != 0) {
        dropSparseFrom(o, length);
    }
    if (length <= o->elements.size()) {
        // Every sparse element lay past the dense end, so none is left.
        o->sparseLength = 0;
        m.resizeElements(o, length);
        return;
    }
    const std::size_t gap = length - o->elements.size();
    if (gap < kMaxDenseGap && m.memoryAllows(gap * sizeof(Value))) {
        if (o->sparseLength != 0) {
            o->sparseLength = length;
        }
        growDense(m, o, length);
        return;
    }
    o->sparseLength = length;
}

} // namespace avm2
