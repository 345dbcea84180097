#pragma once

#include <QGuiApplication>
#include <memory>

// The application the movie control's painting needs, without a display unless the
// environment names a platform. Null when the process already has one (a test's).
std::unique_ptr<QGuiApplication> makeOffscreenApplication();
