// The one way a panel edits a window's style words: open the style editor (GWL_STYLE) or the
// extended style editor (GWL_EXSTYLE) on the word, then write the word back.
#pragma once
#include <windows.h>

namespace operations {

// Runs the editor of the word index for target, owned by owner (null: the main window), and
// after OK writes the edited word back while the target still exists. Nothing happens for a
// target that is not live.
void EditStyleWord(HWND owner, HWND target, int index);

}  // namespace operations
