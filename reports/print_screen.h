#pragma once
// File, Print Screen: prints the visible screen by its screen code. The transaction,
// checklist and call-notes editors print their whole data; web pages print through their
// browser pane; every other screen prints as it shows.
class QWidget;

namespace qb {

class Printer;

void print_screen_command();
// The printer dialog of every print command. Printing to a file writes QB_Report.prn in
// the program folder, and the dialog asks before it replaces one. False when cancelled.
bool choose_print_printer(Printer& printer);
// Prints a window's on-screen image on one page after the same dialog; an error is shown.
void print_window_as_shown(QWidget* window);

} // namespace qb
