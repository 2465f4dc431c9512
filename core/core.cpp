#include "core/core.h"

#include "core/ole_date.h"

#include <QDir>

namespace qb {
namespace {
Core* g_current = nullptr;
}

Core::Core(const QString& program_folder, const Platform& platform)
    : program_folder_(QDir(program_folder).absolutePath()), platform_(platform) {
    webdata_path = data_path(webdata_foldername) + u'/';
    g_current = this;
}

Core::~Core() {
    if (g_current == this) g_current = nullptr;
}

Core* Core::current() { return g_current; }

QString Core::data_path(const QString& file_name) const { return program_folder_ + u'/' + file_name; }

QString Core::message_path(const QString& file_name) const {
    return QDir::toNativeSeparators(data_path(file_name));
}

void Core::init_blank_entry() {
    blank_entry = CurrentEntry{};
    blank_entry.entry.entry_date = platform_.clock ? ole_from_date(platform_.clock->today()) : 0.0;
}

void Core::init_blank_entry_checklist() { blank_entry_checklist = EntryChecklist{}; }

void Core::init_blank_checklist() {
    blank_checklist = Checklist{};
    blank_checklist.Date = platform_.clock ? ole_from_date(platform_.clock->today()) : 0.0;
}

void Core::install_example_checklist() {
    Checklists.resize(1);
    Checklist& c = Checklists[0];
    c = blank_checklist;
    c.Inuse = kTrue;
    c.deleted = 0;
    c.file_idx = 0;
    c.ShowIt = 1;
    c.Name = "Dunmarrow Keep Focus";
    c.Author = "Dunmarrow";
    c.BookRef.clear();
    c.WebSite = "http://www.quorbelix.com";
    c.WhyUse = "This is an example Checklist, present when the Checklist file is not found.";
    c.TotalItems = 5;
    c.Item[0] = "Be Patient. Boredom is your enemy!";
    c.Item[1] = "How much debt does the company have?";
    c.Item[2] = "What is the interest expense as a percentage of sales?";
    c.Item[3] = "Have you read the most recent 10Q?";
    c.Item[4] = "What industry is the company in? What is the company's place in the industry?";
}

void Core::goto_next_entry() {
    for (int32_t i = std::max(current_entry.index + 1, 0); i <= maxSummarydata_index(); ++i) {
        if (SummaryData[i].Inuse == kTrue && SummaryData[i].deleted == 0) {
            load_entry(i);
            return;
        }
    }
}

void Core::goto_previous_entry() {
    for (int32_t i = std::min(current_entry.index - 1, maxSummarydata_index()); i >= 0; --i) {
        if (SummaryData[i].Inuse == kTrue && SummaryData[i].deleted == 0) {
            load_entry(i);
            return;
        }
    }
}

bool Core::get_new_entry_slot(int32_t& index) {
    if (SummaryData.isEmpty() || SummaryData.last().Inuse != 0) {
        if (SummaryData.size() >= std::numeric_limits<int32_t>::max() - 1) return false;
        SummaryData.append(SummaryEntry{});
    }
    index = maxSummarydata_index();
    SummaryData[index] = blank_entry.entry;
    return true;
}

} // namespace qb
