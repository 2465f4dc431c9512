#pragma once
// What the reference editors share: every text box yellow while it has the focus and
// white after, Enter moving on to the next field, and the steps of loading and saving.
#include "platform/field_helpers.h"

#include <QDate>
#include <QFont>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QWidget;

namespace qb {

constexpr uint32_t kFieldYellow = 0xFFFF;
constexpr uint32_t kFieldWhite = 0xFFFFFF;
constexpr uint32_t kQuoteRed = 0xFF;
constexpr uint32_t kQuoteGreen = 0xFF00;

// Today by the program's clock (the system's when none is set).
QDate editor_today();

QLabel* add_label(QWidget* parent, const char* name, const QString& text, QRect place);
// The editor's large bold caption font, from its base font.
QFont heading_font(QFont base);

// A notes box's text with the CR LF line ends of the stored texts, and back.
QString crlf_text(const QPlainTextEdit* box);
void show_crlf_text(QPlainTextEdit* box, QString text);

// Runs the checks; an entry that fails them asks whether to correct it: yes keeps the
// user on the screen (continue_flag false), no drops the changes. True when valid.
bool entry_valid_or_ask(const std::function<void(QString&, bool&)>& validate, bool& continue_flag,
                        bool& add_or_edit_ongoing);

// How much smaller than the main window an editor was at load, so that it follows it.
struct FormMargins {
    int height = 0;
    int width = 0;
    // Places the form beside the command bar at its design width and takes the margins.
    void load(QWidget* form, int design_width);
    // Resizes the form to the main window, never below the smallest inside size.
    void fit(QWidget* form) const;
};

class EditorFields : public QObject {
public:
    explicit EditorFields(QObject* parent) : QObject(parent) {}
    // next: where Enter (on release) moves the focus; nullptr moves nothing.
    void add(QWidget* box, QWidget* next = nullptr);
    void set_next(QWidget* box, QWidget* next);
    // Runs after the box turned white on losing the focus.
    void on_lost_focus(QWidget* box, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QPointer<QWidget> next;
        std::function<void()> lost_focus;
    };
    QHash<QObject*, Field> fields_;
};

} // namespace qb
