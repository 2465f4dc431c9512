#pragma once
// Doubles of the quotes, news, chart, research and report windows for the shell's own
// tests: top-level windows that show their caption and count their first-shown work.
#include "shell/screen.h"

#include <QStringList>
#include <QWidget>

namespace qb {
class Shell;
}

namespace qb::test {

class StandInWindow : public QWidget, public AfterLoadedWindow {
    Q_OBJECT
public:
    StandInWindow(QWidget* parent, const QString& name, const QString& caption, bool has_after_loaded);
    void after_loaded_do() override;
    // How often after_loaded_do did its first-call work (at most once per load).
    int after_loaded_runs = 0;

private:
    bool has_after_loaded_ = false;
    bool after_loaded_done_ = false;
};

// Registers the doubles under the windows' names.
void register_stand_in_windows(Shell& shell);

} // namespace qb::test
