// Pictures leaving and entering the window: saving, copying and pasting.
#include "app/Form1.h"

namespace mirth {

void TForm1::Save1Click(TObject*) {}
void TForm1::Copy1Click(TObject*) {}
void TForm1::Paste1Click(TObject*) {}

} // namespace mirth
