#pragma once
// Where the news reader's controls stand, in twips, and the window's small helpers.
#include <cstdint>

class QWidget;

namespace qb {
class News;
namespace news_layout {

constexpr int kWidth = 8880;
constexpr int kHeight = 7560;
constexpr int kSymbolBoxLeft = 120;   // the frame around the symbol labels
constexpr int kSymbolBoxTop = 780;
constexpr int kSymbolBoxWidth = 8280;
constexpr int kSymbolBoxHeight = 420;
constexpr int kLabelLeft = 240;
constexpr int kLabelTop = 870;
constexpr int kLabelHeight = 255;
constexpr int kRowTop = 1560;  // row 0's Save button
constexpr int kSaveLeft = 120;
constexpr int kSaveWidth = 615;
constexpr int kTitleLeft = 840;
constexpr int kTitleWidth = 7560;
constexpr int kTitleHeight = 255;
constexpr int kScrollLeft = 8520;
constexpr int kScrollTop = 1560;
constexpr int kScrollWidth = 255;
constexpr int kScrollHeight = 5820;

// A symbol label's width by the length of its caption.
int label_width(int characters);
void set_box_colour(QWidget* box, uint32_t ole);
void build_controls(News& news);

} // namespace news_layout
} // namespace qb
