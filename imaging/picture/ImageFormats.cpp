#include "imaging/picture/ImageFormats.h"

#include "imaging/jpeg/Jpeg.h"
#include "imaging/picture/Picture.h"

namespace mirth {

// A call rather than a static initialiser beside the class: the linker leaves out a
// library's object file that nothing names, and its initialiser with it, so a program
// that only ever used pictures could not load a JPEG file.
void RegisterImageFormats()
{
    static const bool registered = [] {
        TPicture::RegisterExtension("jpeg", "JPEG Image File", TJPEGImage::Class);
        TPicture::RegisterExtension("jpg", "JPEG Image File", TJPEGImage::Class);
        return true;
    }();
    (void)registered;
}

} // namespace mirth
