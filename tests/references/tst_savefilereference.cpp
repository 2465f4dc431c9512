// The file reference editor: its checks, taking a file in by dialog, drop and clipboard,
// the picture preview and its scroll bars, opening the file, storing and reopening.
#include "platform/window_helpers.h"
#include "references/savefilereference.h"
#include "references_fixture.h"
#include "support/webengine_test_main.h"

#include <QGroupBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>

using namespace qb;
using namespace qb::test;

namespace {

SaveFileReference* open_new(ReferencesFixture& f) {
    f.press(button_file_reference);
    return f.window<SaveFileReference>("SaveFileReference");
}

QString make_picture(ReferencesFixture& f, const QString& name, int w, int h, const char* format) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = f.fx.path(name);
    image.save(path, format);
    return path;
}

void drop(QWidget* target, QMimeData* data) {
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
}

void drop_files(QWidget* target, const QStringList& files) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : files) urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    drop(target, &data);
}

} // namespace

class TestSaveFileReference : public QObject {
    Q_OBJECT
private slots:
    void checks_data();
    void checks();
    void dialog_and_drop_intake();
    void clipboard_intake();
    void pasted_picture_never_overwrites_a_linked_file();
    void scroll_bars_of_large_pictures();
    void viewing_the_file();
    void stored_reference_reads_back();
};

void TestSaveFileReference::checks_data() {
    QTest::addColumn<int>("name_length");
    QTest::addColumn<int>("symbol_length");
    QTest::addColumn<int>("comments_length");
    QTest::addColumn<int>("path_length");  // 0: no file chosen
    QTest::addColumn<int>("refname_length");
    QTest::addColumn<QString>("message");
    const QString name_long = "Security name + Symbol is too long. Total number of letters must be less than 33";
    QTest::newRow("30 + 3") << 30 << 3 << 0 << 20 << 0 << "";
    QTest::newRow("30 + 4") << 30 << 4 << 0 << 20 << 0 << name_long;
    QTest::newRow("name 40") << 40 << 0 << 0 << 20 << 0 << "";
    QTest::newRow("name 41") << 41 << 0 << 0 << 20 << 0 << name_long;
    QTest::newRow("comments 30000") << 5 << 0 << 30000 << 20 << 0 << "";
    QTest::newRow("path 200") << 5 << 0 << 0 << 200 << 0 << "";
    QTest::newRow("path 201") << 5 << 0 << 0 << 201 << 0
                              << "Sorry, the File Path is too long, please move file into a folder with a shorter path.";
    QTest::newRow("path of one letter") << 5 << 0 << 0 << 1 << 0 << "File Name must be filled in";
    QTest::newRow("reference 101") << 5 << 0 << 0 << 20 << 101 << "Short Reference Name is too long";
    QTest::newRow("long comments, no file") << 5 << 0 << 30001 << 0 << 0
                                            << "Other Comments field is too longFile Name must be filled in";
}

void TestSaveFileReference::checks() {
    QFETCH(int, name_length);
    QFETCH(int, symbol_length);
    QFETCH(int, comments_length);
    QFETCH(int, path_length);
    QFETCH(int, refname_length);
    QFETCH(QString, message);
    ReferencesFixture f;
    SaveFileReference* e = open_new(f);
    e->security_name->setText(QString(name_length, u'N'));
    e->symbol_textbox->setText(QString(symbol_length, u'S'));
    e->Other_textbox->setPlainText(QString(comments_length, u'c'));
    e->refname->setText(QString(refname_length, u'r'));
    if (path_length > 0) {
        // The boxes as an intake fills them, whatever the path's length.
        e->filename_textbox->setText(QString(path_length, u'p'));
        e->Short_file_name_textbox->setText("p");
    }
    f.fx.messages.answers.enqueue(kAnswerYes);
    f.save();
    if (message.isEmpty()) {
        QCOMPARE(f.fx.messages.questions.size(), 0);
        QCOMPARE(f.core().current_screen, int(screen_edit_file_reference));
        QCOMPARE(f.core().current_entry.entry.price, Currency(0));
    } else {
        QCOMPARE(f.fx.messages.questions.size(), 1);
        QCOMPARE(f.fx.messages.questions[0].second,
                 "Entry not Valid. Data NOT Saved. " + message + "\r\nWould you like to Correct this data?");
        QCOMPARE(f.entries_records(), 0);
    }
}

