VarNew "g" int {1} global
VarNew "seen" str {""}
VarNew "declared" int {99} status
VarNew "kept" str {"first"} status
VarNew "kept" str {"second"} status
VarNew "v" int {10} global
Call "inner.nsb"
Calc {seen = seen ++ "/after:" ++ IntToStr(v)}
VarNew "gone" int {0}
VarDel "gone"
