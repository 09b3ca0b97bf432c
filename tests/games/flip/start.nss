VarNew "back" str {""}
Calc @raw{ocTo back = "\x01"}
VarNew "ticks" int {0}
VarNew "ticksAtFlip" int {-1}
VarNew "ticksAfterFlip" int {-1}
VarNew "shownAfterScroll" int {0}
VarNew "shownAfterFade" int {0}
VarNew "plainColour" int {0}
VarNew "plainBefore" flag {FALSE}
VarNew "plainAfter" flag {TRUE}
VarNew "waitingParent" str {""}
# The displayed screen red with a green and a yellow box, the back screen blue with a white one
# and one without a colour (the creation default, -1: it draws nothing).
Calc {SetProp("", 8, 255)}
Calc {SetProp(back, 8, 16711680)}
BoxNew PR_NAME={"carry"} PR_LEFT={4} PR_TOP={4} PR_WIDTH={16} PR_HEIGHT={16} PR_COLOR={65280}
BoxNew PR_NAME={"stay"} PR_LEFT={40} PR_TOP={4} PR_WIDTH={16} PR_HEIGHT={16} PR_COLOR={65535}
BoxNew PR_NAME={"waiting"} PR_PARENT={back} PR_LEFT={4} PR_TOP={36} PR_WIDTH={40} PR_HEIGHT={16} PR_COLOR={16777215}
BoxNew PR_NAME={"plain"} PR_PARENT={back} PR_LEFT={56} PR_TOP={36} PR_WIDTH={16} PR_HEIGHT={16} PR_COLOR={}
GetProp {"plain"} {8} "plainColour"
Timer PR_NAME={"tick"} PR_DELAY={16} PR_ONNOTIFY={"tick.nsb"}
Wait {} {48}
# A horizontal scroll of 160 ms that holds the timer's events back.
Calc {ticksAtFlip = ticks}
Flip {6} {160} {FALSE} {} [] {FALSE} {} {} {} {TRUE}
Calc {ticksAfterFlip = ticks}
Calc {shownAfterScroll = GetProp("", 8)}
# The first screen, hidden now, turns dark grey; a fade of 96 ms carries "waiting" over to it,
# and clears the screen it leaves ("plain" goes).
Calc {SetProp(back, 8, 4210752)}
Calc {plainBefore = Exists("plain")}
Wait {} {32}
Flip {1} {96} {FALSE} {1} [{"waiting"}] {TRUE}
Wait {} {16}
Calc {shownAfterFade = GetProp("", 8)}
Calc {plainAfter = Exists("plain")}
GetProp {"waiting"} {1} "waitingParent"
Wait {} {}
