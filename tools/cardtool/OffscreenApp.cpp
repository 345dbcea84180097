#include "OffscreenApp.h"

#include <cstdlib>

std::unique_ptr<QGuiApplication> makeOffscreenApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return nullptr;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    static int appArgc = 1;
    static char appName[] = "cardtool";
    static char* appArgv[] = {appName, nullptr};
    return std::make_unique<QGuiApplication>(appArgc, appArgv);
}
