// What an in-place grid edit did with the typed text, so a view knows whether
// to leave the cell alone or to show the model's value again.
#pragma once

namespace lumora {

enum class CellEdit {
    Typing,  // the text is not complete yet (blanks left in its mask): keep it as typed
    Taken,   // the model took the value: show the row again from the model
    Shown,   // nothing changed (a fixed or refused cell): show the model's value again
};

}  // namespace lumora
