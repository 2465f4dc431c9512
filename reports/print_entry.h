#pragma once
// The print layout window: a canvas on which the transaction, checklist and call-notes
// layouts place an editor's data in full, and the page output that prints the canvas in
// US Letter slices. Made anew for every print.
#include "core/records.h"
#include "reports/print_canvas.h"

#include <QVector>
#include <QWidget>
#include <array>

namespace qb {

// The canvas and its copy: only their twips size matters to the layouts.
class CanvasArea : public QWidget {
    Q_OBJECT
public:
    CanvasArea(QWidget* parent, const QString& name) : QWidget(parent) { setObjectName(name); }
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

class PrintEntry : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRows = kItemsPerChecklist;
    static constexpr int32_t kPageHeight = 15840;  // 11 inches
    static constexpr int32_t kPageWidth = 12240;   // 8.5 inches
    static constexpr int32_t kRowLine = 203;
    static constexpr int32_t kDetailsLine = 250;
    static constexpr int32_t kClientWidth = 10710;
    // The window's outer height: the canvas starts one page tall.
    static constexpr int32_t kDesignHeight = kPageHeight + 100;

    explicit PrintEntry(QWidget* parent);

    // Each lays out one editor on screen; ok is true when the canvas may be printed.
    void set_values_from_SaveCallNotes(bool& ok);
    void set_values_from_addchecklist(bool& ok);
    void set_values_from_addentry(bool& ok);
    // Prints the canvas page by page; false after an error (already reported).
    bool copy_data_and_print();

    // The page slices [top, bottom) of the canvas: a slice ends at the last whole line or
    // control that fits on the page.
    QVector<CanvasSpan> page_slices() const;

    int32_t window_height = kDesignHeight;
    int32_t window_width = kClientWidth;

    CanvasArea* Picture1 = nullptr;
    CanvasArea* Picture2 = nullptr;
    CanvasControl* listname = nullptr;
    CanvasControl* Label1 = nullptr;
    CanvasControl* trans_text = nullptr;
    CanvasControl* Label2 = nullptr;
    CanvasControl* security_name_textbox = nullptr;
    CanvasControl* Label6 = nullptr;
    CanvasControl* security_price_textbox = nullptr;
    CanvasControl* Date_label = nullptr;
    CanvasControl* Date_textbox = nullptr;
    CanvasControl* Label3 = nullptr;
    CanvasControl* Other_info_textbox = nullptr;
    CanvasControl* ThingstoCheck_label = nullptr;
    CanvasControl* MyComments = nullptr;
    std::array<CanvasControl*, kRows> Num_label{};
    std::array<CanvasControl*, kRows> Check1{};
    std::array<CanvasControl*, kRows> Text1{};
    std::array<CanvasControl*, kRows> Text6{};
    std::array<CanvasControl*, kRows> Line3{};

private:
    // Where the next checklist row goes while the rows are placed.
    struct RowCursor {
        int32_t page_count = 1;
        int32_t row_top = 0;
        int32_t page_position = 0;
    };
    RowCursor start_rows(int32_t first_row_top) const;
    // Places row i (comment_lines < 0: no comment column) and moves the cursor on.
    void place_row(int i, int32_t text_lines, int32_t comment_lines, RowCursor& cursor);
    void grow_canvas_to(int32_t height);
    void start_canvas();
    // The two-by-two header of the checklist and call-notes layouts: each box takes the
    // editor control of the same position in sources, with the caption beside it.
    void lay_out_header_grid(QWidget* editor, const std::array<const char*, 4>& sources,
                             const std::array<const char*, 4>& captions);
    void hide_rows();
    QList<CanvasControl*> canvas_controls() const;
};

// A canvas box takes an editor control's text and text colour.
void copy_field(CanvasControl* to, const QWidget* from);

// Line count of a box's text at a width, measured as the line counter measures.
int32_t canvas_line_count(const QString& text, int width_twips, const QString& face, bool bold);

} // namespace qb
