// RGBA pictures as PNG files.
#pragma once

#include <string>

#include "core/bytes.h"
#include "menu/menu_model.h"

namespace lumora {

// An 8-bit RGBA PNG of a picture; empty for a picture without pixels.
Bytes rgbaPngBytes(const Picture& picture);
// Writes rgbaPngBytes through a temporary file beside `path`.  Throws
// FileError when the picture has no pixels or the file cannot be written.
void writeRgbaPng(const std::string& path, const Picture& picture);

}  // namespace lumora
