# The save or the load screen (the argument says which): three slots with their captions.
Calc {panelMode = @ParamStr[0]}
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
BoxNew PR_NAME={"panel"} PR_WIDTH={640} PR_HEIGHT={480} PR_COLOR={2099216} PR_ALPHA={224} PR_PRIORITY={100}
If {panelMode == "save"}
  Caption PR_NAME={"panelTitle"} PR_PARENT={"panel"} PR_LEFT={40} PR_TOP={24} PR_TEXT={"セーブ"} PR_FONTHEIGHT={28} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
Else
  Caption PR_NAME={"panelTitle"} PR_PARENT={"panel"} PR_LEFT={40} PR_TOP={24} PR_TEXT={"ロード"} PR_FONTHEIGHT={28} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
VarNew "k" int {1} local
VarNew "caption" str {""} local
WhileInit {k = 1}
While {k <= 3}
  Calc {caption = GetSaveCaption(k)}
  If {caption == ""}
    Calc {caption = "（空き）"}
  Button PR_NAME={"slot" ++ IntToStr(k)} PR_PARENT={"panel"} PR_LEFT={60} PR_TOP={30 + k * 80} PR_SOURCE={"cg\\button.bri"} PR_HOVERSOURCE={"cg\\button_hover.bri"} PR_PRESSEDSOURCE={"cg\\button_pressed.bri"} PR_TEXT={"スロット " ++ IntToStr(k)} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:slot" ++ IntToStr(k)}
  Caption PR_NAME={"caption" ++ IntToStr(k)} PR_PARENT={"panel"} PR_LEFT={290} PR_TOP={44 + k * 80} PR_TEXT={caption} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
WhileLoop {k = k + 1}
Jump "ui.nsb" "closebutton"
