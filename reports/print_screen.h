#pragma once
// File, Print Screen: prints the visible screen by its screen code. The transaction,
// checklist and call-notes editors print their whole data; web pages print through their
// browser pane; every other screen prints as it shows.
class QWidget;

namespace qb {

void print_screen_command();
// Prints a window's on-screen image on one page; false after an error (already reported).
bool print_window_image(QWidget* window);

} // namespace qb
