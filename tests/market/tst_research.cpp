// The research links window driven through its controls and its caption dialog: the
// rows and the scroll bar, opening links, new, rename, delete and in-place edits, and
// what goes back into "custom_links".
#include "core/text_helpers.h"
#include "market/market_windows.h"
#include "market/research.h"
#include "market/research_get_button.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "support/fakes.h"
#include "support/growth.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

using namespace qb;
using namespace qb::test;

namespace {

QString links_text(const QList<QStringList>& links, std::optional<int> numlinks = std::nullopt) {
    QString s = make_tag("numlinks", QString::number(numlinks.value_or(int(links.size()))));
    for (int i = 0; i < links.size(); ++i) {
        const QString n = QString::number(i + 1);
        s += make_tag("button" + n, links[i].value(0)) + make_tag("link" + n, links[i].value(1)) +
             make_tag("desc" + n, links[i].value(2));
    }
    return s;
}

QList<QStringList> numbered(int n) {
    QList<QStringList> l;
    for (int i = 0; i < n; ++i)
        l << QStringList{QStringLiteral("Site %1").arg(i), QStringLiteral("site%1.example.com").arg(i),
                         QStringLiteral("About %1").arg(i)};
    return l;
}

struct ResearchFixture {
    explicit ResearchFixture(const std::optional<QString>& links = std::nullopt) {
        fx.start();
        if (links) fx.core->custom_links = *links;
        shell = std::make_unique<Shell>(*fx.core);
        register_market_windows(*shell);
        shell->end_program = [] {};
        mdi = shell->mdi();
        mdi->show();
        fx.messages.boxes.clear();
        mdi->menu_item(QStringLiteral("mnuWeb"))->trigger();
        w = shell->window_as<Research>(QStringLiteral("Research"));
        QApplication::setActiveWindow(w);
    }
    ~ResearchFixture() { shell.reset(); }
    QStringList shown_captions() const {
        QStringList c;
        for (int r = 0; r < Research::kRows; ++r)
            if (w->Go_Button[size_t(r)]->isVisible()) c << w->Go_Button[size_t(r)]->text();
        return c;
    }
    // Answers the caption dialog that the next click opens; an empty `text` cancels.
    // Blank text is typed and saved first, which must leave the dialog open.
    void answer_caption(const QString& text, bool* stayed_open_on_blank = nullptr) {
        QTimer::singleShot(0, [text, stayed_open_on_blank] {
            auto* d = qobject_cast<GetButton*>(QApplication::activeModalWidget());
            if (!d) return;
            if (stayed_open_on_blank) {
                d->name_text->setText("   ");
                QTest::mouseClick(d->SaveClose, Qt::LeftButton);
                *stayed_open_on_blank = d->isVisible();
            }
            d->name_text->selectAll();
            QTest::keyClicks(d->name_text, text);
            QTest::mouseClick(text.isEmpty() ? d->Close : d->SaveClose, Qt::LeftButton);
            if (d->isVisible()) d->reject();
        });
    }
    void close() {
        QTest::mouseClick(w->Close, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void focus_url(int row) {
        QApplication::setActiveWindow(w);  // a closed dialog leaves no window active offscreen
        w->Web_url[size_t(row)]->setFocus();
        QCOMPARE(QApplication::focusWidget(), w->Web_url[size_t(row)]);
    }

    CoreFixture fx;
    std::unique_ptr<Shell> shell;
    MDIMain* mdi = nullptr;
    Research* w = nullptr;
};

} // namespace

class TstResearch : public QObject {
    Q_OBJECT

private slots:
    void default_links_and_closing_unchanged() {
        ResearchFixture f;
        QVERIFY(f.w->isVisible());
        QCOMPARE(f.w->windowTitle(), QStringLiteral("Internet Research"));
        QVERIFY(f.w->Instruct_label->text().startsWith("The Internet is a great source of information. "));
        QCOMPARE(f.w->links.size(), 15);
        QCOMPARE(f.w->VScroll1->maximum(), 14);
        QCOMPARE(f.shown_captions().size(), 6);
        QCOMPARE(f.shown_captions().first(), QStringLiteral("Company SEC Filings"));
        const QString before = f.fx.core->custom_links;
        f.close();
        QVERIFY(!f.shell->is_form_loaded("Research"));
        QCOMPARE(f.fx.core->custom_links, before);
        QVERIFY(!QFile::exists(f.fx.path("pref.dat")));
    }

    void empty_links_then_new() {
        ResearchFixture f(QString{});
        QCOMPARE(f.w->links.size(), 1);
        QVERIFY(f.w->links[0].empty);
        QVERIFY(f.shown_captions().isEmpty());
        QCOMPARE(f.w->VScroll1->maximum(), 0);
        f.answer_caption("My Broker");
        QTest::mouseClick(f.w->New_Button, Qt::LeftButton);
        QCOMPARE(f.shown_captions(), QStringList{"My Broker"});
        // Row 0 shows the new link (the free slot before it is skipped); its address is next.
        QCOMPARE(f.w->focusWidget(), f.w->Web_url[0]);
        QCOMPARE(f.w->Web_url[0]->property("Tag").toString(), QStringLiteral("1"));
        QTest::keyClicks(f.w->Web_url[0], "broker.example.com");
        QTest::keyClicks(f.w->Web_details[0], " Orders ");
        f.close();
        QCOMPARE(f.fx.core->custom_links, links_text({{"My Broker", "broker.example.com", "Orders"}}));
        QVERIFY(QString::fromLatin1(read_file(f.fx.path("pref.dat"))).contains("broker.example.com"));
    }

