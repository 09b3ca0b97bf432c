#pragma once
// Message boxes (OK, OK/Cancel, Yes/No) and a small choice box. Texts arrive as Shift-JIS and
// are shown in UTF-8. The headless form prints "[caption] text" to stderr and takes the
// default answer (the first button).
#include <string>
#include <vector>

#include "base/process.h"

namespace nova {

class TPlatformWindow;

// Installs the base/process.h MessageBox hook; parent may be null.
void InstallSdlMessageBoxes(TPlatformWindow* parent);
void InstallHeadlessMessageBoxes();

// Shows a box with one button per choice (UTF-8 texts); returns the chosen index, or -1
// when the box was dismissed. The headless form returns -1 without showing anything.
int ShowChoiceBox(TPlatformWindow* parent, const std::string& utf8Caption, const std::string& utf8Text,
                  const std::vector<std::string>& utf8Choices);

// The headless answer to a box: the first button.
MsgResult DefaultAnswer(MsgButtons buttons);

}  // namespace nova
