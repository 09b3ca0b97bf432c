# Shared state of the pages, the opening film, then the title screen.
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
# The settings screen's values (settings.nss): music and sound volumes (1000 = full), the
# message speed (256 = each character's own wait).
VarNew "musicVolume" int {800}
VarNew "soundVolume" int {1000}
VarNew "textSpeed" int {256}
Calc {SetProp("", 8, 0)}
# The opening film plays in a cinema over the whole screen and removes itself when it ends; a
# click on it, Return or Space ends it at once.
Cinema PR_NAME={"opening"} PR_SOURCE={"film\\opening.nmt"} PR_AUTOSCRAP={TRUE} PR_ONLBTNDOWN={"ui.nsb:clicked"}
Wait {Exists("opening") & ((clicked | @KeyClick[13] | @KeyClick[32]) == FALSE)}
If {Exists("opening")}
  ObjDel {"opening"}
Calc {clicked = FALSE}
Jump "title.nsb"
