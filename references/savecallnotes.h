#pragma once
// The call notes editor: notes taken during a company's conference call with investors,
// with the security, the date of the call and its topic.
#include "references/editor_fields.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qb {

class EditorFields;
class SecurityFields;

class SaveCallNotes : public QWidget, public Screen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 10050;
    static constexpr int kTopicLimit = 100;
    static constexpr int kNotesLimit = 30000;

    explicit SaveCallNotes(QWidget* parent);

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void clear_add_or_edit_ongoing() override { add_or_edit_ongoing = false; }
    void update_foreground_color() override;
    void handle_resize() override;
    void fill_display(int16_t mode) override { set_current_savecallnotes(mode); }
    void save_data_and_continue(bool& continue_flag) override;

    void set_current_savecallnotes(int16_t mode);
    void validate_current_data(QString& message, bool& valid);
    bool is_modified() const { return add_or_edit_ongoing; }

    // Multi-line text with the CR LF line ends of the stored texts.
    QString notes_text() const;

    // ---- controls, by their names (the call-notes print layout reads them) ----
    QLabel* Title_label = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* security_name = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* symbol_textbox = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* security_price = nullptr;
    QPushButton* quote = nullptr;
    QLabel* quote_label = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Date_textbox = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* topic_textbox = nullptr;
    QLabel* Label5 = nullptr;
    QPlainTextEdit* Other_textbox = nullptr;

    SecurityFields* security_fields() const { return security_; }

private:
    void Form_Load();
    bool save_call_notes_entry();

    bool add_or_edit_ongoing = false;
    EditorFields* fields_ = nullptr;
    SecurityFields* security_ = nullptr;

    // distances taken at load (twips)
    FormMargins margins_;
    int notes_height_margin = 0;
};

} // namespace qb
