# Waits, from the next frame on, for a left click on the message window (its pages set
# `clicked`) or the Return or Space key; not while the history or a save screen is open.
Wait {} {1}
Calc {clicked = FALSE}
Wait {((clicked | @KeyClick[13] | @KeyClick[32]) & (Exists("panel") == FALSE)) == FALSE}
