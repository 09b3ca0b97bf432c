VarNew "a" int {2}
VarNew "log" str {""}
If {a == 1}
  Calc {log = log ++ "x"}
Elseif {a == 2}
  Calc {log = log ++ "b"}
  If {a > 5}
    Calc {log = log ++ "X"}
  Elseif {a > 4}
    Calc {log = log ++ "Y"}
  Else
    Calc {log = log ++ "c"}
    If {TRUE}
      Calc {log = log ++ "d"}
    Calc {log = log ++ "e"}
Elseif {a == 2}
  Calc {log = log ++ "Z"}
Else
  Calc {log = log ++ "W"}
Calc {log = log ++ "f"}
VarNew "n" int {0}
Label "again"
Calc {n = n + 1}
Jump "start.nsb" "again" {n < 3}
Jump "start.nsb" "skip"
Calc {log = log ++ "never"}
Label "skip"
Comment "a commented-out command is skipped"
Calc {log = log ++ "never"} @commented
Exit {n == 3}
Calc {log = log ++ "never"}
