# The settings screen, opened from the title over everything: the music volume (a slider the
# title's music and a gauge follow at once, also while the thumb is dragged), the volume of the
# button sounds (a slider; letting go plays a click at the new volume), and the message speed
# (a scroll bar from fast on the left to slow on the right: the wait of each character in 256ths).
# The values are variables of the game, so the room's music, sounds and message box take them.
Exit {TRUE}
Label "open"
Exit {Exists("panel")}
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
BoxNew PR_NAME={"panel"} PR_WIDTH={640} PR_HEIGHT={480} PR_COLOR={2099216} PR_ALPHA={224} PR_PRIORITY={100}
Caption PR_NAME={"panelTitle"} PR_PARENT={"panel"} PR_LEFT={40} PR_TOP={24} PR_TEXT={"設定"} PR_FONTHEIGHT={28} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
Caption PR_NAME={"musicLabel"} PR_PARENT={"panel"} PR_LEFT={60} PR_TOP={100} PR_TEXT={"音楽の音量"} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
SliderNew PR_NAME={"musicSlider"} PR_PARENT={"panel"} PR_LEFT={240} PR_TOP={98} PR_SOURCE={"cg\\bar.bri"} PR_THUMBSOURCE={"cg\\thumb.bri"} PR_BUTTONSOURCE={"cg\\steps.bri"} PR_MIN={0} PR_MAX={1000} PR_VALUE={musicVolume} PR_SMALLCHANGE={50} PR_ONNOTIFY={"settings.nsb:music"}
# The gauge lies under the slider's bar (button 18 + half a thumb 7), easing to each new volume,
# over a dark track (its name sorts before the gauge's, so it is drawn first).
BoxNew PR_NAME={"musicBox"} PR_PARENT={"panel"} PR_LEFT={265} PR_TOP={132} PR_WIDTH={200} PR_HEIGHT={14} PR_COLOR={1579040}
GaugeNew PR_NAME={"musicGauge"} PR_PARENT={"panel"} PR_LEFT={265} PR_TOP={132} PR_SOURCE={"cg\\gauge.bri"} PR_MIN={0} PR_MAX={1000} PR_VALUE={musicVolume} PR_DELAY={400}
Caption PR_NAME={"soundLabel"} PR_PARENT={"panel"} PR_LEFT={60} PR_TOP={190} PR_TEXT={"効果音の音量"} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
SliderNew PR_NAME={"soundSlider"} PR_PARENT={"panel"} PR_LEFT={240} PR_TOP={188} PR_SOURCE={"cg\\bar.bri"} PR_THUMBSOURCE={"cg\\thumb.bri"} PR_BUTTONSOURCE={"cg\\steps.bri"} PR_MIN={0} PR_MAX={1000} PR_VALUE={soundVolume} PR_SMALLCHANGE={50} PR_ONNOTIFY={"settings.nsb:sound"} PR_ONRELEASE={"settings.nsb:try"}
Caption PR_NAME={"speedLabel"} PR_PARENT={"panel"} PR_LEFT={60} PR_TOP={270} PR_TEXT={"文字の速さ"} PR_FONTHEIGHT={20} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE}
ScrollbarNew PR_NAME={"speedBar"} PR_PARENT={"panel"} PR_LEFT={240} PR_TOP={268} PR_SOURCE={"cg\\bar.bri"} PR_THUMBSOURCE={"cg\\thumb.bri"} PR_BUTTONSOURCE={"cg\\steps.bri"} PR_MIN={0} PR_MAX={512} PR_VALUE={textSpeed} PR_SMALLCHANGE={16} PR_LARGECHANGE={64} PR_ONNOTIFY={"settings.nsb:speed"}
Caption PR_NAME={"fastLabel"} PR_PARENT={"panel"} PR_LEFT={244} PR_TOP={298} PR_TEXT={"速い"} PR_FONTHEIGHT={16} PR_FONTCOLOR={14737632} PR_ANTIALIAS={TRUE}
Caption PR_NAME={"slowLabel"} PR_PARENT={"panel"} PR_LEFT={440} PR_TOP={298} PR_TEXT={"遅い"} PR_FONTHEIGHT={16} PR_FONTCOLOR={14737632} PR_ANTIALIAS={TRUE}
Button PR_NAME={"settingsBack"} PR_PARENT={"panel"} PR_LEFT={508} PR_TOP={436} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"もどる"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"settings.nsb:back"}
Exit {TRUE}
Label "music"
Calc {musicVolume = GetProp("musicSlider", 125)}
Calc {SetProp("musicGauge", 125, musicVolume)}
If {Exists("bgm")}
  Calc {SetProp("bgm", 28, musicVolume)}
Exit {TRUE}
Label "sound"
Calc {soundVolume = GetProp("soundSlider", 125)}
Exit {TRUE}
Label "try"
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
Exit {TRUE}
Label "speed"
Calc {textSpeed = GetProp("speedBar", 125)}
Exit {TRUE}
Label "back"
Sound PR_SOURCE={"sound\\click.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
ObjDel {"panel"}
Exit {TRUE}
