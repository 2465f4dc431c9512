#pragma once
// Stand-ins for the quotes, news, chart, research and report windows: top-level windows
// that show their caption until their own issues bring them.
#include "shell/screen.h"

#include <QStringList>
#include <QWidget>

namespace qb {

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

} // namespace qb
