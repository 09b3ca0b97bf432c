# The bundled game's sounds (made at build time from games/sounds): the music fades in and
# repeats, then the two button sounds play once each. Call "music.nsb" from a page.
Sound PR_NAME={"bgm"} PR_SOURCE={"sound\\bgm.ogg"} PR_VOLUME={800} PR_REPEAT={TRUE} PR_DELAY={1000}
Wait {} {1200}
Sound PR_NAME={"click"} PR_SOURCE={"sound\\click.wav"} PR_VOLUME={1000} PR_AUTOSCRAP={TRUE}
MediaPlay {"click"}
Wait {} {400}
Sound PR_NAME={"decide"} PR_SOURCE={"sound\\decide.wav"} PR_VOLUME={1000} PR_AUTOSCRAP={TRUE}
MediaPlay {"decide"}
