.result int
Calc {@Result = @ParamCount}
