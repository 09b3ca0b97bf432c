// Operations still being written: until then they draw nothing.
#include "render/dibx.h"

namespace nova {

void TCustomDIBX::Assign(TCustomDIBX*) {}
void TCustomDIBX::Draw(int, int, bool, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawMask(int, int, TCustomDIBX*, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawAlpha(int, int, int, bool, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawAlphaMask(int, int, int, TCustomDIBX*, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawAdd(int, int, int, bool, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawAddMask(int, int, int, TCustomDIBX*, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawRotate(int, int, int, bool, bool, bool, int, int, int, const TRect&, TCustomDIBX*, int, int) {}
void TCustomDIBX::DrawRotateMask(int, int, int, TCustomDIBX*, bool, bool, int, int, int, const TRect&, TCustomDIBX*,
                                 int, int) {}
void TCustomDIBX::StretchDraw(const TRect&, TCustomDIBX*, int, bool, bool, bool, const TRect&) {}
void TCustomDIBX::StretchDrawMask(const TRect&, TCustomDIBX*, int, TCustomDIBX*, bool, bool, const TRect&) {}
void TCustomDIBX::StretchDrawAdd(const TRect&, TCustomDIBX*, int, bool, bool, bool, const TRect&) {}
void TCustomDIBX::StretchDrawAddMask(const TRect&, TCustomDIBX*, int, TCustomDIBX*, bool, bool, const TRect&) {}
void TCustomDIBX::DrawMonoSmooth(int, int, int, int, bool, bool, uint32_t, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawQuadSmooth(int, int, int, int, bool, bool, uint32_t, uint32_t, uint32_t, const TRect&,
                                 TCustomDIBX*) {}
void TCustomDIBX::TileDraw(const TRect&, int, int, int, bool, bool, bool, const TRect&, TCustomDIBX*, int) {}
void TCustomDIBX::TileDrawAlpha(const TRect&, int, int, int, int, bool, bool, bool, const TRect&, TCustomDIBX*, int) {}
void TCustomDIBX::TileDrawAdd(const TRect&, int, int, int, int, bool, bool, bool, const TRect&, TCustomDIBX*, int) {}
void TCustomDIBX::TileDrawMask(const TRect&, int, int, int, TCustomDIBX*, bool, bool, const TRect&, TCustomDIBX*, int) {}
void TCustomDIBX::TileDrawAlphaMask(const TRect&, int, int, int, int, TCustomDIBX*, bool, bool, const TRect&,
                                    TCustomDIBX*, int) {}
void TCustomDIBX::TileDrawAddMask(const TRect&, int, int, int, int, TCustomDIBX*, bool, bool, const TRect&,
                                  TCustomDIBX*, int) {}
void TCustomDIBX::TileStretchDraw(const TRect&, int, int, int, int, bool, bool, bool, const TRect&, TCustomDIBX*, int,
                                  int, int) {}
void TCustomDIBX::TileStretchDrawMask(const TRect&, int, int, int, int, TCustomDIBX*, bool, bool, const TRect&,
                                      TCustomDIBX*, int, int, int) {}
void TCustomDIBX::FramePattern(const TRect&, int, int, int, TCustomDIBX*) {}
void TCustomDIBX::DrawIndexed4(int, int, const uint32_t*, int, bool, bool, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::DrawIndexedAdd(int, int, const uint32_t*, int, bool, bool, int, const TRect&, TCustomDIBX*) {}
void TCustomDIBX::StretchIndexed(const TRect&, TCustomDIBX*, const uint32_t*, int, bool, bool, int, const TRect&) {}
void TCustomDIBX::PatternDraw(const TRect&, int, int, bool, bool, bool, int, int, TCustomDIBX*, int) {}
void TCustomDIBX::PatternDrawMask(const TRect&, int, int, TCustomDIBX*, bool, bool, int, int, TCustomDIBX*, int) {}
void TCustomDIBX::PatternFill(const TRect&, TCustomDIBX*, bool, bool, int, int) {}
void TCustomDIBX::DrawMonoMask(int, int, int, uint32_t, bool, bool, const TRect&, TCustomDIBX*) {}

}  // namespace nova
