Calc {ticks = ticks + 1}
