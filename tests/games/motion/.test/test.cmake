# The box at frames 10 and 40 of its motion, and after its end.
set(FRAMES 80)
set(SCREENSHOTS 10 40 75)
