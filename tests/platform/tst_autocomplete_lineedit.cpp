// Security-name completion on a real line edit, driven by key clicks.
#include "platform/autocomplete_lineedit.h"
#include "support/fakes.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

// Keys as text: '\b' Backspace, '\x7f' Delete, '<' Left, '^' Home, '$' End, '\r' Enter;
// every other character is typed as itself.
void type(QLineEdit* box, const QString& keys) {
    for (QChar ch : keys) {
        switch (ch.unicode()) {
        case '\b': QTest::keyClick(box, Qt::Key_Backspace); break;
        case 0x7f: QTest::keyClick(box, Qt::Key_Delete); break;
        case '<': QTest::keyClick(box, Qt::Key_Left); break;
        case '^': QTest::keyClick(box, Qt::Key_Home); break;
        case '$': QTest::keyClick(box, Qt::Key_End); break;
        case '\r': QTest::keyClick(box, Qt::Key_Return); break;
        default: QTest::keyClick(box, char(ch.toLatin1()));
        }
    }
}

} // namespace

class TestAutocompleteLineEdit : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typing_data();
    void typing();
    void focus_loss_ends_the_completion();
    void emptied_box_completes_again();
    void reset_on_a_filled_box();

private:
    std::unique_ptr<CoreFixture> fixture_;
    std::unique_ptr<QWidget> window_;
    QLineEdit* name_ = nullptr;
    QLineEdit* other_ = nullptr;
    AutocompleteLineEdit* completer_ = nullptr;
};

void TestAutocompleteLineEdit::init() {
    fixture_ = std::make_unique<CoreFixture>();
    for (const char* name : {"Amazon", "Alcoa", "Adobe", "Boeing"}) fixture_->core->add_autocomplete_entry(name);
    window_ = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window_.get());
    name_ = new QLineEdit;
    other_ = new QLineEdit;
    layout->addWidget(name_);
    layout->addWidget(other_);
    completer_ = new AutocompleteLineEdit(name_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    name_->setFocus();
}

void TestAutocompleteLineEdit::cleanup() {
    window_.reset();
    fixture_.reset();
}

void TestAutocompleteLineEdit::typing_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("active");

    QTest::newRow("first key fills in the newest") << "A" << "Adobe" << 1 << true;
    QTest::newRow("typing along moves the cursor") << "Adob" << "Adobe" << 4 << true;
    QTest::newRow("typing to the end and beyond") << "Adobes" << "Adobes" << 6 << true;
    QTest::newRow("leading away switches to the second") << "Al" << "Alcoa" << 2 << true;
    QTest::newRow("leading away switches to the third") << "Am" << "Amazon" << 2 << true;
    QTest::newRow("then along the third") << "Amaz" << "Amazon" << 4 << true;
    QTest::newRow("no name: cut back to what was typed") << "Ax" << "Ax" << 2 << false;
    QTest::newRow("cut back after a switch") << "Alx" << "Alx" << 3 << false;
    QTest::newRow("after the cut typing is plain") << "Axyz" << "Axyz" << 4 << false;
    QTest::newRow("after the cut, typing inside inserts") << "Axy<<b" << "Abxy" << 2 << false;
    QTest::newRow("small letter finds no capital") << "ad" << "ad" << 2 << true;
    QTest::newRow("unknown first letter") << "Qu" << "Qu" << 2 << true;
    QTest::newRow("Backspace drops the tail and a letter") << "Ad\b" << "A" << 1 << false;
    QTest::newRow("Backspace on the first letter empties") << "A\b" << "" << 0 << true;
    QTest::newRow("Backspace, then a fresh completion") << "A\bB" << "Boeing" << 1 << true;
    QTest::newRow("Delete removes the next character") << "Alc\x7f" << "Alca" << 3 << true;
    QTest::newRow("typing after Delete cuts back") << "Alc\x7f" "x" << "Alcx" << 4 << false;
    QTest::newRow("Enter leaves the completion alone") << "Al\r" << "Alcoa" << 2 << true;
    QTest::newRow("at the start the key inserts") << "A^X" << "XAdobe" << 1 << true;
    QTest::newRow("End, then more typing appends") << "Al$s" << "Alcoas" << 6 << true;
}

void TestAutocompleteLineEdit::typing() {
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(bool, active);
    type(name_, keys);
    QCOMPARE(name_->text(), text);
    QCOMPARE(name_->cursorPosition(), cursor);
    QCOMPARE(name_->hasSelectedText(), false);
    QCOMPARE(completer_->completion_active(), active);
    QVERIFY(fixture_->messages.boxes.isEmpty());
}

void TestAutocompleteLineEdit::focus_loss_ends_the_completion() {
    type(name_, "Al");
    QVERIFY(completer_->completion_started());
    other_->setFocus();
    QTRY_VERIFY(other_->hasFocus());
    QCOMPARE(completer_->completion_active(), false);
    name_->setFocus();
    name_->setCursorPosition(1);
    type(name_, "m");  // would switch to Amazon while active
    QCOMPARE(name_->text(), QString("Amlcoa"));
}

void TestAutocompleteLineEdit::emptied_box_completes_again() {
    type(name_, "Ax");
    QCOMPARE(completer_->completion_active(), false);
    name_->clear();  // by code, as an editor does for a new entry
    QCOMPARE(completer_->completion_started(), false);
    QCOMPARE(completer_->completion_active(), true);
    type(name_, "Al");
    QCOMPARE(name_->text(), QString("Alcoa"));
}

void TestAutocompleteLineEdit::reset_on_a_filled_box() {
    // Editing a stored entry: the box is filled, so the first key completes nothing.
    name_->setText("Alcoa");
    completer_->reset_completion();
    name_->setCursorPosition(5);
    type(name_, "A");
    QCOMPARE(name_->text(), QString("AlcoaA"));
    QCOMPARE(completer_->completion_started(), false);
}

QTEST_MAIN(TestAutocompleteLineEdit)
#include "tst_autocomplete_lineedit.moc"
