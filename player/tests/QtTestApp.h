#pragma once

#include <QApplication>

namespace player::testing {

// The one application of a window test program, destroyed before the process's exit
// handlers run (Qt's own statics are gone by then).
QApplication& testApp();

} // namespace player::testing
