VarNew "items" int {0}
VarNew "optionsAt" int {-2}
VarNew "checked" flag {FALSE}
VarNew "opened" int {0}
VarNew "chosen" int {0}
VarNew "chosenArgs" str {""}
VarNew "closed" int {0}
VarNew "mouseIndex" int {-2}
VarNew "mouseText" str {""}
VarNew "keyIndex" int {-2}
VarNew "keyText" str {""}
VarNew "cancelIndex" int {-2}
VarNew "closedByCommand" flag {FALSE}
Calc {SetProp("", 8, 4210752)}
# Chosen with the mouse: it opens over 96 ms, closes itself after the choice.
Menu PR_NAME={"main"} PR_LEFT={40} PR_TOP={16} PR_TEXT={"Start\nLoad\nOptions\nQuit"} PR_ROWCOUNT={4} PR_COLOR={8388608} PR_BORDERWIDTH={2} PR_BORDERCOLOR={16777215} PR_HOVERCOLOR={32768} PR_FONTCOLOR={16777215} PR_FONTHOVERCOLOR={65535} PR_FONTHEIGHT={16} PR_ANTIALIAS={TRUE} PR_MARGINX={6} PR_MARGINY={4} PR_LINESPACE={4} PR_DELAY={96} PR_AUTOSCRAP={TRUE} PR_ONOPENED={"events.nsb:opened"} PR_ONSELECT={"events.nsb:chosen"} PR_ONCLOSED={"events.nsb:closed"}
Calc {items = GetProp("main", 45)}
Calc {optionsAt = IndexOfMenu("main", "options")}
Calc {SetCheck("main", 2, TRUE)}
Calc {checked = GetCheck("main", 2)}
WhileInit {}
While {Exists("main")}
  DoEvent
WhileLoop {}
Calc {mouseIndex = @SelIndex}
Calc {mouseText = @SelStr}
# Chosen with keys: Down twice, then Enter.
Menu PR_NAME={"keys"} PR_LEFT={40} PR_TOP={16} PR_TEXT={"Red\nGreen\nBlue"} PR_ROWCOUNT={3} PR_COLOR={128} PR_HOVERCOLOR={32896} PR_FONTCOLOR={16777215} PR_FONTHEIGHT={16} PR_ANTIALIAS={TRUE} PR_MARGINX={6} PR_MARGINY={4} PR_HANDLEKEY={TRUE} PR_AUTOSCRAP={TRUE} PR_ONCLOSED={"events.nsb:closed"}
WhileInit {}
While {Exists("keys")}
  DoEvent
WhileLoop {}
Calc {keyIndex = @SelIndex}
Calc {keyText = @SelStr}
# Cancelled with a right click anywhere.
Menu PR_NAME={"cancel"} PR_LEFT={40} PR_TOP={16} PR_TEXT={"Yes\nNo"} PR_ROWCOUNT={2} PR_COLOR={32768} PR_FONTHEIGHT={16} PR_RCLICKSCRAP={TRUE} PR_DELAY={48} PR_ONCLOSED={"events.nsb:closed"}
WhileInit {}
While {Exists("cancel")}
  DoEvent
WhileLoop {}
Calc {cancelIndex = @SelIndex}
# Closed by the command.
Menu PR_NAME={"shut"} PR_LEFT={40} PR_TOP={16} PR_TEXT={"Bye"} PR_COLOR={255} PR_FONTHEIGHT={16} PR_DELAY={32}
Wait {} {64}
MenuClose {"shut"}
WhileInit {}
While {Exists("shut")}
  DoEvent
WhileLoop {}
Calc {closedByCommand = TRUE}
Wait {} {}
