// The menu handlers that carry logic of their own: checklist import and export, backup
// and restore, the calculator, help and the SEC filings look-up; the rest open windows.
#include "core/codepage.h"
#include "core/core.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "shell/tips.h"
#include "shell/tour.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

namespace qb {
namespace {

const QString kTextFilter = QStringLiteral("Text Files (*.txt);;All Files (*)");
const char kSecSearchPage[] = "https://www.sec.gov/edgar/searchedgar/companysearch";
const char kSecHost[] = "https://www.sec.gov";

// Desktop calculators, tried in this order; the first that starts wins.
const char* const kCalculators[] = {"gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc"};

bool is_new_item_screen(int cs) {
    return cs == screen_new_transaction || cs == screen_new_web_page || cs == screen_new_file_reference ||
           cs == screen_new_call_notes;
}

void show_then_after_loaded(const QString& name) {
    QWidget* w = show_window(name);
    if (auto* a = dynamic_cast<AfterLoadedWindow*>(w)) a->after_loaded_do();
}

} // namespace

// A running tour and a visible tips window would stand over a dialog or modal window.
void MDIMain::clear_the_stage() {
    Shell& s = shell();
    if (core().tour_running && s.is_form_loaded(QStringLiteral("Tour"))) s.tour()->end_tour_early();
    if (QWidget* tips = s.loaded_window(QStringLiteral("Tips")); tips && tips->isVisible()) tips->hide();
}

void MDIMain::mnuBackup_Click() {
    Core& c = core();
    clear_the_stage();
    const QString folder =
        c.browse_for_folder(true, QStringLiteral("Please Select or Create a Folder that will Contain your Backup Data Folder"));
    if (folder.size() < 2 || !c.backup_data(folder)) return;
    if (QWidget* wait = shell().loaded_window(QStringLiteral("UserUpdate"))) wait->hide();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    c.show_message(msg_information, QStringLiteral("Backup Data Folder '") + c.backup_foldername +
                                        QStringLiteral("' Created for your data.\r\nData Successfully Backed Up"));
}

void MDIMain::mnuRestore_Click() {
    Core& c = core();
    clear_the_stage();
    if (c.ask_user(kStyleStop, QStringLiteral("WARNING: Restoring your data from a previous backup will overwrite ALL "
                                              "your current data. Are you sure you wish to OVERWRITE your current data?")) !=
        kAnswerYes)
        return;
    const QString folder = c.browse_for_folder(
        false, QStringLiteral("Please Select a folder named:") + c.backup_foldername +
                   QStringLiteral(" that contains the data to Restore from."));
    if (folder.endsWith(c.backup_foldername, Qt::CaseSensitive)) {
        if (c.restore_data(folder)) {
            c.show_message(msg_information, QStringLiteral("Restore Complete"));
            c.build_autocomplete_table();
        } else {
            c.show_message(msg_error, QStringLiteral("Restore Failed"));
        }
    } else if (folder.size() > 1) {
        c.show_message(msg_error,
                       QStringLiteral("The Folder containing your backup data was created by Quorbelix, and is named: ") +
                           c.backup_foldername +
                           QStringLiteral("\r\nThis folder was created inside the folder you selected to contain your "
                                          "Backup.\r\n Please retry the Restore and select a folder named: ") +
                           c.backup_foldername);
    }
}

void MDIMain::mnuExportChecklist_Click() {
    Core& c = core();
    clear_the_stage();
    const int cs = c.current_screen;
    if (cs != screen_checklists && cs != screen_checklist_editor) {
        c.show_message(msg_warning, QStringLiteral("Please go to the Checklists Screen and Highlight the Checklist to Export."));
        return;
    }
    if (cs == screen_checklist_editor && c.current_checklist.Inuse == 0) {
        c.show_message(msg_warning, QStringLiteral("Please Save the Checklist before Exporting to file."));
        return;
    }
    const int16_t i = c.current_checklist_index;
    if (i > c.maxChecklists_index() || i < 0) {
        c.show_message(msg_error, QStringLiteral("Checklist NOT available for Exporting, Error index: ") + QString::number(i));
        c.current_checklist_index = 0;
        return;
    }
    if (!c.platform().dialogs) return;
    QString path = c.platform().dialogs->save_file_name(
        QStringLiteral("Export Checklist: ") + c.Checklists[i].Name.left(20), kTextFilter, QString());
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".txt");
    c.export_checklist(path, c.current_checklist_index);
}

