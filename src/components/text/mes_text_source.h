#pragma once
// Where message boxes and the message history find the compiled texts of TextIns commands: a
// scenario page by name, holding the text block of each of its TextIns commands by command
// index. The scenario engine answers (it owns the page format and the interpreter's page
// cache); tests answer with pages of their own.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace nova {

// The compiled texts of one scenario page.
struct TMesTextPage {
  std::string Name;
  // One entry per command of the page: the glyph stream of a TextIns, none for other commands.
  std::vector<std::optional<std::string>> Blocks;

  int Count() const { return static_cast<int>(Blocks.size()); }
  // The text block of command index, or null when the index is outside the page or the
  // command there is no TextIns.
  const std::string* TextBlock(int32_t index) const {
    if (index < 0 || index >= Count() || !Blocks[static_cast<size_t>(index)]) return nullptr;
    return &*Blocks[static_cast<size_t>(index)];
  }
};

class TMesTextSource {
public:
  virtual ~TMesTextSource() = default;
  // Whether the page's file exists in the game's file space.
  virtual bool PageExists(const std::string& page) = 0;
  // The page's texts (the interpreter's copy when it holds the page, else read from its file);
  // null when it cannot be read.
  virtual std::shared_ptr<const TMesTextPage> LoadPage(const std::string& page) = 0;
};

}  // namespace nova
