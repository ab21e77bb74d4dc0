#pragma once

namespace mirth {

// Adds the codecs beyond the built-in rows to the file-format registry: the JPEG image
// for "jpeg", "jpg", "jpe" and "jfif", then PNG, WebP, GIF, and HEIF for "heic", "heif"
// and "avif". Every program calls it once at its start, before it loads a picture;
// later calls change nothing.
void RegisterImageFormats();

} // namespace mirth
