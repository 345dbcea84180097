#include "RenderTestApp.h"

#include <gtest/gtest.h>
#include <memory>

namespace mc {
namespace {

int argc = 1;
char name[] = "mc_render_tests";
char* argv[] = {name, nullptr};

class AppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { app.reset(); }
    std::unique_ptr<QGuiApplication> app;
};

AppEnvironment* const environment = static_cast<AppEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new AppEnvironment)); // gtest owns it

} // namespace

QGuiApplication& renderTestApp() {
    if (!environment->app) {
        environment->app = std::make_unique<QGuiApplication>(argc, argv);
    }
    return *environment->app;
}

} // namespace mc
