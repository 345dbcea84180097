#pragma once
// The selection a TextField keeps (TextFieldSelection.cpp), as the player's typing reads and
// moves it: indices in UTF-16 units, within the text.

#include <cstddef>

namespace avm2 {

class Machine;
class Object;

struct FieldSelection {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t caret = 0;
};

// The field's selection against its text as it stands now.
FieldSelection fieldSelection(Machine& m, Object* field);
// Keeps `s` as the field's selection and shows it while the field has the focus.
void setFieldSelection(Machine& m, Object* field, const FieldSelection& s);

} // namespace avm2
