#pragma once

class QDialog;

namespace qtlocale {

// Widens a dialog so that the window system can show its whole title beside the title
// bar's buttons: a message box sizes itself to its text, and a short text cut a Chinese
// title down to its first character.
void widenForTitle(QDialog& dialog);

// The width a dialog needs for its title: the title in the title bar's font, and room for
// the icon and the buttons of the bar.
int titleWidth(const QDialog& dialog);

} // namespace qtlocale
