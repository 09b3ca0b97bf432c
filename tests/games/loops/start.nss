VarNew "i" int {0}
VarNew "j" int {0}
VarNew "sum" int {0}
VarNew "trace" str {""}
WhileInit {i = 0}
While {i < 10}
  If {i == 7}
    Break {}
  Continue {i % 2 == 1}
  Calc {sum = sum + i}
  WhileInit {j = 0}
  While {j < 3}
    Calc {trace = trace ++ IntToStr(j)}
    Break {j == 1}
  WhileLoop {j = j + 1}
WhileLoop {i = i + 1}
VarNew "k" int {0}
While {k < 100}
  Calc {k = k + 10}
VarNew "empty" int {0}
While {}
  Calc {empty = 1}
VarNew "after" int {0}
WhileInit {after = 5}
While {TRUE}
  Break {after > 6} target=-1
  Calc {after = after + 1}
WhileLoop {}
Calc {after = 100}
