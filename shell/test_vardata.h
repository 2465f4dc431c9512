#pragma once
// A developer's window for the long-text store: writes a test text at a record of
// VarData.dat, reads it back and compares, and dumps the file record by record.
// Reached by its name only; no menu or button of the program opens it.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qb {

class TestVarData : public QWidget {
    Q_OBJECT
public:
    explicit TestVarData(QWidget* parent);

    QLineEdit* RecNum = nullptr;
    QLineEdit* StrLength = nullptr;
    QLineEdit* FillWith = nullptr;
    QPlainTextEdit* ViewFile_textbox = nullptr;
    QLabel* results = nullptr;
    QPushButton* Add_Button = nullptr;
    QPushButton* Edit_Button = nullptr;
    QPushButton* doit_button = nullptr;
    QPushButton* ViewFile_Command = nullptr;

private:
    void Add_Button_Click();
    void Edit_Button_Click();
    void doit_button_Click();
    void ViewFile_Command_Click();
};

} // namespace qb
