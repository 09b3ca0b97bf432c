#include "components/images/image_vars.h"

#include "components/images/brio_collection.h"
#include "params/system_vars.h"

namespace nova {

void RegisterImageVariables(TSysFuncMan& funcs, TBrioCollection& images) {
  funcs.RegisterVariable(SV_CGDITHER, {.GetFlag = [&images](int) { return images.Dither(); },
                                       .SetFlag = [&images](bool on) { images.SetDither(on); }});
}

void UnregisterImageVariables(TSysFuncMan& funcs) { funcs.UnregisterVariable(SV_CGDITHER); }

}  // namespace nova
