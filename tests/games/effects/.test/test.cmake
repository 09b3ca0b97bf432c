# The fire alight and the wave under way.
set(FRAMES 40)
set(SCREENSHOTS 2 20 39)
