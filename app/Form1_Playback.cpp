// Playback of the thumbnails: the morph from the first to the last, and the animation.
#include "app/Form1.h"

namespace mirth {

void TForm1::Button4Click(TObject*) {}
void TForm1::Blend1Click(TObject*) {}
void TForm1::Timer1Timer(TObject*) {}
void TForm1::Button3Click(TObject*) {}
void TForm1::Animate1Click(TObject*) {}
void TForm1::Timer2Timer(TObject*) {}
void TForm1::SpinEdit1Change(TObject*) {}
void TForm1::SpinEdit2Change(TObject*) {}

} // namespace mirth