    void empty_slots_are_skipped_and_renumbered() {
        ResearchFixture f(links_text({{"One", "one.example.com", "a"}, {}, {"Three", "three.example.com", "c"}}));
        QCOMPARE(f.shown_captions(), QStringList({"One", "Three"}));
        f.focus_url(1);
        QCOMPARE(f.w->focused_link_index, int16_t(2));
        QTest::keyClick(f.w->Web_url[1], Qt::Key_End);
        QTest::keyClicks(f.w->Web_url[1], "/x");
        QVERIFY(f.w->close());  // the frame's close box
        QVERIFY(!f.shell->is_form_loaded("Research"));
        QCOMPARE(f.fx.core->custom_links,
                 links_text({{"One", "one.example.com", "a"}, {"Three", "three.example.com/x", "c"}}));
    }

    void go_opens_web_addresses_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("message");
        QTest::newRow("bare host") << "www.example.com" << "http://www.example.com" << "";
        QTest::newRow("http any case") << "HTTP://Example.com/a" << "http://example.com/a" << "";
        QTest::newRow("https kept") << "https://secure.example.com/q" << "https://secure.example.com/q" << "";
        QTest::newRow("host with port") << "localhost:8080/x" << "http://localhost:8080/x" << "";
        QTest::newRow("other scheme refused") << "ftp://files.example.com" << ""
                                              << "Warning: Not a web address. Not opened: ftp://files.example.com";
        QTest::newRow("too short") << "a.b" << ""
                                   << "Error: Please type in a valid web address in the field next to the button.";
    }
    void go_opens_web_addresses() {
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        QFETCH(QString, message);
        ResearchFixture f(links_text({{"Go", "", ""}}));
        QTest::keyClicks(f.w->Web_url[0], typed);
        QTest::mouseClick(f.w->Go_Button[0], Qt::LeftButton);
        QCOMPARE(f.fx.shell.urls.size(), opened.isEmpty() ? 0 : 1);
        if (!opened.isEmpty()) QCOMPARE(f.fx.shell.urls[0].toString(), opened);
        QCOMPARE(f.fx.messages.box_texts(), message.isEmpty() ? QStringList() : QStringList{message});
        // A double-click on the address does the same.
        f.fx.messages.boxes.clear();
        QTest::mouseDClick(f.w->Web_url[0], Qt::LeftButton);
        QCOMPARE(f.fx.shell.urls.size(), opened.isEmpty() ? 0 : 2);
    }

    void captions_through_the_dialog() {
        ResearchFixture f(links_text(numbered(2)));
        // Blanks keep the dialog open; 60 characters become 50.
        bool stayed_open = false;
        f.answer_caption(QString(60, u'x'), &stayed_open);
        QTest::mouseClick(f.w->New_Button, Qt::LeftButton);
        QVERIFY(stayed_open);
        QCOMPARE(f.w->links.size(), 3);
        QCOMPARE(f.w->links[2].button, QString(50, u'x'));
        // Cancel during New adds nothing.
        f.answer_caption(QString());
        QTest::mouseClick(f.w->New_Button, Qt::LeftButton);
        QCOMPARE(f.w->links.size(), 3);
        // Rename the focused link; cancel keeps the old caption.
        f.focus_url(1);
        f.answer_caption("Renamed");
        QTest::mouseClick(f.w->Edit_Button, Qt::LeftButton);
        QCOMPARE(f.w->Go_Button[1]->text(), QStringLiteral("Renamed"));
        QCOMPARE(f.w->links[1].button, QStringLiteral("Renamed"));
        f.focus_url(0);
        f.answer_caption(QString());
        QTest::mouseClick(f.w->Edit_Button, Qt::LeftButton);
        QCOMPARE(f.w->links[0].button, QStringLiteral("Site 0"));
        // An index outside the table is not touched, and no dialog comes up.
        f.w->focused_link_index = 40;
        f.answer_caption(QString());  // closes a dialog that should not come
        QTest::mouseClick(f.w->Edit_Button, Qt::LeftButton);
        QCOMPARE(f.w->links.size(), 3);
    }

    void delete_asks_and_closes_the_gap() {
        ResearchFixture f(links_text(numbered(3)));
        f.focus_url(1);
        f.fx.messages.answers.enqueue(kAnswerNo);
        QTest::mouseClick(f.w->Delete_Button, Qt::LeftButton);
        QCOMPARE(f.fx.messages.questions.last().second, QStringLiteral("Are you sure you want to DELETE the 'Site 1' Button?"));
        QCOMPARE(f.fx.messages.styles.last(), kStyleStop);
        QCOMPARE(f.shown_captions().size(), 3);
        f.focus_url(1);
        f.fx.messages.answers.enqueue(kAnswerYes);
        QTest::mouseClick(f.w->Delete_Button, Qt::LeftButton);
        QCOMPARE(f.shown_captions(), QStringList({"Site 0", "Site 2"}));
        QCOMPARE(QApplication::focusWidget(), f.w->Web_url[0]);
        f.close();
        const QList<QStringList> all = numbered(3);
        QCOMPARE(f.fx.core->custom_links, links_text({all[0], all[2]}));
    }

