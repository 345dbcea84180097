#pragma once
// The contextMenu an interactive object carries: defined with InteractiveObject, before the
// classes that extend it take over its traits; the menu classes come later with flash.ui.

namespace avm2 {

class Machine;
struct Class;

void defineContextMenuProperty(Machine& m, Class* interactive);

} // namespace avm2
