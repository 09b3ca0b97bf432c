VarNew "v" int {20} local
VarNew "a" int {30} auto
Calc {seen = seen ++ "inner:" ++ IntToStr(v) ++ "," ++ IntToStr(a)}
Call "deeper.nsb"
