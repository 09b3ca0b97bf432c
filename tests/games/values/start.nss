VarNew "notifies" int {0}
VarNew "lastNotify" str {""}
VarNew "holds" int {0}
VarNew "releases" int {0}
VarNew "value" int {-1}
VarNew "gauge" int {-1}
VarNew "playing" flag {FALSE}
VarNew "wasPlaying" flag {FALSE}
Calc {SetProp("", 8, 4210752)}
# Bar 100 pixels (cells of 100 x 8), thumb 8 x 16, buttons 12 x 12: the bar starts at x 26.
SliderNew PR_NAME={"s"} PR_LEFT={10} PR_TOP={10} PR_SOURCE={"bar.bri"} PR_THUMBSOURCE={"thumb.bri"} PR_BUTTONSOURCE={"buttons.bri"} PR_MIN={0} PR_MAX={100} PR_VALUE={0} PR_HANDLEKEY={TRUE} PR_ONNOTIFY={"events.nsb:notify"} PR_ONHOLD={"events.nsb:hold"} PR_ONRELEASE={"events.nsb:release"}
GaugeNew PR_NAME={"g"} PR_LEFT={10} PR_TOP={60} PR_SOURCE={"gauge.bri"} PR_MIN={0} PR_MAX={100} PR_VALUE={100} PR_DELAY={400} PR_DURATION={160}
WhileInit {}
While {TRUE}
  Calc {value = GetProp("s", 125)}
  Calc {gauge = GetProp("g", 125)}
  Calc {playing = GetProp("g", 138)}
  If {playing}
    Calc {wasPlaying = TRUE}
  DoEvent
WhileLoop {}
