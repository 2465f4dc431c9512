#pragma once
// The chart window: the price history of one symbol between two dates, with the user's
// entries of three chosen transaction types marked on the price line.
#include "market/chart_grid.h"
#include "market/price_history.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QWidget>
#include <array>
#include <functional>

class QChartView;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qb {

class Chart : public QWidget, public AfterLoadedWindow, public LoadHandler, public UnloadHandler {
    Q_OBJECT
public:
    static const QStringList& period_names();
    // The types every choice box lists before the user's own.
    static const QStringList& built_in_choices();

    explicit Chart(QWidget* parent);

    void form_load() override { Form_Load(); }
    void form_unload() override { Form_Unload(); }
    void after_loaded_do() override;

    // The price table and its grid.
    PriceHistory history;
    void put_data_into_chart(bool& ok);
    void generate_chart();

    // ---- controls, by their names ----
    QLineEdit* Symbol = nullptr;
    QComboBox* period_combo = nullptr;
    QLineEdit* start_date = nullptr;
    QLineEdit* end_date = nullptr;
    std::array<QComboBox*, 3> trans_combo{};
    QPushButton* dave = nullptr;
    QLabel* print_label = nullptr;
    QPushButton* Close = nullptr;
    QChartView* MSChart1 = nullptr;

    bool chart_changed = true;
    bool prefs_changed = false;
    bool loaded_done = false;
    bool drawing = false;

    // Prints the window as it shows; filled in by the printing code (nothing happens without it).
    std::function<void(QWidget*)> print_form;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The frame's close box unloads the window, as its Close button does.
    void closeEvent(QCloseEvent* event) override;

private:
    void build_controls();
    void Form_Load();
    void Form_Unload();
    void dave_Click();
    void draw_request();
    void period_combo_Click();
    void trans_combo_Click();
    void Close_Click();
    ChartInputs chart_inputs() const;
    void set_chart_changed() { chart_changed = true; }
};

} // namespace qb
