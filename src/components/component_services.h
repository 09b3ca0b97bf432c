#pragma once
// What the concrete display objects use of the game around them: the file space, the image and
// glyph caches, the variables their expressions read, the platform and media. The game fills one
// of these and hands it to every object it creates (through the object factory); tests fill
// only what the objects under test need.
#include <cstdint>
#include <functional>
#include <string>

#include "components/images/image_motion.h"

namespace nova {

class TBrioCollection;
class TFontPixelManager;
class TMediaSystem;
class TMesTextSource;
class TNovaHistoryFormatManager;
class TNovaReadList;
class TParamCollection;
class TPlatform;
class TSysFuncMan;
class TVrFileManager;

struct TComponentServices {
  TVrFileManager* Files = nullptr;
  // Whether a game file can be read (asking for a data disk where the project says so).
  std::function<bool(const std::string& name)> CheckFile;
  TParamCollection* Store = nullptr;
  TSysFuncMan* Funcs = nullptr;
  TFontPixelManager* Glyphs = nullptr;
  TBrioCollection* Images = nullptr;
  TMediaSystem* Media = nullptr;
  TPlatform* Platform = nullptr;
  int32_t ImageKey = 0;  // the project's scrambling key of layered images
  // The motion of a motion-file source (".nmt"); empty: such sources load nothing.
  TMotionMaker MakeMotion;
  // Message boxes: the compiled texts of the scenario, the history formats and the read marks.
  TMesTextSource* Texts = nullptr;
  TNovaHistoryFormatManager* History = nullptr;
  TNovaReadList* ReadMarks = nullptr;
  // The run-time random generator the effects draw their uniform integers and reals from: the
  // next 32-bit state. Empty: the scenario's Random generator, which the game seeds (headless
  // runs with a fixed value), so that a headless run repeats exactly.
  std::function<uint32_t()> NextRandomState;
};

}  // namespace nova
