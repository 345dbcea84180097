#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <memory>

namespace player::testing {
namespace {

int argc = 1;
char name[] = "player_window_tests";
char* argv[] = {name, nullptr};

class AppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QApplication> app;
};

AppEnvironment* const environment = static_cast<AppEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new AppEnvironment)); // gtest owns it

} // namespace

QApplication& testApp() {
    if (!environment->app) {
        environment->app = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    return *environment->app;
}

} // namespace player::testing
