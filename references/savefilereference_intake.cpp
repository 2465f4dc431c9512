// The file reference editor's intake (open dialog, drop, clipboard) and its picture
// preview with scroll bars.
#include "references/savefilereference.h"

#include "core/codepage.h"
#include "core/core.h"
#include "core/text_helpers.h"
#include "platform/window_helpers.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPixmap>
#include <QScrollBar>
#include <cmath>

namespace qb {
namespace {

constexpr int kClipNameLimit = 32767;

QStringList local_files(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    return files;
}

} // namespace

// ---- intake ----

void SaveFileReference::attach_file_Click() {
    dialog_pending = true;
    Dialogs* dialogs = core().platform().dialogs;
    const QString chosen = dialogs ? dialogs->open_file_name(QString(), QString()) : QString();
    // A cancelled dialog leaves the earlier choice as it was.
    if (!chosen.isEmpty()) dialog_file_name = chosen;
    // The modal dialog has closed: its choice is taken up now.
    take_dialog_choice();
}

void SaveFileReference::take_dialog_choice() {
    if (dialog_pending && !dialog_file_name.isEmpty()) {
        const QString title = QFileInfo(dialog_file_name).fileName();
        link_file(dialog_file_name, title);
        if (trim_blanks(title) != last_short_name) show_file_preview();
        dialog_file_name.clear();
    }
    dialog_pending = false;
}

void SaveFileReference::link_file(const QString& path, const QString& short_name) {
    // Another intake replaces a pasted picture: it is not written over the user's file.
    picture_from_clipboard = false;
    clipboard_picture_ = QImage();
    filename_textbox->setText(path);
    Short_file_name_textbox->setText(short_name);
}

void SaveFileReference::take_dropped_files(const QStringList& files) {
    if (files.isEmpty()) return;
    const QString path = trim_blanks(files.first());
    if (QFileInfo(path).isDir()) {
        core().show_message(msg_information, QStringLiteral("Please choose a file, not a folder: ") + path);
        return;
    }
    link_file(path, trim_blanks(file_name_from_path(path)));
    show_file_preview();
}

void SaveFileReference::dragEnterEvent(QDragEnterEvent* event) {
    if (!local_files(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void SaveFileReference::dropEvent(QDropEvent* event) {
    const QStringList files = local_files(event->mimeData());
    if (files.isEmpty()) return;  // text and other data change nothing
    event->acceptProposedAction();
    take_dropped_files(files);
}

void SaveFileReference::CopyClipboard_Click() {
    Core& c = core();
    const Clipboard* clipboard = c.platform().clipboard;
    // A picture is looked for first: programs that copy a picture often offer text too.
    if (clipboard && clipboard->has_image()) {
        const QImage image = clipboard->image();
        if (!image.isNull()) {
            picture_from_clipboard = true;
            add_or_edit_ongoing = true;
            clipboard_picture_ = image;
            set_picture(image);
            picture_top_ = 0;
            picture_left_ = 0;
            place_picture();
            setup_image_scrollbars();
            allocate_clipboard_file_name();
            return;
        }
    }
    if (clipboard) {
        const QStringList files = clipboard->file_list();
        if (!files.isEmpty()) {
            take_dropped_files(files);
            return;
        }
    }
    c.show_message(msg_information,
                   QStringLiteral("There is no image stored in the Clipboard. To place an image in the Clipboard, "
                                  "Select an Image, Right Click, and press Copy. Then press the Quorbelix 'Get Image "
                                  "from Clipboard' Button"));
}

void SaveFileReference::allocate_clipboard_file_name() {
    QString symbol = trim_blanks(symbol_textbox->text());
    if (symbol.contains(u'\\') || symbol.contains(u'/')) symbol.clear();
    for (int n = 0; n <= kClipNameLimit; ++n) {
        const QString candidate = symbol + QStringLiteral("ClipImage") + QString::number(n) + QStringLiteral(".bmp");
        if (QFileInfo::exists(webdata_folder_path + candidate)) continue;
        filename_textbox->setText(webdata_folder_path + candidate);
        Short_file_name_textbox->setText(candidate);
        dialog_file_name.clear();
        return;
    }
    core().show_message(msg_error, QStringLiteral("Unable to allocate a File Name for ClipBoard Data. Error: Every "
                                                  "name up to ClipImage32767 is taken."));
}

void SaveFileReference::write_clipboard_image() {
    const QString path = trim_blanks(filename_textbox->text());
    if (!picture_from_clipboard || file_extension(path) != u".bmp") return;
    QDir().mkpath(QFileInfo(path).path());
    QImageWriter writer(path, "bmp");
    if (!writer.write(clipboard_picture_))
        core().show_message(msg_error, QStringLiteral("Unable to write Clipboard Data to file. Error: ") + writer.errorString());
}

// ---- preview ----

void SaveFileReference::show_file_preview() {
    last_short_name = trim_blanks(Short_file_name_textbox->text());
    const QString ext = file_extension(last_short_name);
    load_image_preview(ext == u".bmp" || ext == u".gif" || ext == u".jpg" ? trim_blanks(filename_textbox->text())
                                                                          : QString());
}

void SaveFileReference::set_picture(const QImage& image) {
    if (image.isNull()) {
        Picture2->clear();
        picture_width_ = 1;
        picture_height_ = 1;
    } else {
        Picture2->setPixmap(QPixmap::fromImage(image));
        picture_width_ = px_to_twips(image.width());
        picture_height_ = px_to_twips(image.height());
    }
    Picture2->resize(twips_to_px(picture_width_), twips_to_px(picture_height_));
}

bool SaveFileReference::load_image_preview(const QString& path) {
    QImage image;
    if (!path.isEmpty()) {
        QImageReader reader(path);
        image = reader.read();
        if (image.isNull()) {
            core().show_message(msg_error, QStringLiteral("Error opening Clipboard Image file: ") + path +
                                               QStringLiteral(" Error: ") + reader.errorString());
            return false;
        }
    }
    set_picture(image);
    HScroll1->setValue(HScroll1->minimum());
    VScroll1->setValue(VScroll1->minimum());
    picture_top_ = picture_design_top;
    picture_left_ = picture_design_left;
    place_picture();
    setup_image_scrollbars();
    Frame1->setTitle(QStringLiteral("Image from File"));
    return true;
}

void SaveFileReference::place_picture() {
    // Rounded to the nearest pixel on both sides of 0, so the far edge meets the frame.
    auto px = [](int twips) { return int(std::lround(double(twips) / kTwipsPerPixel)); };
    Picture2->move(px(picture_left_), px(picture_top_));
}

void SaveFileReference::setup_image_scrollbars() {
    // Ranges in twips as 32-bit values: a large picture still scrolls to its edges.
    if (picture_height_ < frame2_height_) {
        VScroll1->hide();
        picture_top_ = picture_design_top;
    } else {
        VScroll1->setRange(1, picture_height_ - frame2_height_);
        VScroll1->setSingleStep(350);
        VScroll1->setPageStep(1000);
        VScroll1->show();
    }
    if (picture_width_ < frame2_width_) {
        HScroll1->hide();
        picture_left_ = picture_design_left;
    } else {
        HScroll1->setRange(1, picture_width_ - frame2_width_);
        HScroll1->setSingleStep(350);
        HScroll1->setPageStep(1000);
        HScroll1->show();
    }
    place_picture();
}

void SaveFileReference::VScroll1_Change() {
    if (!isVisible() || !VScroll1->isVisible()) return;
    picture_top_ = -VScroll1->value();
    place_picture();
}

void SaveFileReference::HScroll1_Change() {
    if (!isVisible() || !HScroll1->isVisible()) return;
    picture_left_ = -HScroll1->value();
    place_picture();
}

} // namespace qb
