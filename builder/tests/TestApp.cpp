#include "TestApp.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace builder::testing {

namespace {

int argc = 1;
char name[] = "builder_ui_tests";
char* argv[] = {name, nullptr};

class AppEnvironment : public ::testing::Environment {
  public:
    void TearDown() override { application.reset(); }
    std::unique_ptr<QApplication> application;
};

AppEnvironment* const environment = static_cast<AppEnvironment*>(
    ::testing::AddGlobalTestEnvironment(new AppEnvironment)); // gtest owns it

void pollForDialog(std::function<void(QWidget*)> handle, int attemptsLeft) {
    QTimer::singleShot(10, [handle = std::move(handle), attemptsLeft]() mutable {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            handle(dialog);
            return;
        }
        if (attemptsLeft > 0) {
            pollForDialog(std::move(handle), attemptsLeft - 1);
        } else {
            ADD_FAILURE() << "no modal dialog opened";
        }
    });
}

} // namespace

QApplication& app() {
    if (!environment->application) {
        // The builder's remembered folders and movies go to a folder of the tests' own.
        QStandardPaths::setTestModeEnabled(true);
        environment->application = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    return *environment->application;
}

void whenModalDialogOpens(std::function<void(QWidget*)> handle) {
    pollForDialog(std::move(handle), 300);
}

DialogWatchdog::DialogWatchdog() : timer_(new QTimer(QCoreApplication::instance())) {
    QObject::connect(timer_, &QTimer::timeout, [this] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog && dialog == seen_) {
            ++closed_;
            // Say which dialog it was, so that a failing test tells what stood in its way.
            const auto* box = qobject_cast<QMessageBox*>(dialog);
            ADD_FAILURE() << "closing an unexpected dialog: " << dialog->metaObject()->className()
                          << " \"" << dialog->windowTitle().toStdString() << "\" "
                          << (box ? box->text().toStdString() : std::string());
            if (auto* d = qobject_cast<QDialog*>(dialog)) {
                d->reject();
            } else {
                dialog->close();
            }
            seen_ = nullptr;
            return;
        }
        seen_ = dialog;
    });
    timer_->start(600);
}

DialogWatchdog::~DialogWatchdog() {
    timer_->deleteLater();
}

void processEvents() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace builder::testing
