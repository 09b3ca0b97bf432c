# First run: play into a chapter, save there, play on. Every later run: load that save, which
# goes on from the same place, so the variables end the same.
Calc {runs = runs + 1}
If {runs == 1}
  VarNew "score" int {10}
  VarNew "hero" str {"勇者"}
  VarNew "result" int {0}
  Call "chapter.nsb" 0 "result" {} [{"one"} {2}]
  Calc {score = score + result}
  Wait {} {} {}
Else
  GameLoad {1}
  Wait {} {} {}
