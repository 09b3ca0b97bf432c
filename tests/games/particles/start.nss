# Two particle emitters over the whole screen: snow at random places and intervals, falling
# with a sway (its pre-roll shows a second's worth at once), and a burst from the middle. The
# particles draw from the game's seeded generator, so every headless run paints the same.
VarNew "playing" flag {FALSE}
VarNew "preroll" int {0}
ParticleNew PR_NAME={"snow"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={80} PR_HEIGHT={60} PR_SOURCE={"dot.bri"} PR_PARTMOTION={1} PR_PARAM1={0.5} PR_PARAM2={2} PR_PARAM3={6} PR_INDEX={1000} PR_APPEARX={Random(80)} PR_APPEARY={Random(10)} PR_DELAY={Random(60) + 30}
ParticleNew PR_NAME={"burst"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={80} PR_HEIGHT={60} PR_SOURCE={"dot.bri"} PR_PARTMOTION={2} PR_PARAM1={2} PR_PARAM2={1.05} PR_PARAM3={0.03} PR_APPEARX={40} PR_APPEARY={30} PR_DELAY={40} PR_ALPHA={300}
Wait {} {300}
Calc {playing = GetProp("snow", 138)}
Calc {preroll = GetProp("snow", 44)}
Wait {} {}
