#pragma once
// The About box: the program's version and a Close button that unloads it.
#include "shell/shell.h"

#include <QWidget>

class QLabel;
class QPushButton;

namespace qb {

class Aboutbox : public QWidget, public LoadHandler {
    Q_OBJECT
public:
    explicit Aboutbox(QWidget* parent);
    void form_load() override;

    QLabel* version_label = nullptr;
    QPushButton* Close = nullptr;

private:
    void Close_Click();
};

} // namespace qb
