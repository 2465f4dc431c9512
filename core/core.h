#pragma once
// The one object that holds the journal's shared state: the tables, the current and
// blank records, the file names, the preferences and the screen history. The program
// makes one; each test makes a fresh one on a temporary program folder.
#include "core/platform_api.h"
#include "core/records.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace qb {

class SaveJournal;

enum message_kind : int16_t {
    msg_error = 0,
    msg_warning = 1,
    msg_information = 2,
    msg_debug_data = 3,
};

constexpr int kEntryRecordSize = 3044;
constexpr int kChecklistRecordSize = 31622;
constexpr int kVarDataRecordSize = 111;
constexpr int kVarDataChunk = 100;
constexpr int kVarDataMaxChain = 500;
constexpr int kMaxTipIndex = 87;

// Tips and tour texts: what a tip belongs to. 0..10 are the command-bar buttons, 11 the
// toolbar; 12 and above stand for the first tip of all.
enum tip_context : int16_t {
    tip_summary = 0,
    tip_details = 1,
    tip_stock_of_month = 2,
    tip_checklists = 3,
    tip_new_checklist = 4,
    tip_buy = 5,
    tip_sell = 6,
    tip_other_transaction = 7,
    tip_web_page = 8,
    tip_file_reference = 9,
    tip_call_notes = 10,
    tip_tool_bar = 11,
};
constexpr int kTipContexts = 12;
constexpr int kTipSlots = kMaxTipIndex + 1;
constexpr int kTourSlides = 11;
struct TipSlot {
    QString section;  // the area the tip belongs to, as tips.txt names it
    QString tip;
};

// OLE colour values (blue, green, red from high to low byte).
constexpr uint32_t kColorBlue = 0xC00000;
constexpr uint32_t kColorButtonText = 0x80000012;  // the system's button-text colour

// Calls from the core into windows that live above it; the shell fills them in.
struct CoreHooks {
    std::function<bool()> tips_visible;
    std::function<void()> hide_tips;
    std::function<void()> show_tips;
    std::function<void()> end_tour_early;
    // The transaction editor's "changed" mark, set when an entry's details cannot be read.
    std::function<void()> addentry_set_add_or_edit_ongoing;
    // Backup and restore: the wait window (UserUpdate) and the entry list after a restore.
    std::function<void(const QString& text, int16_t kind)> user_update_set_message;
    std::function<void()> user_update_hide;
    std::function<void()> reset_all_and_show_entries;
};

class Core {
public:
    Core(const QString& program_folder, const Platform& platform);
    ~Core();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    // The current Core; set by the constructor, cleared by the destructor.
    static Core* current();

    const Platform& platform() const { return platform_; }
    const QString& program_folder() const { return program_folder_; }
    QString data_path(const QString& file_name) const;
    // The folder as shown in messages, with a backslash before the file name.
    QString message_path(const QString& file_name) const;

    // ---- records and tables ----
    QVector<SummaryEntry> SummaryData;
    int32_t maxSummarydata_index() const { return int32_t(SummaryData.size()) - 1; }
    QVector<Checklist> Checklists;
    int32_t maxChecklists_index() const { return int32_t(Checklists.size()) - 1; }

    CurrentEntry current_entry;
    CurrentEntry blank_entry;
    EntryChecklist current_entry_checklist;
    EntryChecklist blank_entry_checklist;
    int16_t Currententry_checklist_index = 0;
    Checklist current_checklist;
    int16_t current_checklist_index = 0;
    Checklist blank_checklist;

    void init_blank_entry();
    void init_blank_entry_checklist();
    void init_blank_checklist();
    void install_example_checklist();
    void goto_next_entry();
    void goto_previous_entry();
    bool get_new_entry_slot(int32_t& index);

    // ---- long-text store (VarData.dat) ----
    int32_t next_vardata_index = 0;
    void set_next_vardata_index();
    void clamp_vardata_index(int32_t& index) const;
    // The file is opened by the caller for a series of calls.
    bool write_vardata(QFile& file, int32_t& index, const QString& text);
    // quiet: a failed read is logged only; the caller tells the user.
    bool read_vardata(QFile& file, int32_t index, QString& text, uint8_t& format, int32_t& owner, bool quiet = false);
    // Opened for writing, unbuffered: every record written is checked as it is written.
    bool open_vardata(QFile& file);
    bool open_vardata_for_reading(QFile& file);

    // ---- entries file ----
    int32_t num_summary_file_records = 0;
    int32_t next_summary_record = 0;
    void load_summary_data();
    int allocate_summary_data(int32_t& n);
    void resize_summary_data(int32_t n);
    bool save_entry();
    bool write_other_data();
    bool write_checklist_answer_texts();
    bool write_summary_record();
    bool load_entry(int32_t n);
    // A save cut short (a kill, a failed write) left a journal: put the files back as they
    // were before it. false when that failed; saves are then refused.
    bool recover_interrupted_save();
    void read_other_data();
    bool read_checklist_answer_texts();

    // ---- checklist file ----
    void load_checklists();
    // False when a checklist was not written (the failure was reported). A file that could
    // not be written holds what it held before, and the record numbers given are taken back.
    bool save_checklist();
    // chklist.dat was refused at load (too large): it is neither read nor written until a
    // load accepts it.
    bool checklists_refused = false;
    void resize_checklists(int32_t n);

