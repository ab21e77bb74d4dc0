#pragma once
#include <cstdint>

class QObject;

namespace mirth {

// Tell assistive technology that a control's value or name changed. Qt passes these on
// only while a screen reader's bus is there; otherwise they cost a test of a flag.
void AnnounceValue(QObject* control, int32_t value);
void AnnounceNameChange(QObject* control);

} // namespace mirth
