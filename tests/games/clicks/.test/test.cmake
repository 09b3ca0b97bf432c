set(FRAMES 12)
set(INPUT input.txt)
set(SCREENSHOTS 2 6 12)
