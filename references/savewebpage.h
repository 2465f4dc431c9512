#pragma once
// The web page editor: a small browser pane in which the user finds a page, the address,
// a reference name and the security fields. Saving a new entry keeps the page on disk
// with its pictures; an existing entry shows the saved file.
#include "references/editor_fields.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWebEngineView;

namespace qb {

class EditorFields;
class SecurityFields;

class SaveWebPage : public QWidget, public WebPageEditorScreen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 10050;
    static constexpr int kReferenceNameLimit = 100;
    static constexpr int kAddressLimit = 200;
    static constexpr int kTitleLimit = 40;

    // The page a new entry starts on, on the product's site; tests point it elsewhere.
    static QString start_page;

    explicit SaveWebPage(QWidget* parent);
    ~SaveWebPage() override;

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void clear_add_or_edit_ongoing() override;
    void update_foreground_color() override;
    void handle_resize() override;
    void fill_display(int16_t mode) override { set_current_savewebpage(mode); }
    void save_data_and_continue(bool& continue_flag) override;
    void got_data_from_news(QString& name, QString& symbol, QString& price, QString& address, QString& title) override;

    void Back_Click();
    void Forward_Click();
    void set_current_savewebpage(int16_t mode);
    void validate_current_data(QString& message, bool& valid);
    void new_save_allowed(bool& allowed) const { allowed = !web_save_ongoing; }
    // The news reader's question before it hands over an article.
    bool new_save_allowed() override { return !web_save_ongoing; }
    bool is_modified() const { return add_or_edit_ongoing; }
    bool is_saving() const { return web_save_ongoing; }
    // The folder a capture writes to, once the reference name was checked.
    QString page_folder() const { return security_folder_path.isEmpty() ? webdata_folder_path : security_folder_path; }

    // ---- controls, by their names (the print command prints the pane) ----
    QLabel* Label5 = nullptr;
    QWebEngineView* WebBrowser1 = nullptr;
    QToolButton* Back = nullptr;
    QToolButton* forward = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Web_address = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Your_reference_name = nullptr;
    QLabel* Printeronly = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* security_name = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* symbol_textbox = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* security_price = nullptr;
    QPushButton* quote = nullptr;
    QLabel* quote_label = nullptr;

    const QString link_placeholder = QStringLiteral("<paste or type link to save here>");
    QString webdata_folder_path;
    QString security_folder_path;
    QString last_address;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_controls();
    void create_pane();
    void Form_Load();
    void navigate(const QString& address);
    void set_address_font(bool placeholder);
    void Web_address_key(int key);
    void Web_address_LostFocus();
    void WebBrowser1_TitleChange();
    void WebBrowser1_DocumentComplete(bool ok);

    bool ensure_webdata_folder();
    bool make_security_folder();
    bool reference_name_available();
    bool move_data_for_edit() const { return true; }
    // The folder a page of this security name would go to.
    QString planned_page_folder() const;
    // Waits, bounded, for a navigation under way; false when the pane shows no page.
    bool page_is_loaded();
    enum class Capture { saved, stopped, refused };
    Capture save_web_page_to_disk();
    bool save_web_page_entry(bool& stopped);
    void hide_wait_window();

    bool add_or_edit_ongoing = false;
    bool web_save_ongoing = false;
    bool address_locked_ = false;
    enum class Load { idle, loading, ok, failed };
    Load load_state_ = Load::idle;
    // The page file a capture of this entry wrote, when its entry could not be stored yet.
    QString captured_page_path_;
    EditorFields* fields_ = nullptr;
    SecurityFields* security_ = nullptr;

    // distances taken at load (twips)
    FormMargins margins_;
    int pane_height_margin = 0;
    int pane_width_margin = 0;
};

} // namespace qb
