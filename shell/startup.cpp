#include "shell/startup.h"

#include "core/core.h"
#include "core/save_file.h"
#include "core/service_hosts.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"
#include "shell/command.h"
#include "shell/mdimain.h"
#include "shell/shell.h"
#include "shell/tips.h"
#include "shell/tour.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QIcon>
#include <QLockFile>
#include <QToolBar>

namespace qb {
namespace {

// The program's logo at the sizes window managers and task bars ask for.
QIcon program_icon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(svg_picture(QStringLiteral("logo"), QSize(size, size)));
    return icon;
}

} // namespace

RunningProgram::RunningProgram() = default;
RunningProgram::~RunningProgram() {
    shell.reset();
    core.reset();
    lock.reset();
}

std::unique_ptr<RunningProgram> Main(const Platform& platform, const QString& program_folder,
                                     const std::function<void(Shell&)>& configure) {
    install_font_substitutes();
    QApplication::setWindowIcon(program_icon());
    auto run = std::make_unique<RunningProgram>();
    run->core = std::make_unique<Core>(program_folder, platform);
    Core& c = *run->core;
    run->shell = std::make_unique<Shell>(c);
    Shell& s = *run->shell;
    if (configure) configure(s);

    c.program_version = QStringLiteral("4.03");
    service_hosts::read_from_environment(c);
    c.small_screen = platform.screen && platform.screen->screen_width_pixels() <= 800;

    // One instance per program folder. The lock names a process; a lock whose process is
    // gone (a crashed run) is stale and taken over. Age alone never makes it stale.
    run->lock = std::make_unique<QLockFile>(QDir(program_folder).filePath(instance_lock_name()));
    run->lock->setStaleLockTime(0);
    if (!run->lock->tryLock(0) && run->lock->error() == QLockFile::LockFailedError) {
        c.show_message(msg_error, QStringLiteral("Quorbelix is already started."));
        run->lock.reset();
        return nullptr;
    }
    // Only the instance that holds the folder may take the temporaries in it for leftovers.
    remove_save_leftovers(c.program_folder());

    c.back_available = false;
    c.back_screen = 0;
    c.forward_available = false;
    c.forward_screen = 0;
    c.init_blank_entry();
    c.init_blank_entry_checklist();
    c.init_blank_checklist();
    c.current_entry.index = 0;
    c.checklist_highlighted = false;
    c.entry_highlighted = false;
    c.tour_running = false;
    c.entries_filename = QStringLiteral("entries.dat");
    c.chklist_filename = QStringLiteral("chklist.dat");
    c.vardata_filename = QStringLiteral("VarData.dat");
    c.pref_filename = QStringLiteral("pref.dat");
    c.backup_foldername = QStringLiteral("QB_BackupData");
    c.webdata_foldername = QStringLiteral("WebData");
    c.webdata_path = c.data_path(c.webdata_foldername) + u'/';
    c.nexttipindex = QStringLiteral("0");
    c.tiponstartup = QStringLiteral("y");
    c.touronstartup = QStringLiteral("y");
    c.textcolor_value = kColorBlue;
    c.set_default_custom_links();
    c.current_tip_index = 0;
    c.load_summary_data();
    c.install_example_checklist();
    c.load_checklists();
    c.current_checklist = c.Checklists.value(0);
    c.current_entry.entry = c.SummaryData.value(0);
    c.load_tips();
    c.load_preferences();
    c.current_screen = screen_summary;

    MDIMain* mdi = s.mdi();
    mdi->show();
    mdi->Toolbar1()->setVisible(true);
    Command* bar = s.command();
    bar->show();
    EntryListScreen* title = s.title();
    title->widget()->show();

    bar->set_all_command_button_background();
    bar->set_focused_button(0);
    title->handle_resize();
    title->update_title_with_last_entries();
    title->setfocus_to_last_entry();
    mdi->setWindowTitle(QStringLiteral("Quorbelix"));

    Tips* tips = s.tips();
    tips->StartUpCheck->setChecked(c.tiponstartup == QStringLiteral("y"));
    const double next = numeric_value(c.nexttipindex);
    c.current_tip_index = (next < 0 || next > kMaxTipIndex) ? 0 : int(next);
    tips->set_tip_to_currentTip();
    if (c.tiponstartup == QStringLiteral("y") && c.touronstartup == QStringLiteral("n")) tips->show();
    if (c.touronstartup == QStringLiteral("y")) {
        Tour* tour = s.tour();
        // The tour may have ended itself while loading (no tour.txt); it still shows slide 0.
        tour->show();
        tour->raise();
    }
    c.build_autocomplete_table();
    return run;
}

} // namespace qb
