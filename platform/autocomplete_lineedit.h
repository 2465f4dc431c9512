#pragma once
// Security-name completion on a QLineEdit: an event filter that hands each typed key to
// the completion before the line edit applies it, and keeps the box's two flags.
#include "core/autocomplete.h"

#include <QObject>

class QKeyEvent;
class QLineEdit;

namespace qb {

// CompletionBox over a QLineEdit.
class LineEditCompletionBox : public CompletionBox {
public:
    explicit LineEditCompletionBox(QLineEdit* edit) : edit_(edit) {}
    QString text() const override;
    void set_text(const QString& text) override;
    int sel_start() const override;
    int sel_length() const override;
    void set_sel_start(int pos) override;
    void set_sel_length(int length) override;

private:
    QLineEdit* edit_;
};

class AutocompleteLineEdit : public QObject {
    Q_OBJECT
public:
    // Installs itself on edit and lives as long as it.
    explicit AutocompleteLineEdit(QLineEdit* edit);

    // For when the editor is set up for an entry: the next key into an empty box may
    // complete again.
    void reset_completion();
    bool completion_started() const { return completion_started_; }
    bool completion_active() const { return completion_active_; }

    // The character code the box would receive for this key, or -1 for keys that type
    // nothing (arrows, Delete, Tab, Enter, ...).
    static int key_code(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    LineEditCompletionBox box_;
    bool completion_started_ = false;
    bool completion_active_ = true;
};

} // namespace qb
