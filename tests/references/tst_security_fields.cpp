// The security fields shared by the reference editors, on a bare host window: the price
// filter, the quote, the symbol look-up, the shared checks and the completion's flags.
#include "core/core.h"
#include "core/text_helpers.h"
#include "references/editor_fields.h"
#include "references/security_fields.h"
#include "support/fakes.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

struct Host {
    Host() {
        fx.start();
        window.resize(600, 200);
        auto* fields = new EditorFields(&window);
        group = new SecurityFields(&window, fields, QStringLiteral("Price:"), [this] { ++changes; });
        group->security_name->setGeometry(10, 10, 200, 22);
        group->symbol_textbox->setGeometry(10, 40, 100, 22);
        group->security_price->setGeometry(10, 70, 100, 22);
        group->quote->setGeometry(120, 40, 80, 22);
        group->quote_label->setGeometry(220, 40, 200, 22);
        other = new QLineEdit(&window);
        other->setGeometry(10, 100, 100, 22);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    void add_entry(const QString& name, const QString& symbol) {
        SummaryEntry e;
        e.Inuse = kTrue;
        e.security = name;
        e.symbol = symbol;
        fx.core->SummaryData.append(e);
    }
    QString check() {
        QString message;
        bool valid = true;
        group->check_name_and_symbol_length(message, valid);
        group->check_price(message, valid);
        group->check_name_present(message, valid);
        return valid ? QString() : message;
    }
    CoreFixture fx;
    QWidget window;
    SecurityFields* group = nullptr;
    QLineEdit* other = nullptr;
    int changes = 0;
};

} // namespace

class TestSecurityFields : public QObject {
    Q_OBJECT
private slots:
    void price_box_keeps_digits_and_point_data();
    void price_box_keeps_digits_and_point();
    void quote_fills_and_colours();
    void symbol_from_the_newest_entry_of_that_name();
    void shared_checks_data();
    void shared_checks();
    void existing_price_is_formatted_data();
    void existing_price_is_formatted();
    void completion_not_resumed_after_leaving();
};

void TestSecurityFields::price_box_keeps_digits_and_point_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("currency and grouping") << "$1,234.50" << "1234.50";
    QTest::newRow("minus") << "-3" << "3";
    QTest::newRow("decimal comma") << "12,50" << "1250";
    QTest::newRow("blanks and letters") << " 7 x.5" << "7.5";
}

void TestSecurityFields::price_box_keeps_digits_and_point() {
    QFETCH(QString, typed);
    Host h;
    h.group->security_price->setFocus();
    QTest::keyClicks(h.group->security_price, typed);
    QTEST(h.group->security_price->text(), "kept");
    QVERIFY(h.changes > 0);
}

