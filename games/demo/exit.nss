VarNew "goodbye" str {"ran " ++ IntToStr(seconds) ++ " s"}
