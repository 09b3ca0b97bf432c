# The pages of the buttons, links and message box events.
Exit {TRUE}
Label "start"
Sound PR_SOURCE={"sound\\decide.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
Calc {go = "room"}
Exit {TRUE}
Label "quit"
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
Calc {go = "quit"}
Exit {TRUE}
Label "typed"
Calc {typed = TRUE}
Exit {TRUE}
Label "clicked"
Calc {clicked = TRUE}
Exit {TRUE}
Label "link"
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
Calc {link = @ParamStr[0] ++ "：" ++ @ParamStr[1]}
If {Exists("note")}
  ObjDel {"note"}
Caption PR_NAME={"note"} PR_LEFT={24} PR_TOP={292} PR_TEXT={link} PR_FONTHEIGHT={18} PR_FONTCOLOR={2105392} PR_ANTIALIAS={TRUE}
Exit {TRUE}
Label "title"
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
PCReset "title.nsb"
Exit {TRUE}
Label "history"
Exit {Exists("panel")}
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
BoxNew PR_NAME={"panel"} PR_WIDTH={640} PR_HEIGHT={480} PR_COLOR={2099216} PR_ALPHA={224} PR_PRIORITY={100}
Caption PR_NAME={"panelTitle"} PR_PARENT={"panel"} PR_LEFT={40} PR_TOP={24} PR_TEXT={"履歴"} PR_FONTHEIGHT={28} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
MesNew PR_NAME={"histmes"} PR_PARENT={"panel"} PR_LEFT={40} PR_TOP={80} PR_WIDTH={560} PR_HEIGHT={320} PR_FONTHEIGHT={18} PR_LINESPACE={6} PR_FONTCOLOR={14737632} PR_FONTLINKCOLOR={16760960} PR_TEXTDELAY={0} PR_ANTIALIAS={TRUE}
CallHist {"histmes"} {@HistoryCount - 3} {3} {FALSE}
Jump "ui.nsb" "closebutton"
Label "save"
Exit {Exists("panel")}
Call "panel.nsb" args=[{"save"}]
Exit {TRUE}
Label "load"
Exit {Exists("panel")}
Call "panel.nsb" args=[{"load"}]
Exit {TRUE}
Label "slot1"
Calc {slot = 1}
Jump "ui.nsb" "slot"
Label "slot2"
Calc {slot = 2}
Jump "ui.nsb" "slot"
Label "slot3"
Calc {slot = 3}
Label "slot"
If {panelMode == "save"}
  Sound PR_SOURCE={"sound\\decide.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
  ObjDel {"panel"}
  Calc {saves = saves + 1}
  GameSave {slot} "loaded.nsb" 0 {"No." ++ IntToStr(saves) ++ "  " ++ place}
  Exit {TRUE}
Exit {GetSaveCaption(slot) == ""}
Sound PR_SOURCE={"sound\\decide.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
GameLoad {slot}
Exit {TRUE}
Label "closebutton"
Button PR_NAME={"close"} PR_PARENT={"panel"} PR_LEFT={488} PR_TOP={428} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"閉じる"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:close"}
Exit {TRUE}
Label "close"
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
ObjDel {"panel"}