    void page_keys_scroll_bar_and_wheel() {
        ResearchFixture f(links_text(numbered(8)));
        f.focus_url(0);
        QTest::keyClick(f.w->Web_url[0], Qt::Key_PageDown);
        QCOMPARE(f.shown_captions().first(), QStringLiteral("Site 3"));
        QCOMPARE(f.w->VScroll1->value(), 3);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
        QCOMPARE(f.shown_captions().first(), QStringLiteral("Site 0"));
        // One notch back over a description scrolls the links by one, forward back again.
        QWidget* d = f.w->Web_details[2];
        const QPoint at = d->rect().center();
        QWheelEvent back(at, d->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(d, &back);
        QCOMPARE(f.w->VScroll1->value(), 1);
        QCOMPARE(f.shown_captions().first(), QStringLiteral("Site 1"));
        QWheelEvent forward(at, d->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                            Qt::NoScrollPhase, false);
        QApplication::sendEvent(d, &forward);
        QCOMPARE(f.w->VScroll1->value(), 0);
        // Over the bar itself the step is one link as well.
        QWheelEvent on_bar(QPoint(2, 2), f.w->VScroll1->mapToGlobal(QPoint(2, 2)), QPoint(), QPoint(0, -120),
                           Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.w->VScroll1, &on_bar);
        QCOMPARE(f.w->VScroll1->value(), 1);
    }

    void damaged_links_text_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("slot_count");
        QTest::addColumn<QStringList>("first_captions");
        QTest::newRow("100 links") << links_text(numbered(100)) << 100
                                   << QStringList({"Site 0", "Site 1", "Site 2", "Site 3", "Site 4", "Site 5"});
        QTest::newRow("angle brackets") << links_text({{"<b>Bold</b> & >", "x.example.com", "a < b > c"}}) << 1
                                        << QStringList{"<b>Bold</b> & >"};
        QTest::newRow("count far too high") << links_text(numbered(2), 99999999) << 2
                                            << QStringList({"Site 0", "Site 1"});
        QTest::newRow("negative count") << links_text(numbered(2), -5) << 1 << QStringList();
        QTest::newRow("closing tag missing")
            << make_tag("numlinks", "2") + "<button1>Broken<link1>a.example.com<\\link1>" +
                   make_tag("button2", "Fine") + make_tag("link2", "b.example.com")
            << 2 << QStringList({"", "Fine"});
    }
    void damaged_links_text() {
        QFETCH(QString, text);
        QFETCH(int, slot_count);
        QFETCH(QStringList, first_captions);
        ResearchFixture f(text);
        QCOMPARE(f.w->links.size(), slot_count);
        QCOMPARE(f.shown_captions(), first_captions);
        QVERIFY(f.fx.messages.boxes.isEmpty());
        // A change writes back what was read, in the tagged form, and reads back the same.
        if (first_captions.isEmpty()) return;
        f.focus_url(0);
        QTest::keyClick(f.w->Web_url[0], Qt::Key_End);
        QTest::keyClicks(f.w->Web_url[0], "/");
        const QVector<ResearchLink> before = f.w->links;
        f.close();
        f.shell.reset();
        f.fx.restart();
        Shell again(*f.fx.core);
        register_market_windows(again);
        auto* w = again.window_as<Research>(QStringLiteral("Research"));
        int j = 0;
        for (const ResearchLink& l : before) {
            if (l.empty) continue;
            QCOMPARE(w->links[j].button, l.button);
            QCOMPARE(w->links[j].link, l.link);
            QCOMPARE(w->links[j].desc, l.desc);
            ++j;
        }
    }

    // Opening reads every link once: four times the links take about four times as long,
    // not sixteen. Up to 10,000 short links, a full pref.dat's worth.
    void opening_time_grows_with_the_links() {
        const QString texts[2] = {links_text(numbered(2500)), links_text(numbered(10000))};
        bool all_read = true;
        const Growth g = measure_growth([&](bool large) {
            CoreFixture fx;
            fx.start();
            fx.core->custom_links = texts[large];
            Shell shell(*fx.core);
            register_market_windows(shell);
            shell.end_program = [] {};
            shell.mdi()->menu_item(QStringLiteral("mnuWeb"))->trigger();
            all_read = all_read &&
                       shell.window_as<Research>(QStringLiteral("Research"))->links.size() == (large ? 10000 : 2500);
        }, 3);
        qInfo("10,000 against 2,500 links: %s", qPrintable(g.text()));
        QVERIFY(all_read);
        QVERIFY2(g.ratio() < 8, qPrintable(g.text()));
    }
};

QTEST_MAIN(TstResearch)
#include "tst_research.moc"
