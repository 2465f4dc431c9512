#pragma once
// The picture of an answer to a checklist item: a green tick, a red cross or a question mark.
#include <QPixmap>

namespace qb {

// code: an answer value; answer_none draws nothing.
QPixmap draw_answer_mark(int code, int size);

} // namespace qb
