#pragma once
// The security name, symbol and price boxes with the quote button, as every reference
// editor shows them: name completion, the symbol looked up from earlier entries, a price
// box that keeps only a decimal number, and the quote fetch.
#include "core/records.h"
#include "journal/price_value.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace qb {

class AutocompleteLineEdit;
class EditorFields;

class SecurityFields : public QObject {
public:
    static constexpr int kNameFieldWidth = 40;

    // changed runs on every change the user (or a quote) makes to the three boxes.
    SecurityFields(QWidget* editor, EditorFields* fields, const QString& price_caption, std::function<void()> changed);

    QLabel* name_label = nullptr;
    QLineEdit* security_name = nullptr;
    QLabel* symbol_label = nullptr;
    QLineEdit* symbol_textbox = nullptr;
    QLabel* price_label = nullptr;
    QLineEdit* security_price = nullptr;
    QPushButton* quote = nullptr;
    QLabel* quote_label = nullptr;

    // Hands the controls to the editor's members that carry their names.
    void expose(QLabel*& name, QLineEdit*& name_box, QLabel*& symbol, QLineEdit*& symbol_box, QLabel*& price,
                QLineEdit*& price_box, QPushButton*& quote_button, QLabel*& quote_text) const;

    bool completion_started() const;
    bool completion_active() const;

    // Preparing the editor: a new entry takes the name only, an existing one all three.
    void show_new(const SummaryEntry& e);
    void show_existing(const SummaryEntry& e);
    void store(SummaryEntry& e) const;

    // The shared checks; each failure appends its text and clears valid.
    void check_name_and_symbol_length(QString& message, bool& valid) const;
    void check_price(QString& message, bool& valid) const;
    void check_name_present(QString& message, bool& valid) const;

    void update_foreground_color(uint32_t colour);
    void quote_Click();

private:
    void security_name_LostFocus();
    void security_price_Change();

    AutocompleteLineEdit* completion_ = nullptr;
    std::function<void()> changed_;
};

} // namespace qb
