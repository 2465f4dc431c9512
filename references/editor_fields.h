#pragma once
// What every text box of the reference editors does alike: yellow while it has the
// focus and white after, Enter moving on to the next field, and a control's twips place.
#include "platform/window_helpers.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <functional>

class QWidget;

namespace qb {

constexpr uint32_t kFieldYellow = 0xFFFF;
constexpr uint32_t kFieldWhite = 0xFFFFFF;
constexpr uint32_t kQuoteRed = 0xFF;
constexpr uint32_t kQuoteGreen = 0xFF00;

inline QRect twips_rect(int left, int top, int width, int height) {
    return QRect(twips_to_px(left), twips_to_px(top), twips_to_px(width), twips_to_px(height));
}

void paint_field_background(QWidget* w, uint32_t ole);
void paint_field_text(QWidget* w, uint32_t ole);

// Moves the focus to w when it is on screen.
void focus_if_visible(QWidget* w);

class EditorFields : public QObject {
public:
    explicit EditorFields(QObject* parent) : QObject(parent) {}
    // next: where Enter (on release) moves the focus; nullptr moves nothing.
    void add(QWidget* box, QWidget* next = nullptr);
    void set_next(QWidget* box, QWidget* next);
    // Runs after the box turned white on losing the focus.
    void on_lost_focus(QWidget* box, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        QPointer<QWidget> next;
        std::function<void()> lost_focus;
    };
    QHash<QObject*, Field> fields_;
};

} // namespace qb
