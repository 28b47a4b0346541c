// The program's built-in resources (about text, change log, icon) live in the
// lumora_app library; a static library's resources must be registered once
// before use.
#pragma once

namespace lumora::app {

void initResources();

}  // namespace lumora::app
