#pragma once
// The report window: picks entries by dates, security and transaction type and writes
// them with their details, checklists, answers and comments into a text file.
#include "shell/shell.h"

#include <QWidget>
#include <cstdint>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qb {

class Report : public QWidget, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kWrapWidth = 60;

    explicit Report(QWidget* parent);
    void form_load() override { Form_Load(); }

    void generate_report(const QString& file_name);
    QString format_entry_for_report(int32_t index);
    static QString wrap_text_at_width(const QString& text);

    QCheckBox* all_dates_checkbox = nullptr;
    QCheckBox* all_securities_checkbox = nullptr;
    QCheckBox* all_trans_checkbox = nullptr;
    QLineEdit* start_textbox = nullptr;
    QLineEdit* end_textbox = nullptr;
    QLineEdit* name_textbox = nullptr;
    QComboBox* trans_combo = nullptr;
    QLabel* start_date_label = nullptr;
    QLabel* end_date_label = nullptr;
    QLabel* security_label = nullptr;
    QLabel* trans_label = nullptr;
    QLabel* Instruct_label = nullptr;
    QLabel* dates_instruct_label = nullptr;
    QLabel* sec_instruct_label = nullptr;
    QLabel* trans_instruct_label = nullptr;
    QPushButton* Do_report = nullptr;
    QPushButton* Close = nullptr;

    // Numbers the entry blocks of the report being written.
    int32_t match_count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void all_dates_checkbox_Click();
    void all_securities_checkbox_Click();
    void all_trans_checkbox_Click();
    void Do_report_Click();
    void Close_Click();
    QString report_header() const;

    // Entries whose long text or checklist texts could not be read in the last report.
    int unreadable_entries_ = 0;
};

} // namespace qb
