#include "support/fakes.h"

#include <QFile>
#include <QLocale>

namespace qb::test {

CoreFixture::CoreFixture() {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    core = std::make_unique<Core>(dir.path(), platform());
}

CoreFixture::~CoreFixture() = default;

Platform CoreFixture::platform() { return {&messages, &dialogs, &shell, &clock, &screen, &http, &clipboard, &printer}; }

void CoreFixture::start() {
    Core& c = *core;
    c.init_blank_entry();
    c.init_blank_entry_checklist();
    c.init_blank_checklist();
    c.set_default_custom_links();
    c.load_summary_data();
    c.install_example_checklist();
    c.load_checklists();
    c.current_checklist = c.Checklists.value(0);
    c.current_entry.entry = c.SummaryData.value(0);
    c.load_preferences();
}

void CoreFixture::restart() {
    core.reset();
    core = std::make_unique<Core>(dir.path(), platform());
    start();
}

SummaryEntry* start_new_entry(Core& c) {
    int32_t slot = 0;
    if (!c.get_new_entry_slot(slot)) return nullptr;
    c.current_entry = c.blank_entry;
    c.current_entry.index = slot;
    c.current_entry.mode = mode_new;
    c.current_entry.entry.Inuse = kTrue;
    return &c.current_entry.entry;
}

QByteArray read_file(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write_file(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

} // namespace qb::test
