#include "base/error.h"
#include "scenario/commands_flow.h"
#include "scenario/commands_game.h"
#include "scenario/commands_objects.h"
#include "scenario/messages.h"

namespace nova {

namespace {

template <class T>
std::unique_ptr<TCommand> Make(TPage* page) {
  return std::make_unique<T>(page);
}

using TFactory = std::unique_ptr<TCommand> (*)(TPage*);

constexpr TFactory kFactories[kCommandCount] = {
    Make<TComIf>,          Make<TComElseif>,       Make<TComElse>,        Make<TComLabel>,
    Make<TComJump>,        Make<TComCall>,         Make<TComExit>,        Make<TComWait>,
    Make<TComBoxNew>,      Make<TComImgNew>,       Make<TComMesNew>,      Make<TComTimer>,
    Make<TComMovie>,       Make<TComFlip>,         Make<TComCalc>,        Make<TComVarNew>,
    Make<TComVarDel>,      Make<TComGetProp>,      Make<TComSetProp>,     Make<TComObjDel>,
    Make<TComTextIns>,     Make<TComMovieStop>,    Make<TComClrHist>,     Make<TComCinema>,
    Make<TComCaption>,     Make<TComMenu>,         Make<TComMenuClose>,   Make<TComComment>,
    Make<TComTextClr>,     Make<TComCallHist>,     Make<TComBtnNew>,      Make<TComWhile>,
    Make<TComWhileInit>,   Make<TComWhileLoop>,    Make<TComBreak>,       Make<TComContinue>,
    Make<TComParticleNew>, Make<TComFireNew>,      Make<TComGameSave>,    Make<TComGameLoad>,
    Make<TComPCReset>,     Make<TComReset>,        Make<TComSound>,       Make<TComEditNew>,
    Make<TComMemoNew>,     Make<TComTerminate>,    Make<TComDoEvent>,     Make<TComClrRead>,
    Make<TComMapImgNew>,   Make<TComWaveNew>,      Make<TComTileNew>,     Make<TComSliderNew>,
    Make<TComScrollbarNew>, Make<TComGaugeNew>,    Make<TComCGCaption>,   Make<TComMediaPlay>,
    Make<TComPrevMenuNew>, Make<TComPropMotion>,   Make<TComEntryHist>,   Make<TComCabinetSave>,
    Make<TComCabinetLoad>,
};

}  // namespace

std::unique_ptr<TCommand> CreateCommand(TPage* page, int code) {
  if (code < 0 || code >= kCommandCount) RaiseError(msg::BadCommand());
  return kFactories[code](page);
}

}  // namespace nova
