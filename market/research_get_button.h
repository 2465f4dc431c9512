#pragma once
// The small modal dialog in which the user types a link's button caption.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qb {

class Research;

class GetButton : public QDialog {
    Q_OBJECT
public:
    static constexpr int kMaxCaption = 50;

    GetButton(QWidget* parent, Research& research);
    void set_button_name(const QString& name);

    QLabel* Label1 = nullptr;
    QLineEdit* name_text = nullptr;
    QPushButton* SaveClose = nullptr;
    QPushButton* Close = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SaveClose_Click();
    void Close_Click();
    Research& research_;
};

} // namespace qb
