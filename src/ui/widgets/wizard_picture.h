#pragma once
// The picture on the left of a wizard: the program's icon over an old
// profile turning into a new one, on the colours of the caption band.

#include <QPixmap>
#include <QSize>

namespace veltrim::ui {

QPixmap WizardPicture(QSize size);

}  // namespace veltrim::ui
