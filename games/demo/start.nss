VarNew "seconds" int {0}
VarNew "started" str {IntToStr(@Year, 4) ++ "-" ++ IntToStr(@Month, 2) ++ "-" ++ IntToStr(@Day, 2)}
WhileInit {seconds = 0}
While {TRUE}
  Wait {} {1000}
WhileLoop {seconds = seconds + 1}
