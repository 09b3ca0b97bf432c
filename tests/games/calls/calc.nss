.result int
VarNew "a" int {@ParamStr[0]} local
VarNew "b" int {@ParamStr[1]} local
Calc {@Result = a + b}
Exit {}
Label "double"
VarNew "a" int {@ParamStr[0]} local
Calc {@Result = a * 2}
