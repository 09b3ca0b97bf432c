set(FRAMES 70)
set(INPUT input.txt)
set(SCREENSHOTS 6 11 26)
