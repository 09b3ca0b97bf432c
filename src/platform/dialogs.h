#pragma once
// Message boxes (OK, OK/Cancel, Yes/No) and a small box of choices, as the player shows them
// to the user. Texts of message boxes arrive as Shift-JIS. Whoever shows a box is handed the
// dialogs it shows them with; nothing shows a box through a process-wide hook.
#include <string>
#include <vector>

namespace nova {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgResult { Ok, Cancel, Yes, No };

class TDialogs {
public:
  virtual ~TDialogs() = default;
  // Returns the answer; a box that cannot be shown answers with its first button.
  virtual MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                               MsgIcon icon) = 0;
  // One button per choice (UTF-8 texts); the chosen index, or -1 when dismissed or unavailable.
  virtual int ChoiceBox(const std::string& utf8Caption, const std::string& utf8Text,
                        const std::vector<std::string>& utf8Choices) = 0;
};

// The answer of a box nobody can see: its first button.
MsgResult DefaultAnswer(MsgButtons buttons);

// Prints "[caption] text" to stderr in UTF-8 and answers with the first button; offers no
// choices.
class THeadlessDialogs : public TDialogs {
public:
  MsgResult MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                       MsgIcon icon) override;
  int ChoiceBox(const std::string&, const std::string&, const std::vector<std::string>&) override { return -1; }
};

}  // namespace nova