void TestSaveFileReference::dialog_and_drop_intake() {
    ReferencesFixture f;
    const QString photo = make_picture(f, "Photo.JPG", 40, 30, "JPEG");
    const QString jpeg = make_picture(f, "Photo.JPEG", 40, 30, "JPEG");
    write_file(f.fx.path("sheet.ods"), "cells");
    SaveFileReference* e = open_new(f);
    QCOMPARE(e->Frame1->title(), QString("Image from Clipboard"));
    f.fx.dialogs.next_open = photo;
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    QCOMPARE(e->filename_textbox->text(), photo);
    QCOMPARE(e->Short_file_name_textbox->text(), QString("Photo.JPG"));
    QCOMPARE(e->Frame1->title(), QString("Image from File"));
    QCOMPARE(e->picture_twips(), QSize(40 * 15, 30 * 15));
    QVERIFY(e->is_modified());
    // A cancelled dialog keeps the choice.
    f.fx.dialogs.next_open.clear();
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    QCOMPARE(e->filename_textbox->text(), photo);

    // Of a dropped list the first file is linked; a .JPEG is linked without a preview.
    drop_files(e, {jpeg, photo, f.fx.path("sheet.ods")});
    QCOMPARE(e->filename_textbox->text(), jpeg);
    QCOMPARE(e->Short_file_name_textbox->text(), QString("Photo.JPEG"));
    QCOMPARE(e->picture_twips(), QSize(1, 1));
    drop_files(e->Picture2, {f.fx.path("sheet.ods")});
    QCOMPARE(e->Short_file_name_textbox->text(), QString("sheet.ods"));

    // Text and folders are not files to link.
    QMimeData text;
    text.setText("just words");
    drop(e, &text);
    drop_files(e, {f.fx.dir.path()});
    QCOMPARE(e->Short_file_name_textbox->text(), QString("sheet.ods"));
    QCOMPARE(f.fx.messages.box_texts(),
             QStringList({"Information: Please choose a file, not a folder: " + f.fx.dir.path()}));
}

void TestSaveFileReference::clipboard_intake() {
    ReferencesFixture f;
    SaveFileReference* e = open_new(f);
    QVERIFY(e->CopyClipboard->width() >= e->CopyClipboard->sizeHint().width());
    // Nothing on the clipboard (or only text): the note, and nothing changes.
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    QCOMPARE(f.fx.messages.boxes.size(), 1);
    QVERIFY(f.fx.messages.box_texts()[0].startsWith("Information: There is no image stored in the Clipboard."));
    QVERIFY(!e->has_clipboard_picture());
    QCOMPARE(e->filename_textbox->text(), QString());

    e->security_name->setText("Intl Bus Mach");
    e->symbol_textbox->setText("IBM");
    f.fx.clipboard.picture = QImage(64, 48, QImage::Format_RGB32);
    f.fx.clipboard.picture.fill(Qt::red);
    f.fx.clipboard.files = {f.fx.path("ignored.txt")};  // a picture comes first
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    const QString first = e->webdata_folder_path + "IBMClipImage0.bmp";
    QCOMPARE(e->filename_textbox->text(), first);
    QCOMPARE(e->Short_file_name_textbox->text(), QString("IBMClipImage0.bmp"));
    QVERIFY(e->has_clipboard_picture());
    QCOMPARE(e->Frame1->title(), QString("Image from Clipboard"));
    // Smaller than the frame: no bars, the picture at its design place.
    QVERIFY(!e->VScroll1->isVisible());
    QCOMPARE(e->picture_place_twips(), QPoint(240, 120));
    f.save();
    QCOMPARE(f.core().current_screen, int(screen_edit_file_reference));
    QImageReader back(first);
    QCOMPARE(back.format(), QByteArray("bmp"));
    QCOMPARE(back.size(), QSize(64, 48));

    // The next paste takes the next free number; a symbol with a slash is left out.
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    QCOMPARE(e->Short_file_name_textbox->text(), QString("IBMClipImage1.bmp"));
    e->symbol_textbox->setText("A/B");
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    QCOMPARE(e->Short_file_name_textbox->text(), QString("ClipImage0.bmp"));

    // A picture of 20 MB is taken and written like any other.
    f.fx.clipboard.picture = QImage(2600, 2000, QImage::Format_RGB32);
    f.fx.clipboard.picture.fill(Qt::yellow);
    e->symbol_textbox->setText("BIG");
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    f.save();
    QCOMPARE(QImageReader(e->webdata_folder_path + "BIGClipImage0.bmp").size(), QSize(2600, 2000));

    // A copied file list links its first file.
    write_file(f.fx.path("notes.txt"), "n");
    f.fx.clipboard.picture = QImage();
    f.fx.clipboard.files = {f.fx.path("notes.txt"), f.fx.path("other.txt")};
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    QCOMPARE(e->filename_textbox->text(), f.fx.path("notes.txt"));
    QVERIFY(!e->has_clipboard_picture());
}

void TestSaveFileReference::pasted_picture_never_overwrites_a_linked_file() {
    ReferencesFixture f;
    const QString mine = make_picture(f, "mine.bmp", 20, 20, "BMP");
    const QByteArray before = read_file(mine);
    SaveFileReference* e = open_new(f);
    e->security_name->setText("Acme");
    f.fx.clipboard.picture = QImage(300, 200, QImage::Format_RGB32);
    f.fx.clipboard.picture.fill(Qt::blue);
    QTest::mouseClick(e->CopyClipboard, Qt::LeftButton);
    f.fx.dialogs.next_open = mine;
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    QVERIFY(!e->has_clipboard_picture());
    f.save();
    QCOMPARE(f.core().current_entry.entry.file.path, mine);
    QCOMPARE(read_file(mine), before);
    QVERIFY(!QFile::exists(e->webdata_folder_path + "ClipImage0.bmp"));
}

