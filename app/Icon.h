#pragma once
#include <QIcon>
#include <QImage>

namespace mirth {

// The program's own picture: a magnifying lens bulging a striped photograph.
QImage MirthlensIconImage(int size);
QIcon MirthlensIcon();

} // namespace mirth
