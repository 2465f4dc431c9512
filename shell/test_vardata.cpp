#include "shell/test_vardata.h"

#include "core/core.h"
#include "core/record_file.h"
#include "core/record_io.h"
#include "core/text_helpers.h"
#include "shell/shell.h"

#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>

namespace qb {
namespace {

// Records from which the dump asks where to start.
constexpr int32_t kDumpWithoutAsking = 100;

int32_t number_in(const QLineEdit* box) {
    const double v = numeric_value(box->text());
    if (!std::isfinite(v) || v < -2147483648.0 || v > 2147483647.0) return 0;
    return int32_t(std::lround(v));
}

QString vardata_failure(Core& c, const QString& why) {
    return QStringLiteral("Unable to Read to VarData Data File: ") + c.message_path(c.vardata_filename) +
           QStringLiteral(" Error: ") + why;
}

} // namespace

TestVarData::TestVarData(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("TestVarData"));
    setWindowTitle(QStringLiteral("VarData Tester"));

    auto* grid = new QGridLayout(this);
    auto field = [this, grid](const char* name, const QString& caption, int row) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        auto* box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(name));
        grid->addWidget(box, row, 1);
        return box;
    };
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    RecNum = field("RecNum", QStringLiteral("Record Number:"), 0);
    StrLength = field("StrLength", QStringLiteral("String Length:"), 1);
    FillWith = field("FillWith", QStringLiteral("Fill With:"), 2);
    Add_Button = button("Add_Button", QStringLiteral("Add"));
    Edit_Button = button("Edit_Button", QStringLiteral("Edit"));
    doit_button = button("doit_button", QStringLiteral("Do it"));
    ViewFile_Command = button("ViewFile_Command", QStringLiteral("View VarData"));
    grid->addWidget(Add_Button, 0, 2);
    grid->addWidget(Edit_Button, 1, 2);
    grid->addWidget(doit_button, 2, 2);
    grid->addWidget(ViewFile_Command, 3, 2);
    results = new QLabel(this);
    results->setObjectName(QStringLiteral("results"));
    results->setWordWrap(true);
    results->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(results, 3, 0, 1, 2);
    ViewFile_textbox = new QPlainTextEdit(this);
    ViewFile_textbox->setObjectName(QStringLiteral("ViewFile_textbox"));
    ViewFile_textbox->setReadOnly(true);
    ViewFile_textbox->setLineWrapMode(QPlainTextEdit::NoWrap);
    grid->addWidget(ViewFile_textbox, 4, 0, 1, 3);
    resize(560, 480);

    connect(Add_Button, &QPushButton::clicked, this, &TestVarData::Add_Button_Click);
    connect(Edit_Button, &QPushButton::clicked, this, &TestVarData::Edit_Button_Click);
    connect(doit_button, &QPushButton::clicked, this, &TestVarData::doit_button_Click);
    connect(ViewFile_Command, &QPushButton::clicked, this, &TestVarData::ViewFile_Command_Click);
}

void TestVarData::Add_Button_Click() {
    RecNum->setText(QString::number(core().next_vardata_index));
    RecNum->setReadOnly(true);
}

void TestVarData::Edit_Button_Click() { RecNum->setReadOnly(false); }

void TestVarData::doit_button_Click() {
    Core& c = core();
    const QString text = trim_blanks(FillWith->text()).repeated(std::max(0, number_in(StrLength)));
    QFile file;
    if (!c.open_vardata(file)) {
        c.show_message(msg_error, QStringLiteral("Error opening Vardata. Error: ") + error_text(file));
        return;
    }
    int32_t index = number_in(RecNum);
    if (!c.write_vardata(file, index, text)) {
        results->setText(QStringLiteral("Results: Write Failed!, Index: ") + QString::number(index));
        return;
    }
    QString out = QStringLiteral("Results: Write Success, Index: ") + QString::number(index) + QStringLiteral(". ");
    QString read_in;
    uint8_t format = 0;
    int32_t owner = 0;
    if (c.read_vardata(file, index, read_in, format, owner)) {
        out += QStringLiteral("Read Success, Index: ") + QString::number(index) + QStringLiteral("\r\n");
        out += read_in == text ? QStringLiteral("Success!!!! Strings match") : QStringLiteral("ERROR. Strings to not match");
        out += QStringLiteral("\r\nRead_in: ") + read_in + QStringLiteral("\r\nstr_to_write: ") + text;
    } else {
        out += QStringLiteral("Read FAILED, Index: ") + QString::number(index) + QStringLiteral("\r\n");
    }
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    results->setText(out);
}

void TestVarData::ViewFile_Command_Click() {
    Core& c = core();
    QFile file;
    if (!c.open_vardata(file)) {
        c.show_message(msg_error, vardata_failure(c, error_text(file)));
        return;
    }
    const int32_t count = record_count(file, kVarDataRecordSize);
    int32_t start = 1;
    if (count > kDumpWithoutAsking && c.platform().dialogs) {
        const std::optional<QString> answer =
            c.platform().dialogs->input_box(QStringLiteral("Start at vardata file index: "), QString(), QString());
        const double v = answer ? numeric_value(*answer) : 0;
        start = v < 1 ? 1 : v > count ? count + 1 : int32_t(v);
    }
    ViewFile_textbox->clear();
    const QString crlf = QStringLiteral("\r\n");
    QString dump;
    QByteArray bytes;
    for (int32_t n = start; n <= count; ++n) {
        if (!read_record(file, kVarDataRecordSize, n, bytes)) {
            c.show_message(msg_error, vardata_failure(c, file.errorString()));
            break;
        }
        const RecordReader r(bytes);
        dump += QStringLiteral("Record # ") + QString::number(n) +
                (r.i16(0) != 0 ? QStringLiteral(". Inuse = True") : QStringLiteral(". Inuse = False")) + crlf;
        dump += QStringLiteral("index_to_owner: ") + QString::number(r.i32(3)) + QStringLiteral(". Index_to_next: ") +
                QString::number(r.i32(7)) + crlf;
        dump += r.text(11, kVarDataChunk) + crlf + QString(38, u'=') + crlf;
    }
    dump += crlf;
    // The box shows line breaks as its own.
    dump.replace(crlf, QStringLiteral("\n"));
    ViewFile_textbox->setPlainText(dump);
}

} // namespace qb
