// Velmora: plays the movie a card carries behind its own program, or the movie its command
// line names.
#include "EndSignals.h"
#include "Form1.h"
#include "QtPlayerPlatform.h"
#include "VelmoraAddresses.h"

#include "cardformat/ErrorLog.h"

#include "QtTranslations.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    qtlocale::loadQtTranslations(app);
    // Only the end sequence ends the player, whichever window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    cardformat::ErrorLog::configure("Velmora.log");

    player::QtPlayerPlatform platform(player::joinedArguments(argc, argv));
    player::Form1 form1(platform, player::withHelpPageDefaults(player::configuredAddresses(),
                                                               platform.ownExecutablePath()));
    const player::EndSignals endSignals(form1.player());
    if (form1.player().Form_Load() == player::StartUpOutcome::Ended) {
        return 0;
    }
    form1.show();
    return QApplication::exec();
}
