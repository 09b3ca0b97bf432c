# The title screen: built on the back screen and faded in, with three image buttons and a small
# one in the corner for the settings screen (settings.nss); the Ogg music fades in. The buttons'
# pages (ui.nsb) set `go`. Objects of the same priority are drawn in the order of their names:
# the backgrounds go below everything with a priority of their own.
Calc {go = ""}
Calc {place = "タイトル"}
ImgNew PR_NAME={"titlebg"} PR_PARENT={back} PR_PRIORITY={-100} PR_SOURCE={"cg\\title.bri"}
# Snow falls over the background, behind the texts and buttons: flakes start anywhere along the
# top every 40 to 120 ms and sway as they fall; eight seconds are pre-rolled so the screen is
# already full when it fades in.
ParticleNew PR_NAME={"snow"} PR_PARENT={back} PR_PRIORITY={-50} PR_LEFT={0} PR_TOP={0} PR_WIDTH={640} PR_HEIGHT={480} PR_SOURCE={"cg\\snow.bri"} PR_PARTMOTION={1} PR_PARAM1={0.8} PR_PARAM2={6} PR_PARAM3={24} PR_INDEX={8000} PR_APPEARX={Random(640)} PR_APPEARY={0} PR_DELAY={Random(80) + 40}
Caption PR_NAME={"titletext"} PR_PARENT={back} PR_LEFT={48} PR_TOP={96} PR_TEXT={"novaplayer デモ"} PR_FONTHEIGHT={48} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
Caption PR_NAME={"subtitle"} PR_PARENT={back} PR_LEFT={52} PR_TOP={156} PR_TEXT={"小さな部屋の物語"} PR_FONTHEIGHT={20} PR_FONTCOLOR={14737632} PR_ANTIALIAS={TRUE}
Button PR_NAME={"newgame"} PR_PARENT={back} PR_LEFT={220} PR_TOP={240} PR_SOURCE={"cg\\button.bri"} PR_HOVERSOURCE={"cg\\button_hover.bri"} PR_PRESSEDSOURCE={"cg\\button_pressed.bri"} PR_TEXT={"はじめから"} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:start"}
Button PR_NAME={"continue"} PR_PARENT={back} PR_LEFT={220} PR_TOP={300} PR_SOURCE={"cg\\button.bri"} PR_HOVERSOURCE={"cg\\button_hover.bri"} PR_PRESSEDSOURCE={"cg\\button_pressed.bri"} PR_TEXT={"つづきから"} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:load"}
Button PR_NAME={"quit"} PR_PARENT={back} PR_LEFT={220} PR_TOP={360} PR_SOURCE={"cg\\button.bri"} PR_HOVERSOURCE={"cg\\button_hover.bri"} PR_PRESSEDSOURCE={"cg\\button_pressed.bri"} PR_TEXT={"おわる"} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:quit"}
Button PR_NAME={"settings"} PR_PARENT={back} PR_LEFT={508} PR_TOP={436} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"設定"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"settings.nsb:open"}
If {Exists("bgm")}
  MovieStop {"bgm"} {400}
Flip {1} {400} {FALSE} {} [] {TRUE}
Sound PR_NAME={"bgm"} PR_SOURCE={"sound\\bgm.ogg"} PR_VOLUME={musicVolume} PR_REPEAT={TRUE} PR_DELAY={1000}
Wait {go == ""}
If {go == "quit"}
  MovieStop {"bgm"} {300}
  Wait {} {300}
  Terminate
Jump "room.nsb"
