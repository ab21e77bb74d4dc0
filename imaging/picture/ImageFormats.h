#pragma once

namespace mirth {

// Adds the codecs beyond the built-in rows to the file-format registry: the JPEG image
// for "jpeg" and "jpg", in that order. Every program calls it once at its start, before
// it loads a picture; later calls change nothing.
void RegisterImageFormats();

} // namespace mirth
