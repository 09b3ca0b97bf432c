#pragma once
// A scene's frame run by hand, the way the game runs it, and its queued events as text: for the
// fixtures and benchmarks that drive a scene without the game.
#include <cstdint>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/geometry.h"
#include "objects/scene.h"

namespace nova::test {

// One frame: input, update, paint, then the dirty lists are cleared; the displayed screen's
// dirty rectangles of the paint go to dirty when given.
inline void StepScene(TNovaBaseList& scene, uint32_t ms = 16, std::vector<TRect>* dirty = nullptr) {
  scene.ProcessInput(ms);
  scene.UpdateScene(ms);
  scene.PaintScene();
  if (dirty) *dirty = scene.Displayed().DirtyList().Items();
  scene.ClearDirty();
}

// How names and arguments of events are shown: as stored (Shift-JIS) or in UTF-8.
enum class TEventText { Stored, Utf8 };

// The queued events as "sender:code(args)", in order.
inline std::vector<std::string> QueuedEvents(const TNovaBaseList& scene, TEventText text = TEventText::Stored) {
  auto show = [text](const std::string& s) { return text == TEventText::Utf8 ? SjisToUtf8(s) : s; };
  std::vector<std::string> out;
  const TEventQueue& q = scene.Events();
  for (int i = 0; i < q.Count(); ++i) {
    const TEventEntry& e = q.Entry(i);
    std::string s = show(scene.SenderName(e.Sender)) + ":" + std::to_string(e.EventCode);
    if (!e.Args.empty()) {
      s += "(";
      for (size_t a = 0; a < e.Args.size(); ++a) s += (a ? "," : "") + show(e.Args[a]);
      s += ")";
    }
    out.push_back(s);
  }
  return out;
}

}  // namespace nova::test
