#pragma once
// The program's fixed messages by id.

#include <QString>

namespace veltrim::ui {

// The text of message id, or an empty text when there is none.
QString LoadMessage(unsigned id);

}  // namespace veltrim::ui