void TestSecurityFields::quote_fills_and_colours() {
    Host h;
    SecurityFields* g = h.group;
    g->quote_label->setText("old");
    QTest::mouseClick(g->quote, Qt::LeftButton);
    QCOMPARE(h.fx.http.requests.size(), 0);
    QCOMPARE(g->quote_label->text(), QString("old"));
    QVERIFY(g->symbol_textbox->hasFocus());

    g->symbol_textbox->setText("ACME");
    h.fx.http.replies.enqueue(QByteArray("\"ACME\",5.25,\"3/14/2026\",\"4:00pm\",-0.50,4.00\r\n"));
    QTest::mouseClick(g->quote, Qt::LeftButton);
    QCOMPARE(g->quote_label->text(), QString("5.25   -0.50"));
    QCOMPARE(g->quote_label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    QCOMPARE(g->security_price->text(), QString("5.25"));
    QVERIFY(g->symbol_textbox->hasFocus());

    // A zero price is replaced, a typed one never.
    g->security_price->setText("0");
    h.fx.http.replies.enqueue(QByteArray("\"ACME\",6.00,\"3/14/2026\",\"4:00pm\",+0.75,4.00\r\n"));
    QTest::mouseClick(g->quote, Qt::LeftButton);
    QCOMPARE(g->quote_label->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    QCOMPARE(g->security_price->text(), QString("6.00"));
    g->security_price->setText("12.50");
    h.fx.http.replies.enqueue(QByteArray("\"ACME\",6.00,\"3/14/2026\",\"4:00pm\",0.00,4.00\r\n"));
    QTest::mouseClick(g->quote, Qt::LeftButton);
    QCOMPARE(g->security_price->text(), QString("12.50"));

    h.fx.http.replies.enqueue(QByteArray("\"OTHER\",1.00,\"3/14/2026\",\"4:00pm\",+0.10,4.00\r\n"));
    QTest::mouseClick(g->quote, Qt::LeftButton);
    QCOMPARE(g->quote_label->text(), QString("Quote N/A"));
    QCOMPARE(g->quote_label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
}

void TestSecurityFields::symbol_from_the_newest_entry_of_that_name() {
    Host h;
    h.add_entry("Acme Corp", "OLD");
    h.add_entry("ACME CORP", "ACME");
    h.add_entry("acme corp", "");
    SecurityFields* g = h.group;
    auto leave_name = [&](const QString& name) {
        g->security_name->setFocus();
        g->security_name->setText(name);
        h.other->setFocus();
    };
    leave_name("acme Corp ");
    QCOMPARE(g->symbol_textbox->text(), QString("ACME"));
    g->symbol_textbox->setText("MINE");
    leave_name("Acme Corp");
    QCOMPARE(g->symbol_textbox->text(), QString("MINE"));
    g->symbol_textbox->clear();
    leave_name("Nobody");
    QCOMPARE(g->symbol_textbox->text(), QString());
    QCOMPARE(g->security_name->palette().color(QPalette::Base), QColor(255, 255, 255));
}

void TestSecurityFields::shared_checks_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("message");
    const QString too_long = "Security name + Symbol is too long. Total number of letters must be less than 33";
    QTest::newRow("name of 40") << QString(40, u'N') << "" << "1" << "";
    QTest::newRow("name of 41") << QString(41, u'N') << "" << "1" << too_long;
    QTest::newRow("name and symbol 33") << QString(30, u'N') << "ABC" << "1" << "";
    QTest::newRow("name and symbol 34") << QString(30, u'N') << "ABCD" << "1" << too_long;
    QTest::newRow("empty name") << "" << "" << "" << "Security Name must be filled in. ";
    QTest::newRow("blanks only") << "   " << "" << "" << "Security Name must be filled in. ";
    QTest::newRow("largest price") << "Acme" << "" << "922337203685477.5807" << "";
    QTest::newRow("price over Currency") << "Acme" << "" << "922337203685478" << "Price is too large. ";
    QTest::newRow("two failures in order") << QString(41, u'N') << "" << QString(30, u'9')
                                           << too_long + "Price is too large. ";
}

void TestSecurityFields::shared_checks() {
    QFETCH(QString, name);
    QFETCH(QString, symbol);
    QFETCH(QString, price);
    Host h;
    h.group->security_name->setText(name);
    h.group->symbol_textbox->setText(symbol);
    h.group->security_price->setText(price);
    QTEST(h.check(), "message");
}

void TestSecurityFields::existing_price_is_formatted_data() {
    QTest::addColumn<qint64>("price");
    QTest::addColumn<QString>("shown");
    QTest::newRow("whole") << qint64(120000) << "12.00";
    QTest::newRow("one decimal") << qint64(125000) << "12.50";
    QTest::newRow("four decimals") << qint64(123456) << "12.3456";
    QTest::newRow("zero") << qint64(0) << "";
}

void TestSecurityFields::existing_price_is_formatted() {
    QFETCH(qint64, price);
    Host h;
    SummaryEntry e;
    e.security = "Acme ";
    e.symbol = " ACME";
    e.price = price;
    h.group->quote_label->setText("5.00");
    h.group->show_existing(e);
    QTEST(h.group->security_price->text(), "shown");
    QCOMPARE(h.group->security_name->text(), QString("Acme"));
    QCOMPARE(h.group->symbol_textbox->text(), QString("ACME"));
    QCOMPARE(h.group->quote_label->text(), QString());
    SummaryEntry back;
    h.group->store(back);
    QCOMPARE(back.price, Currency(price));
}

void TestSecurityFields::completion_not_resumed_after_leaving() {
    Host h;
    h.fx.core->add_autocomplete_entry("Acme Corp");
    QLineEdit* name = h.group->security_name;
    name->setFocus();
    QTest::keyClick(name, 'A');
    QCOMPARE(name->text(), QString("Acme Corp"));
    QVERIFY(h.group->completion_started());
    h.other->setFocus();
    QVERIFY(!h.group->completion_active());
    // Back in the box, typing runs on as plain typing.
    name->setFocus();
    name->setCursorPosition(1);
    QTest::keyClick(name, 'x');
    QCOMPARE(name->text(), QString("Axcme Corp"));
    // An emptied box completes again.
    name->clear();
    QTest::keyClick(name, 'A');
    QCOMPARE(name->text(), QString("Acme Corp"));
}

QTEST_MAIN(TestSecurityFields)
#include "tst_security_fields.moc"
