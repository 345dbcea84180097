#include "WidgetTestApp.h"

#include <gtest/gtest.h>

#include <memory>

namespace mc::testing {
namespace {

int argc = 1;
char name[] = "moviecontrol_widget_test";
char* argv[] = {name, nullptr};

class AppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QApplication> app;
};

AppEnvironment* const environment = static_cast<AppEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new AppEnvironment)); // gtest owns it

} // namespace

QApplication& widgetTestApp() {
    if (!environment->app) {
        environment->app = std::make_unique<QApplication>(argc, argv);
    }
    return *environment->app;
}

} // namespace mc::testing
