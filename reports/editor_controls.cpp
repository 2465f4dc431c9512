#include "reports/editor_controls.h"

#include "shell/shell.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace qb {
namespace {

QString with_crlf(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

} // namespace

QString control_text(const QWidget* w) {
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
    if (auto* p = qobject_cast<const QPlainTextEdit*>(w)) return with_crlf(p->toPlainText());
    if (auto* t = qobject_cast<const QTextEdit*>(w)) return with_crlf(t->toPlainText());
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
    if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
    return QString();
}

uint32_t control_fore_color(const QWidget* w) {
    const bool label = qobject_cast<const QLabel*>(w) != nullptr;
    const QColor c = w->palette().color(label ? QPalette::WindowText : QPalette::Text);
    return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}

QWidget* named_control(QWidget* editor, const QString& name) {
    QWidget* w = editor->findChild<QWidget*>(name);
    if (!w) throw std::runtime_error("The editor has no control " + name.toStdString());
    return w;
}

QWidget* open_editor(const QString& name) {
    QWidget* w = Shell::current() ? Shell::current()->loaded_window(name) : nullptr;
    if (!w) throw std::runtime_error("The window " + name.toStdString() + " is not open");
    return w;
}

} // namespace qb
