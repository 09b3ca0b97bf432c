# Shared state of the pages, then the title screen.
VarNew "back" str {""}
Calc @raw{ocTo back = "\x01"}
VarNew "go" str {""}
VarNew "typed" flag {FALSE}
VarNew "clicked" flag {FALSE}
VarNew "place" str {"タイトル"}
VarNew "panelMode" str {""}
VarNew "slot" int {0}
VarNew "saves" int {0}
VarNew "link" str {""}
Calc {SetProp("", 8, 0)}
Jump "title.nsb"
