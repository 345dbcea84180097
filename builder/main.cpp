#include "DockingHost.h"
#include "MainForm.h"
#include "cardformat/ErrorLog.h"

#include "QtTranslations.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qtlocale::loadQtTranslations(app);
    QApplication::setApplicationName(QStringLiteral("Quenfold"));
    cardformat::ErrorLog::configure("Trelvane.log");
    // The docking outlives every window that takes part in it.
    builder::DockingHost docking;
    builder::MainForm form(docking);
    form.show();
    const int status = QApplication::exec();
    // A companion that closed itself last may still wait for its deletion; it must go while
    // the docking it reports to is alive.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return status;
}