void TestSaveFileReference::scroll_bars_of_large_pictures() {
    ReferencesFixture f;
    SaveFileReference* e = open_new(f);
    const QSize frame(e->Invisible_Frame2->width(), e->Invisible_Frame2->height());
    // 7 pixels (105 twips) higher than the frame, narrower than it.
    const QString small = make_picture(f, "tall.bmp", frame.width() - 10, frame.height() + 7, "BMP");
    f.fx.dialogs.next_open = small;
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    QVERIFY(e->VScroll1->isVisible());
    QVERIFY(!e->HScroll1->isVisible());
    QCOMPARE(e->VScroll1->minimum(), 1);
    QCOMPARE(e->VScroll1->maximum(), 105);

    // Far beyond a 16-bit range: the bars still reach the picture's far edges.
    const QString big = make_picture(f, "big.bmp", 3000, 2600, "BMP");
    f.fx.dialogs.next_open = big;
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    QCOMPARE(e->VScroll1->maximum(), 2600 * 15 - px_to_twips(frame.height()));
    QCOMPARE(e->HScroll1->maximum(), 3000 * 15 - px_to_twips(frame.width()));
    QVERIFY(e->VScroll1->maximum() > 32767);
    e->VScroll1->setValue(e->VScroll1->maximum());
    QCOMPARE(e->picture_place_twips().y(), -e->VScroll1->maximum());
    QCOMPARE(e->Picture2->geometry().bottom() + 1, frame.height());
    // The wheel moves the bar by its small change.
    e->VScroll1->setValue(1000);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(e, &wheel);
    QCOMPARE(e->VScroll1->value(), 650);
    // Resizing with a large picture keeps working.
    f.mdi->resize(f.mdi->width() + 60, f.mdi->height() + 60);
    e->handle_resize();
    QCOMPARE(e->VScroll1->maximum(), 2600 * 15 - px_to_twips(e->Invisible_Frame2->height()));
}

void TestSaveFileReference::viewing_the_file() {
    ReferencesFixture f;
    SaveFileReference* e = open_new(f);
    QTest::mouseClick(e->view_file, Qt::LeftButton);
    QCOMPARE(f.fx.shell.documents.size(), 0);
    write_file(f.fx.path("report.pdf"), "%PDF");
    f.fx.dialogs.next_open = f.fx.path("report.pdf");
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    QTest::mouseClick(e->view_file, Qt::LeftButton);
    QCOMPARE(f.fx.shell.documents, QStringList({f.fx.path("report.pdf")}));
    // A file that has gone since.
    f.fx.shell.document_result = 2;
    QTest::mouseClick(e->view_file, Qt::LeftButton);
    QCOMPARE(f.fx.messages.box_texts(), QStringList({"Error: Unable to Launch Application: File not found"}));
}

void TestSaveFileReference::stored_reference_reads_back() {
    ReferencesFixture f;
    const QString photo = make_picture(f, "Chart.JPG", 30, 20, "JPEG");
    SaveFileReference* e = open_new(f);
    f.type(e->security_name, "Acme");
    QTest::keyClick(e->security_name, Qt::Key_Return);
    QVERIFY(e->symbol_textbox->hasFocus());
    QTest::keyClicks(e->symbol_textbox, "ACME");
    QTest::keyClick(e->symbol_textbox, Qt::Key_Return);
    QVERIFY(e->security_price->hasFocus());
    QTest::keyClicks(e->security_price, "12");
    QTest::keyClick(e->security_price, Qt::Key_Return);
    QVERIFY(e->refname->hasFocus());
    QTest::keyClicks(e->refname, "Annual chart");
    e->Other_textbox->setPlainText("   ");
    f.fx.dialogs.next_open = photo;
    QTest::mouseClick(e->attach_file, Qt::LeftButton);
    f.save();
    Core& c = f.core();
    QCOMPARE(c.current_screen, int(screen_edit_file_reference));
    const SummaryEntry& s = c.SummaryData[c.current_entry.index];
    QCOMPARE(s.transaction, QString("File"));
    QCOMPARE(s.file.present, kTrue);
    QCOMPARE(s.web.present, kFalse);
    QCOMPARE(s.other.present, kFalse);  // blanks only are no comments

    f.restart();
    Core& r = f.core();
    const int32_t index = f.last_live_entry();
    f.open_entry(index);
    QCOMPARE(r.current_screen, int(screen_edit_file_reference));
    SaveFileReference* back = f.window<SaveFileReference>("SaveFileReference");
    QVERIFY(back->isVisible());
    QCOMPARE(back->filename_textbox->text(), photo);
    QCOMPARE(back->Short_file_name_textbox->text(), QString("Chart.JPG"));
    QCOMPARE(back->refname->text(), QString("Annual chart"));
    QCOMPARE(back->security_price->text(), QString("12.00"));
    QCOMPARE(back->Frame1->title(), QString("Image from File"));
    QCOMPARE(back->picture_twips(), QSize(30 * 15, 20 * 15));
    QVERIFY(!back->is_modified());
}

QB_WEBENGINE_TEST_MAIN(TestSaveFileReference)
#include "tst_savefilereference.moc"
