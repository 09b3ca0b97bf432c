# A box whose source is a motion file: the film moves it (its PR_LEFT stays), and its end
# posts the play-end event.
VarNew "left" int {-1}
VarNew "playing" flag {FALSE}
VarNew "ended" int {0}
Calc {SetProp("", 8, 0)}
BoxNew PR_NAME={"b"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={5} PR_HEIGHT={5} PR_COLOR={65280} PR_SOURCE={"m.nmt"} PR_ONPLAYEND={"end.nsb"}
Wait {} {300}
Calc {left = GetProp("b", 3)}
Calc {playing = GetProp("b", 138)}
Wait {} {}
