#pragma once
// The wait window: a note above every other window while long work runs on the one
// user-interface thread. Its callers show it with a text and hide it when done.
#include "shell/shell.h"

#include <QWidget>

class QLabel;

namespace qb {

struct CoreHooks;

enum wait_kind : int16_t {
    wait_save_web_page = 0,
    wait_backup_restore = 1,
    wait_internet = 2,
};

class UserUpdate : public QWidget, public LoadHandler {
    Q_OBJECT
public:
    explicit UserUpdate(QWidget* parent);
    void form_load() override;
    void set_message(const QString& text, int16_t kind);

    QLabel* Label1 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
};

// Lets the core show and hide the wait window (backup and restore run there).
void install_wait_window_hooks(CoreHooks& hooks);
void remove_wait_window_hooks(CoreHooks& hooks);

} // namespace qb
