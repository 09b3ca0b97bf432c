Calc {seen = seen ++ "/deeper:" ++ IntToStr(v) ++ "," ++ IntToStr(a)}
Calc {g = g + 1}