void MDIMain::mnuImportChecklist_Click() {
    Core& c = core();
    clear_the_stage();
    const int cs = c.current_screen;
    if (cs == screen_checklist_editor) {
        c.show_message(msg_warning, QStringLiteral("Please Click on the Checklists button to view all\r\n available "
                                                   "Checklists before Importing a Checklist."));
        return;
    }
    if (is_new_item_screen(cs) && c.current_entry.entry.Inuse == 0) {
        c.show_message(msg_warning, QStringLiteral("Please Save your Data before Importing a Checklist."));
        return;
    }
    if (!c.platform().dialogs) return;
    const QString path = c.platform().dialogs->open_file_name(QStringLiteral("Import Checklist from file"), kTextFilter);
    if (path.isEmpty()) return;
    Checklist record = c.blank_checklist;
    if (!c.import_checklist(record, path)) {
        c.show_message(msg_error, QStringLiteral("Checklist Not Imported"));
        return;
    }
    const QVector<Checklist> table_before = c.Checklists;
    const int16_t index_before = c.current_checklist_index;
    if (c.find_free_checklist_slot()) {
        Checklist& slot = c.Checklists[c.current_checklist_index];
        slot = record;
        slot.Inuse = kTrue;
        slot.deleted = 0;
        slot.file_idx = 0;
        slot.ShowIt = 0;
        if (!c.save_checklist()) {
            // The file holds what it held; so does the table.
            c.Checklists = table_before;
            c.current_checklist_index = index_before;
            c.show_message(msg_error, QStringLiteral("Checklist Not Imported"));
            return;
        }
    } else {
        c.show_message(msg_error, QStringLiteral("Unable to Add another New Checklist..please delete some old ones."));
    }
    if (cs == screen_summary || cs == screen_checklists) shell().command()->reset_all_and_show_checklists();
}

void MDIMain::mnuPrint_Click() {
    if (core().tour_running && shell().is_form_loaded(QStringLiteral("Tour"))) shell().tour()->end_tour_early();
    if (shell().print_screen) shell().print_screen();
}

void MDIMain::mnuCalc_Click() {
    Core& c = core();
    ShellOpener* opener = c.platform().shell;
    for (const char* program : kCalculators)
        if (opener && opener->start_program(QString::fromLatin1(program), {})) return;
    c.show_message(msg_error, QStringLiteral("Unable to Launch Windows Calculator. Error: ") +
                                  QStringLiteral("no calculator program could be started"));
}

void MDIMain::mnuContent_Click() {
    Core& c = core();
    c.launch_application(c.data_path(QStringLiteral("Quorbelix.chm")));
}

void MDIMain::mnuSEC_Click() {
    Core& c = core();
    const QString symbol = trim_blanks(c.current_entry.entry.symbol);
    if (c.current_entry.entry.symbol.isEmpty()) {
        c.shell_open_url(QString::fromLatin1(kSecSearchPage));
        return;
    }
    // The symbol is typed by the user: encoded, "&" or "#" in it cannot change the query.
    c.shell_open_url(QString::fromLatin1(kSecHost) + QStringLiteral("/cgi-bin/browse-edgar?company=&CIK=") +
                     QString::fromLatin1(QUrl::toPercentEncoding(symbol)) +
                     QStringLiteral("&filenum=&State=&SIC=&owner=include&action=getcompany"));
}

void MDIMain::mnuReport_Click() {
    clear_the_stage();
    QWidget* report = shell().window(QStringLiteral("Report"));
    if (!report) return;
    // Modal for the user, without a nested event loop in the menu handler.
    report->setWindowModality(Qt::ApplicationModal);
    show_window(QStringLiteral("Report"));
}

void MDIMain::mnuWeb_Click() { show_window(QStringLiteral("Research")); }
void MDIMain::mnuQuotes_Click() { show_window(QStringLiteral("Quotes")); }
void MDIMain::mnuChart_Click() { show_then_after_loaded(QStringLiteral("Chart")); }
void MDIMain::mnuNews_Click() { show_then_after_loaded(QStringLiteral("News")); }
void MDIMain::mnuPopChart_Click() { show_window(QStringLiteral("Chart")); }
void MDIMain::mnuPopNews_Click() { show_window(QStringLiteral("News")); }
void MDIMain::mnuCustom_Click() { show_window(QStringLiteral("Custom")); }
void MDIMain::mnuTips_Click() { show_window(QStringLiteral("Tips")); }
void MDIMain::mnuAbout_Click() { show_window(QStringLiteral("Aboutbox")); }

void MDIMain::mnuTour_Click() {
    core().tour_running = true;
    show_window(QStringLiteral("Tour"));
}

} // namespace qb
