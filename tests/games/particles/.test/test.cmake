# The pre-roll's snow at once, then both emitters under way.
set(FRAMES 60)
set(SCREENSHOTS 1 30 59)
