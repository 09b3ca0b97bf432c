#pragma once
// The settings dialog on screen: drawn into a picture in the look of a small system dialog,
// shown in a fixed-size window of our own, centred on the desktop, until it closes.
#include <vector>

#include "app/input_script.h"
#include "app/runconfigs.h"
#include "platform/caption_font.h"
#include "platform/platform.h"

namespace nova {

// The whole client area (TFormConfig::kClientWidth x kClientHeight); without a font the texts
// are left out (the headless player draws none).
void DrawFormConfig(const TFormConfig& form, TPicture& picture, TCaptionFont* font);

// Shows the dialog until it closes. The script's events are applied first, in order, at
// dialog client coordinates (frame numbers only order them). On the headless platform nobody
// answers: when the script leaves the dialog open it takes its default button (OK), as the
// headless message boxes do.
void RunFormConfig(TFormConfig& form, TPlatform& platform, const std::vector<TScriptedEvent>& script = {});

}  // namespace nova
