VarNew "back" str {""}
Calc @raw{ocTo back = "\x01"}
VarNew "ticks" int {0}
VarNew "ticksAtFlip" int {-1}
VarNew "ticksAfterFlip" int {-1}
VarNew "shownAfterScroll" int {0}
VarNew "shownAfterFade" int {0}
# The displayed screen red, the back screen blue.
Calc {SetProp("", 8, 255)}
Calc {SetProp(back, 8, 16711680)}
# Boxes without a colour: they draw nothing, so the pictures show the screens only.
BoxNew PR_NAME={"carry"} PR_LEFT={4} PR_TOP={4} PR_WIDTH={16} PR_HEIGHT={16} PR_COLOR={}
BoxNew PR_NAME={"stay"} PR_LEFT={40} PR_TOP={4} PR_WIDTH={16} PR_HEIGHT={16}
BoxNew PR_NAME={"waiting"} PR_PARENT={back} PR_LEFT={4} PR_TOP={40} PR_WIDTH={16} PR_HEIGHT={16}
Timer PR_NAME={"tick"} PR_DELAY={16} PR_ONNOTIFY={"tick.nsb"}
Wait {} {48}
# A horizontal scroll of 160 ms that holds the timer's events back.
Calc {ticksAtFlip = ticks}
Flip {6} {160} {FALSE} {} [] {FALSE} {} {} {} {TRUE}
Calc {ticksAfterFlip = ticks}
Calc {shownAfterScroll = GetProp("", 8)}
# The other screen (the first one again) turns green; a fade of 96 ms carries everything but
# "stay" over and clears the old screen.
Calc {SetProp(back, 8, 65280)}
Wait {} {32}
Flip {1} {96} {FALSE} {0} [{"stay"}] {TRUE}
Calc {shownAfterFade = GetProp("", 8)}
Wait {} {}
