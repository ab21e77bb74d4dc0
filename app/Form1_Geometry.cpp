// Geometry: quarter turns, the crop rectangle, the stretched view and baking it in.
#include "app/Form1.h"

namespace mirth {

void TForm1::Rotate1Click(TObject*) {}
void TForm1::CounterRotate1Click(TObject*) {}
void TForm1::Image1MouseUp(TObject*, TMouseButton, TShiftState, int32_t, int32_t) {}
void TForm1::MoveSelection(int32_t, int32_t) {}
void TForm1::Stretch1Click(TObject*) {}
void TForm1::Resize1Click(TObject*) {}

} // namespace mirth
