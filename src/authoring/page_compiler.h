#pragma once
// Scenario page sources (one file per page, UTF-8) -> compiled pages.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "scenario/page_format.h"
#include "authoring/lexer.h"

namespace nova::source {

// The command codes of a label and of a comment: records that carry a name or a note only.
constexpr int kLabelCode = 3, kCommentCode = 27;

// An error at a place in a source file; Message is UTF-8.
struct TBuildError {
  std::string File;
  int Line = 0;
  std::string Message;
  std::string Text() const { return File + ":" + std::to_string(Line) + ": " + Message; }
};

struct TSourceCommand {
  int Line = 0;
  int Code = 0;
  std::string Name;                  // as written
  int32_t Indent = 0;
  std::vector<TItem> Items;
};

struct TSourceDirective {
  int Line = 0;
  std::string Name;  // "version", "result", ...
  std::vector<TItem> Items;
};

struct TPageSource {
  std::string File;      // for messages
  std::string PageName;  // Shift-JIS game name of the compiled page ("sub\a.nsb")
  std::vector<TSourceDirective> Directives;
  std::vector<TSourceCommand> Commands;
};

// Label name (Shift-JIS) -> index of the first Label or Comment with that text.
using TLabelMap = std::map<std::string, int32_t>;
// Finds the labels of another page of the same build by its page name; nullptr when unknown.
using TLabelResolver = std::function<const TLabelMap*(const std::string& pageName)>;

// Raise TBuildError.
TPageSource ParsePageSource(const std::string& text, const std::string& file, const std::string& pageName);
TLabelMap CollectLabels(const TPageSource& src);
void CompilePage(const TPageSource& src, const TLabelResolver& resolver, TPageFile& page);
// Both steps for a page on its own (labels of other pages are unknown).
void CompilePageText(const std::string& text, const std::string& file, const std::string& pageName,
                     TPageFile& page);

// The lines of a source file: split at LF, each without a final CR, after a UTF-8 byte order
// mark; line k (from 1) is element k - 1.
std::vector<std::string> SourceLines(const std::string& text);

// The value-type words of the sources: int 1, real 2, flag 3, str 4.
std::optional<int> TypeCodeByWord(const std::string& w);
const char* TypeWord(int code);  // nullptr for codes without a word
// The scope words of VarNew: global 0, auto 1 (freed with its frame), local 2, status 3.
std::optional<int> ScopeCodeByWord(const std::string& w);
const char* ScopeWord(int code);

}  // namespace nova::source
