#pragma once
// A news row's headline: it wraps at the box's width over five lines at most. A headline
// that needs more ends its fifth line with "…", so the reader sees that there is more;
// the box's text stays the whole headline.
#include <QLabel>

namespace qb {

class HeadlineBox : public QLabel {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 5;
    explicit HeadlineBox(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace qb
