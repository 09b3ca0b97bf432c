#include "authoring/structure.h"

namespace nova::source {
namespace {
constexpr int kWhile = 31, kWhileLoop = 33, kBreak = 34, kContinue = 35;
}

bool IsStructuralField(int code, const std::string& field) {
  return (code == kWhile && field == "end") ||
         ((code == kWhileLoop || code == kBreak || code == kContinue) && field == "target");
}

std::vector<int32_t> ComputeStructuralTargets(const std::vector<TCodeIndent>& cmds) {
  const int n = static_cast<int>(cmds.size());
  std::vector<int32_t> out(cmds.size(), 0);
  std::vector<int> bodyEnd(cmds.size(), -1), closer(cmds.size(), -1);
  for (int i = 0; i < n; ++i) {
    if (cmds[i].Code != kWhile) continue;
    int j = i + 1;
    while (j < n && cmds[j].Indent > cmds[i].Indent) ++j;
    bodyEnd[i] = j;
    if (j < n && cmds[j].Code == kWhileLoop && cmds[j].Indent == cmds[i].Indent) closer[i] = j;
    out[i] = closer[i] >= 0 ? closer[i] + 1 : j;
  }
  for (int k = 0; k < n; ++k) {
    int code = cmds[k].Code;
    if (code == kWhileLoop) {
      for (int i = k - 1; i >= 0; --i)
        if (cmds[i].Code == kWhile && closer[i] == k) {
          out[k] = i;
          break;
        }
    } else if (code == kBreak || code == kContinue) {
      out[k] = -1;
      for (int i = k - 1; i >= 0; --i)
        if (cmds[i].Code == kWhile && cmds[i].Indent < cmds[k].Indent && bodyEnd[i] > k) {
          out[k] = code == kBreak ? out[i] : (closer[i] >= 0 ? closer[i] : i);
          break;
        }
    }
  }
  return out;
}

}  // namespace nova::source
