#pragma once
// The file reference editor: ties one of the user's own files to a security. The file is
// linked by its path, taken in by the open dialog, a drop or the clipboard (a picture on
// the clipboard becomes a bitmap in the pages folder), and shown when it is a picture.
#include "references/editor_fields.h"
#include "shell/screen.h"
#include "shell/shell.h"

#include <QImage>
#include <QWidget>

class QGroupBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;

namespace qb {

class EditorFields;
class SecurityFields;
class WheelFilter;

// The text from the last dot of a file name to its end, in lower case; "" without a dot.
QString file_extension(const QString& name);

class SaveFileReference : public QWidget, public Screen, public LoadHandler {
    Q_OBJECT
public:
    static constexpr int kDesignWidth = 10050;
    static constexpr int kCommentsLimit = 30000;
    static constexpr int kPathLimit = 200;
    static constexpr int kReferenceNameLimit = 100;

    explicit SaveFileReference(QWidget* parent);

    void form_load() override { Form_Load(); }

    // ---- the screen contract ----
    QWidget* widget() override { return this; }
    void clear_add_or_edit_ongoing() override { add_or_edit_ongoing = false; }
    void update_foreground_color() override;
    void handle_resize() override;
    void fill_display(int16_t mode) override { set_current_savefilereference(mode); }
    void save_data_and_continue(bool& continue_flag) override;

    void set_current_savefilereference(int16_t mode);
    void validate_current_data(QString& message, bool& valid);
    bool is_modified() const { return add_or_edit_ongoing; }
    bool has_clipboard_picture() const { return picture_from_clipboard; }
    // The preview picture's size in twips (1 by 1 when it is empty).
    QSize picture_twips() const { return QSize(picture_width_, picture_height_); }
    QPoint picture_place_twips() const { return QPoint(picture_left_, picture_top_); }

    // ---- handlers a user reaches through the controls ----
    void attach_file_Click();
    void CopyClipboard_Click();
    void view_file_Click();
    // A drop of files (the first one is linked) on the window or its preview.
    void take_dropped_files(const QStringList& files);

    QString comments_text() const;

    // ---- controls, by their names ----
    QLabel* Title_label = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* security_name = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* symbol_textbox = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* security_price = nullptr;
    QPushButton* quote = nullptr;
    QLabel* quote_label = nullptr;
    QLabel* Label6 = nullptr;
    QLineEdit* refname = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Short_file_name_textbox = nullptr;
    QLabel* Label5 = nullptr;
    QLineEdit* filename_textbox = nullptr;
    QLabel* Label3 = nullptr;
    QPlainTextEdit* Other_textbox = nullptr;
    QPushButton* attach_file = nullptr;
    QPushButton* view_file = nullptr;
    QPushButton* CopyClipboard = nullptr;
    QGroupBox* Frame1 = nullptr;
    QFrame* Invisible_Frame2 = nullptr;
    QLabel* Picture2 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* HScroll1 = nullptr;

    QString webdata_folder_path;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build_controls();
    void build_preview();
    void Form_Load();
    bool save_file_reference_entry();

    // intake and preview
    void take_dialog_choice();
    void link_file(const QString& path, const QString& short_name);
    void show_file_preview();
    bool load_image_preview(const QString& path);
    void set_picture(const QImage& image);
    void place_picture();
    void setup_image_scrollbars();
    void allocate_clipboard_file_name();
    void write_clipboard_image();
    void VScroll1_Change();
    void HScroll1_Change();

    bool add_or_edit_ongoing = false;
    bool picture_from_clipboard = false;
    bool dialog_pending = false;
    QString dialog_file_name;
    QString last_short_name;
    QImage clipboard_picture_;
    int picture_design_top = 120;
    int picture_design_left = 240;
    // The picture's place and size in twips, kept exact (pixels would round a twip away).
    int picture_top_ = 120;
    int picture_left_ = 240;
    int picture_width_ = 1;
    int picture_height_ = 1;
    // The preview frames' sizes in twips, as the layout gave them.
    int frame1_width_ = 9375, frame1_height_ = 3375;
    int frame2_width_ = 9135, frame2_height_ = 3015;

    EditorFields* fields_ = nullptr;
    SecurityFields* security_ = nullptr;
    WheelFilter* wheel_ = nullptr;

    // distances taken at load (twips)
    FormMargins margins_;
    int vscroll_height_margin = 0, frame1_height_margin = 0, frame2_height_margin = 0;
    int hscroll_width_margin = 0, frame1_width_margin = 0, frame2_width_margin = 0;
};

} // namespace qb
