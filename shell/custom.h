#pragma once
// The preferences window: the user's own transaction types and the text colour.
#include "shell/shell.h"

#include <QWidget>
#include <array>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qb {

class Custom : public QWidget, public LoadHandler, public UnloadHandler {
    Q_OBJECT
public:
    explicit Custom(QWidget* parent);
    void form_load() override;
    void form_unload() override;

    // Checks the typed types; only a list that is valid as a whole replaces trans_type.
    void validate_and_set_trans(bool& ok);

    int16_t selected_color = 0;
    QPlainTextEdit* trans_text = nullptr;
    std::array<QCheckBox*, 6> Check1{};
    std::array<QLineEdit*, 6> Example{};
    QPushButton* activate_button = nullptr;
    QPushButton* Close = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Check1_Click(int Index);
    void activate_button_Click();
    void Close_Click();
};

} // namespace qb
