VarNew "clicks" int {0}
VarNew "mx" int {-1}
VarNew "my" int {-1}
Calc {SetProp("", 8, 8421504)}
WhileInit {}
While {TRUE}
  If {@LClick}
    Calc {clicks = clicks + 1}
    Calc {mx = @MouseX}
    Calc {my = @MouseY}
    Calc {SetProp("", 8, clicks * 120)}
  DoEvent
WhileLoop {}
