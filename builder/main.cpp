#include "DockingHost.h"
#include "MainForm.h"
#include "cardformat/ErrorLog.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenfold"));
    cardformat::ErrorLog::configure("Trelvane.log");
    // The docking outlives every window that takes part in it.
    builder::DockingHost docking;
    builder::MainForm form(docking);
    form.show();
    return QApplication::exec();
}
