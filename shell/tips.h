#pragma once
// The tips window: one tip at a time, following what the user looks at. Each highlight
// of a command-bar button and each toolbar click moves it to the first tip of that area.
#include "shell/shell.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace qb {

class Tips : public QWidget, public LoadHandler {
    Q_OBJECT
public:
    explicit Tips(QWidget* parent);
    void form_load() override;

    void update_Tips(int16_t context);
    void set_tip_to_currentTip();

    QLineEdit* Context_textbox = nullptr;
    QTextEdit* tips_textbox = nullptr;
    QCheckBox* StartUpCheck = nullptr;
    QPushButton* FirstTip = nullptr;
    QPushButton* NextTip = nullptr;
    QPushButton* Close = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void show_tip();
    void FirstTip_Click();
    void NextTip_Click();
    void Close_Click();
    void StartUpCheck_Click();
};

} // namespace qb
