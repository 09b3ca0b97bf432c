VarNew "sum" int {0}
VarNew "twice" int {0}
VarNew "text" str {""}
VarNew "count" int {0}
VarNew "skipped" int {5}
Call "calc.nsb" result="sum" args=[{3} {4}]
Call "calc.nsb" "double" "twice" args=[{sum}]
Call "greet.nsb" result="text" args=[{"bob"} {"!"}]
Call "greet.nsb" result="skipped" cond={FALSE}
Call "count.nsb" result="count" args=[{1} {2} {3}]
VarNew "quarter" real {0}
VarNew "yes" flag {FALSE}
VarNew "fromReal" int {0}
Call "typed.nsb" "real" "quarter"
Call "typed.nsb" "flag" "yes"
Call "typed.nsb" "whole" "fromReal"
