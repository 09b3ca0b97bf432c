# Runs first after a saved game is loaded; the game then goes on where it was saved.
Sound PR_SOURCE={"sound\\decide.wav"} PR_DELAY={1} PR_VOLUME={soundVolume} PR_AUTOSCRAP={TRUE}
