# Results of every type; the caller's variable converts what it receives.
.result real
Label "real"
Calc {@Result = 1.25}
Exit {}
Label "flag"
Calc {@Result = 1}
Exit {}
Label "whole"
Calc {@Result = 42}
