# The slider's events: every change the user makes sets the gauge to what is left.
Exit {TRUE}
Label "notify"
Calc {notifies = notifies + 1}
Calc {lastNotify = @ParamStr[0]}
Calc {SetProp("g", 125, 100 - GetProp("s", 125))}
Exit {TRUE}
Label "hold"
Calc {holds = holds + 1}
Exit {TRUE}
Label "release"
Calc {releases = releases + 1}
Exit {TRUE}
