.result str
Calc {@Result = "hello " ++ @ParamStr[0] ++ @ParamStr[1]}
