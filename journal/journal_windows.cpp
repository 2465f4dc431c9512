#include "journal/addentry.h"
#include "journal/title.h"
#include "shell/mdimain.h"
#include "shell/shell.h"

namespace qb {

void register_journal_windows(Shell& shell) {
    shell.register_window(QStringLiteral("Title"), [&shell] {
        auto* t = new Title(shell.mdi()->client_area());
        t->hide();
        return static_cast<QWidget*>(t);
    });
    shell.register_window(QStringLiteral("AddEntry"), [&shell] {
        auto* a = new AddEntry(shell.mdi()->client_area());
        a->hide();
        return static_cast<QWidget*>(a);
    });
}

} // namespace qb
