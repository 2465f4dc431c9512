#pragma once
// The quotes window: the current price and change of the ten symbols asked for last,
// fetched in one request. The symbols are kept between runs in the preferences.
#include "shell/shell.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qb {

struct QuoteSlot {
    QString symbol;  // "" = empty slot
    QString price;
    QString change;
};

class Quotes : public QWidget, public LoadHandler, public UnloadHandler {
    Q_OBJECT
public:
    static constexpr int kSlots = 10;
    static constexpr uint32_t kYellow = 0xFFFF;
    static constexpr uint32_t kWhite = 0xFFFFFF;
    static constexpr uint32_t kChangeBlue = 0xFF0000;
    static constexpr uint32_t kChangeGreen = 0xC000;
    static constexpr uint32_t kChangeRed = 0xFF;

    explicit Quotes(QWidget* parent);
    void form_load() override { Form_Load(); }
    void form_unload() override { Form_Unload(); }

    // Reads each listed symbol's price and change into its own slot. False for a failed
    // fetch, a reply that holds none of the symbols, or a line cut short.
    bool parse_quote_string(QString& reply);
    void update_quote_pref_string();

    // ---- controls, by their names ----
    QLineEdit* Symbol = nullptr;
    QPushButton* quote = nullptr;
    QPushButton* Close = nullptr;
    std::array<QLineEdit*, kSlots> stock{};
    std::array<QLineEdit*, kSlots> Price{};
    std::array<QLineEdit*, kSlots> Change{};

    // ---- window state ----
    std::array<QuoteSlot, kSlots> quote_list{};
    int16_t last_quote_index = 0;
    bool quotes_changed = false;
    bool symbol_added = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void quote_Click();
    void Close_Click();
    QString fetch_quote_csv(const QString& symbols);
    void show_quote_rows(QString reply);
    void show_rows();
    void add_symbol_to_list(const QString& symbol);
    void remove_newest_symbol();
    // True when the newest symbol was refused and dropped.
    bool check_newest_symbol_valid();
    void load_quote_list_from_pref();

    bool added_by_this_fetch_ = false;
};

} // namespace qb