    // ---- messages and log ----
    void show_message(int kind, const QString& text);
    int ask_user(int style, const QString& text);
    void append_log(const QString& text);

    // ---- preferences ----
    QString tiponstartup = "y";
    QString nexttipindex = "0";
    QString touronstartup = "y";
    QString textcolor = "Blue";
    uint32_t textcolor_value = kColorBlue;
    QString custom_links;
    QStringList trans_type;
    QString quotes;
    QString chartperiod;
    QString charttrans1;
    QString charttrans2;
    QString charttrans3;
    void load_preferences();
    // chosen_by_user false: a save the program makes by itself (the next tip, the tour's end).
    bool save_preferences(bool chosen_by_user = true);
    // pref.dat was refused at load (too large); the defaults are in use.
    bool preferences_refused = false;
    void set_default_custom_links();
    void append_default_custom_links();

    // ---- operating-system helpers ----
    QString browse_for_folder(bool allow_new_folder, const QString& prompt);
    int shell_execute_open(const QString& path);
    void launch_application(const QString& path);
    void shell_open_url(const QString& address);
    bool write_text_file(const QString& path, const QString& text, bool append);
    bool string_to_collection(const QString& text, QStringList& collection);

    // ---- checklist export and import ----
    void export_checklist(const QString& path, int16_t index);
    bool import_checklist(Checklist& record, const QString& path);

    // ---- backup and restore ----
    bool backup_data(const QString& folder);
    bool restore_data(const QString& folder);
    // A restore cut short is finished or undone before anything is loaded, and the user
    // is told which. false: it could not be finished; saves are refused until it is.
    // staging_trouble: takes the text on a staging folder left in place, which is
    // otherwise told with the rest.
    bool settle_interrupted_restore(QString* staging_trouble = nullptr);
    // The data files may not match the tables: saves are refused until the tables are
    // loaded from files that a settled restore left whole.
    bool restore_unfinished = false;
    // Tells the user and answers true while a restore is left unfinished.
    bool restore_left_unfinished();

    // ---- tips and tour texts ----
    void load_tips();
    // Fills titles and descriptions 1..count (index 0 untouched); both lists hold 12 texts.
    bool load_tour_text(int16_t& count, QStringList& titles, QStringList& descriptions);
    // -- checklist export, backup and tips state (checklist_export.cpp, backup.cpp, tips_tour.cpp) --
    std::array<TipSlot, kTipSlots> tip_table{};
    std::array<int16_t, kTipContexts> tip_context_start{};
    int16_t last_tip_index = 0;
    void tips_section_index(const QString& name, int16_t slot);
    // Copy one level: the normal files of a folder, and the files of each direct sub-folder.
    void copy_folder_files(const QString& source, const QString& destination);
    bool copy_folder_tree(const QString& source, const QString& destination);

    // ---- sorting, look-ups and security-name completion (sorting.cpp, autocomplete.cpp) ----
    void sort_summary_data(int32_t key);  // a sort_key (core/sorting.h)
    QString first_checklist_name_lower(int32_t index) const;
    bool add_checklist_slot();
    bool find_free_checklist_slot();
    QString lookup_symbol_by_name(const QString& name) const;
    // Per first character '!'..'}', the three latest distinct names, newest first.
    std::array<std::array<QString, 3>, 93> autocomplete_names;
    QString last_custom_trans_type;
    void add_autocomplete_entry(const QString& name);
    void build_autocomplete_table();
    bool find_completion(int code, QString& completion, const QString& prefix) const;

    // ---- program-wide state set at start-up ----
    QString program_version = "4.03";
    bool small_screen = false;
    bool back_available = false;
    bool forward_available = false;
    int back_screen = 0;
    int forward_screen = 0;
    bool checklist_highlighted = false;
    bool entry_highlighted = false;
    bool tour_running = false;
    QString entries_filename = "entries.dat";
    QString chklist_filename = "chklist.dat";
    QString vardata_filename = "VarData.dat";
    QString pref_filename = "pref.dat";
    QString journal_filename = "save.journal";
    QString backup_foldername = "QB_BackupData";
    QString webdata_foldername = "WebData";
    QString webdata_path;
    int current_tip_index = 0;
    int current_screen = 0;

    CoreHooks hooks;

    // The folder could not be written at load; the user has been told once.
    bool folder_unwritable_reported = false;

private:
    bool open_record_file(QFile& file, const QString& name);
    bool open_for_loading(QFile& file, const QString& name);
    void note_folder_unwritable(const QString& why);
    bool write_long_text(QFile& file, int32_t& index, const QString& text, bool& unreadable);
    bool plan_save(SaveJournal& journal);
    bool write_entry_files();
    // One line into logs.txt; false with why when it could not be written.
    bool write_log_line(const QString& text, QString& why);
    void tell_log_failure(const QString& why);
    bool log_failure_reported_ = false;

    QString program_folder_;
    Platform platform_;
};

// Shorthand for the current Core.
inline Core& core() { return *Core::current(); }

} // namespace qb
