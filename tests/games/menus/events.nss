# The handlers of the menus' events.
Exit {TRUE}
Label "opened"
Calc {opened = opened + 1}
Exit {TRUE}
Label "chosen"
Calc {chosen = chosen + 1}
Calc {chosenArgs = @ParamStr[0] ++ "/" ++ @ParamStr[1]}
Exit {TRUE}
Label "closed"
Calc {closed = closed + 1}
Exit {TRUE}
