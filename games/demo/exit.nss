# Runs when the window closes.
VarNew "goodbye" str {"おつかれさまでした"}
