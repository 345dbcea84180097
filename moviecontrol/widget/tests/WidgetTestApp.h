#pragma once

#include <QApplication>

namespace mc::testing {

// The one application of a widget test program, made on first use and destroyed before the
// process's exit handlers run, while Qt's own statics still live.
QApplication& widgetTestApp();

} // namespace mc::testing
