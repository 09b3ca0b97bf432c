#include "components/text/nova_cglabel.h"

#include <algorithm>
#include <climits>

#include "base/sjis.h"
#include "components/component_services.h"
#include "objects/scene.h"
#include "text/markup.h"
#include "text/text_limits.h"

namespace nova {

namespace {

// The characters of a text (one or two bytes each).
std::vector<std::string> Chars(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    size_t len = CharLen(text, i);
    out.push_back(text.substr(i, len));
    i += len;
  }
  return out;
}

}  // namespace

TNovaCGLabel::TNovaCGLabel(TNovaBaseList* scene, const TComponentServices& services)
    : TNovaControl(scene), services_(services) {}

void TNovaCGLabel::SetSource(const std::string& name) {
  Invalidate();
  source_ = name;
  try {
    picture_.Load(services_, name, Scene() ? Scene()->BitCount() : 32);
  } catch (const std::exception&) {
    picture_.Clear();  // a damaged picture shows nothing
  }
  Invalidate();
}

void TNovaCGLabel::Rebuild() {
  const std::vector<std::string> map = Chars(map_);
  cells_.clear();
  size_t longest = 0;
  for (const std::string& line : SplitMarkupLines(text_)) {
    std::vector<int32_t> cells;
    for (const std::string& c : Chars(line)) {
      auto it = std::find(map.begin(), map.end(), c);
      cells.push_back(it == map.end() ? -1 : static_cast<int32_t>(it - map.begin()));
    }
    longest = std::max(longest, cells.size());
    cells_.push_back(std::move(cells));
  }
  const auto lines = static_cast<int32_t>(cells_.size());
  Invalidate();
  // Cell sizes and spacing from scripts and saved games may be anything: the size is held.
  const auto columns = static_cast<int32_t>(std::min<size_t>(longest, INT32_MAX));
  SetWidth(TextObjectSide(SaturatedMul(columns, cellWidth_)));
  SetHeight(TextObjectSide(SaturatedAdd(SaturatedMul(lines, cellHeight_), SaturatedMul(lineSpace_, std::max(0, lines - 1)))));
  Invalidate();
}

bool TNovaCGLabel::Update(uint32_t elapsedMs) {
  if (picture_.Step(elapsedMs)) Invalidate();
  return false;
}

void TNovaCGLabel::PaintSelf(TCustomDIBX& surface) {
  if (picture_.Empty() || alpha_ <= 0) return;
  const int32_t columns = picture_.Width() / cellWidth_;
  if (columns < 1) return;
  const int32_t count = (picture_.Height() / cellHeight_) * columns;
  const TRect drawn = DrawnRect();
  int32_t y = drawn.Top;
  for (const std::vector<int32_t>& line : cells_) {
    const int32_t length = static_cast<int32_t>(line.size()) * cellWidth_;
    int32_t x = drawn.Left;
    if (halign_ == HA_CENTER) x += (Width() - length) / 2;
    else if (halign_ == HA_RIGHT) x += Width() - length;
    for (int32_t index : line) {
      if (index >= 0 && index < count) {
        const TRect cell = TRect::FromSize((index % columns) * cellWidth_, (index / columns) * cellHeight_, cellWidth_,
                                           cellHeight_);
        picture_.Draw(surface, x, y, alpha_, cell);
      }
      x += cellWidth_;
    }
    y += cellHeight_ + lineSpace_;
  }
}

bool TNovaCGLabel::GetProperty(int id, TPropValue& v) {
  switch (id) {
    case PR_SOURCE: v = TPropValue::OfStr(source_); return true;
    case PR_ALPHA: v = TPropValue::OfInt(alpha_); return true;
    case PR_LINESPACE: v = TPropValue::OfInt(lineSpace_); return true;
    case PR_PAUSED: v = TPropValue::OfFlag(paused_); return true;
    case PR_TEXT: v = TPropValue::OfStr(text_); return true;
    case PR_HALIGN: v = TPropValue::OfInt(halign_); return true;
    case PR_ORIGWIDTH: v = TPropValue::OfInt(picture_.Width()); return true;
    case PR_ORIGHEIGHT: v = TPropValue::OfInt(picture_.Height()); return true;
    case PR_ONIDLE: v = TPropValue::OfStr(onIdle_); return true;
    case PR_MAPTEXT: v = TPropValue::OfStr(map_); return true;
    case PR_GLYPHWIDTH: v = TPropValue::OfInt(cellWidth_); return true;
    case PR_GLYPHHEIGHT: v = TPropValue::OfInt(cellHeight_); return true;
    default: return TNovaControl::GetProperty(id, v);
  }
}

bool TNovaCGLabel::SetProperty(int id, const TPropValue& v) {
  switch (id) {
    case PR_SOURCE: SetSource(v.Str); return true;
    case PR_ALPHA:
      if (v.Int != alpha_) {
        alpha_ = v.Int;
        Invalidate();
      }
      return true;
    case PR_LINESPACE: lineSpace_ = v.Int; Rebuild(); return true;
    case PR_PAUSED: paused_ = v.Flag; return true;
    case PR_TEXT: text_ = v.Str; Rebuild(); return true;
    case PR_HALIGN: halign_ = static_cast<uint8_t>(v.Int); Invalidate(); return true;
    case PR_ORIGWIDTH:
    case PR_ORIGHEIGHT: return true;
    case PR_ONIDLE: onIdle_ = v.Str; return true;
    case PR_MAPTEXT: map_ = v.Str; Rebuild(); return true;
    case PR_GLYPHWIDTH: cellWidth_ = std::max(1, v.Int); Rebuild(); return true;
    case PR_GLYPHHEIGHT: cellHeight_ = std::max(1, v.Int); Rebuild(); return true;
    default: return TNovaControl::SetProperty(id, v);
  }
}

void TNovaCGLabel::SaveToStream(TStream& s) {
  TNovaControl::SaveToStream(s);
  s.WriteString(source_);
  s.WriteString(text_);
  s.WriteString(map_);
  s.WriteInt32(cellWidth_);
  s.WriteInt32(cellHeight_);
  s.WriteInt32(lineSpace_);
  s.WriteByte(paused_ ? 1 : 0);
  s.WriteByte(halign_);
  s.WriteInt32(alpha_);
  s.WriteString(onIdle_);
}

void TNovaCGLabel::LoadFromStream(TStream& s, int32_t version) {
  TNovaControl::LoadFromStream(s, version);
  SetSource(s.ReadString());
  text_ = s.ReadString();
  map_ = s.ReadString();
  cellWidth_ = std::max(1, s.ReadInt32());
  cellHeight_ = std::max(1, s.ReadInt32());
  lineSpace_ = s.ReadInt32();
  paused_ = s.ReadByte() != 0;
  halign_ = s.ReadByte();
  alpha_ = s.ReadInt32();
  if (version > 124) onIdle_ = s.ReadString();
  Rebuild();
}

}  // namespace nova
