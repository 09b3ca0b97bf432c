set(FRAMES 60)
set(INPUT input.txt)
set(SCREENSHOTS 12 60)
