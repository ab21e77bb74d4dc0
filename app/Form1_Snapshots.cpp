// Snapshots: keep, undo and the thumbnail strip.
#include "app/Form1.h"

namespace mirth {

void TForm1::Keep1Click(TObject*) {}
void TForm1::AddThumb() {}
void TForm1::ThumbClick(TObject*) {}
void TForm1::Undo1Click(TObject*) {}
void TForm1::DeleteThumbs1Click(TObject*) {}
void TForm1::ShowThumbs1Click(TObject*) {}

} // namespace mirth
