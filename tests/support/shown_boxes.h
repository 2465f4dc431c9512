#pragma once
// The program's own message boxes and dialogs, shown without waiting for a button: where
// each came up and which window it stood over. The answers are scripted.
#include "platform/qt_platform.h"

#include <QDialog>
#include <QFileDialog>
#include <QList>
#include <QMessageBox>
#include <QQueue>
#include <QRect>

namespace qb::test {

struct ShownBox {
    QString text;      // a message's text, a dialog's title
    QRect frame;       // where it came up, border included
    QWidget* over;     // the window it belongs to, or nullptr
    bool over_visible;
};

inline ShownBox shown_box(QWidget& box, const QString& text) {
    box.show();
    QWidget* over = box.parentWidget() ? box.parentWidget()->window() : nullptr;
    ShownBox b{text, box.frameGeometry(), over, over && over->isVisible()};
    box.hide();
    return b;
}

class ShownBoxes : public QtMessagePresenter {
public:
    QList<ShownBox> shown;
    QQueue<int> answers;  // the button each box is closed with; Ok, or No for a question, when empty

protected:
    int answer(QMessageBox& box) override {
        shown.append(shown_box(box, box.text()));
        if (!answers.isEmpty()) return answers.dequeue();
        return box.standardButtons().testFlag(QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
    }
};

class ShownDialogs : public QtDialogs {
public:
    QList<ShownBox> shown;
    QString next_folder;  // a file dialog accepted in this folder; cancelled when empty

protected:
    int run(QDialog& dialog) override {
        shown.append(shown_box(dialog, dialog.windowTitle()));
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        if (!files || next_folder.isEmpty()) return QDialog::Rejected;
        files->setDirectory(next_folder);
        return QDialog::Accepted;
    }
};

} // namespace qb::test
