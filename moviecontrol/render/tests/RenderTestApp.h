#pragma once

#include <QGuiApplication>

namespace mc {

// The one application of the render tests, created on first use and destroyed before the
// process's exit handlers run (Qt's own statics are gone by then).
QGuiApplication& renderTestApp();

} // namespace mc
