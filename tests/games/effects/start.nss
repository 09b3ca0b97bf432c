# A fire of 40 x 15 zoomed twice over the lower half of the screen, and a wave over the upper
# half whose red bar is drawn with its rows shifted. The fire's random table comes from the
# game's seeded generator, so every headless run paints the same.
VarNew "power" int {0}
VarNew "firewidth" int {0}
VarNew "amplitude" int {0}
BoxNew PR_NAME={"back"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={80} PR_HEIGHT={60} PR_COLOR={0}
FireNew PR_NAME={"fire"} PR_LEFT={0} PR_TOP={30} PR_ORIGWIDTH={40} PR_ORIGHEIGHT={15} PR_ZOOMX={512} PR_ZOOMY={512} PR_POWER={120}
WaveNew PR_NAME={"wave"} PR_LEFT={0} PR_TOP={0} PR_WIDTH={80} PR_HEIGHT={30} PR_AMP={4} PR_WAVELEN={20} PR_DELAY={1000}
BoxNew PR_NAME={"bar"} PR_PARENT={"wave"} PR_LEFT={20} PR_TOP={2} PR_WIDTH={40} PR_HEIGHT={26} PR_COLOR={255}
Wait {} {300}
Calc {power = GetProp("fire", 89)}
Calc {firewidth = GetProp("fire", 5)}
Calc {amplitude = GetProp("wave", 107)}
Wait {} {}
