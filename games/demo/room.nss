# The room, reached through a curtain: its picture drifts slowly (a repeating motion), the
# character walks in (a motion relative to her place), the message box tells the story page
# by page (turn.nsb waits for the clicks), a menu offers choices, the television plays a movie.
# The buttons at the top open the history, the save and load screens, or go back to the title.
Calc {place = "部屋"}
ImgNew PR_NAME={"roombg"} PR_PARENT={back} PR_PRIORITY={-100} PR_SOURCE={"film\\room_loop.nmt"} PR_REPEAT={TRUE}
BoxNew PR_NAME={"window"} PR_PARENT={back} PR_LEFT={16} PR_TOP={328} PR_WIDTH={608} PR_HEIGHT={136} PR_COLOR={3153952} PR_ALPHA={208} PR_BORDERWIDTH={2} PR_BORDERCOLOR={15777984} PR_ONLBTNDOWN={"ui.nsb:clicked"}
MesNew PR_NAME={"mes"} PR_PARENT={"window"} PR_TEXTDELAY={textSpeed} PR_LEFT={16} PR_TOP={12} PR_WIDTH={576} PR_HEIGHT={112} PR_FONTHEIGHT={20} PR_LINESPACE={8} PR_FONTCOLOR={16777215} PR_FONTLINKCOLOR={16760960} PR_FONTHOVERCOLOR={65535} PR_ANTIALIAS={TRUE} PR_ONPLAYEND={"ui.nsb:typed"} PR_ONLINK={"ui.nsb:link"} PR_ONLBTNDOWN={"ui.nsb:clicked"}
Button PR_NAME={"history"} PR_PARENT={back} PR_LEFT={152} PR_TOP={12} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"履歴"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:history"}
Button PR_NAME={"save"} PR_PARENT={back} PR_LEFT={272} PR_TOP={12} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"セーブ"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:save"}
Button PR_NAME={"load"} PR_PARENT={back} PR_LEFT={392} PR_TOP={12} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"ロード"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:load"}
Button PR_NAME={"totitle"} PR_PARENT={back} PR_LEFT={512} PR_TOP={12} PR_SOURCE={"cg\\small.bri"} PR_HOVERSOURCE={"cg\\small_hover.bri"} PR_PRESSEDSOURCE={"cg\\small_pressed.bri"} PR_TEXT={"タイトル"} PR_FONTHEIGHT={16} PR_FONTCOLOR={16777215} PR_ANTIALIAS={TRUE} PR_ONNOTIFY={"ui.nsb:title"}
MovieStop {"bgm"} {600}
Flip {4} {600} {FALSE} {} [] {TRUE}
ImgNew PR_NAME={"chara"} PR_LEFT={480} PR_TOP={170} PR_PRIORITY={-50} PR_SOURCE={"film\\entrance.nmt"}
Sound PR_NAME={"bgm"} PR_SOURCE={"sound\\bgm.mid"} PR_VOLUME={musicVolume * 7 / 8} PR_REPEAT={TRUE} PR_DELAY={800}
TextIns "ここは<RUBY VALUE=\"しんせいそう\">新星荘</RUBY>の二階、小さな部屋。<BR>窓の外では<FONT COLOR=\"#FFB040\">夕焼け</FONT>が、街をゆっくりと赤く染めていく。" {"mes"} {TRUE}
Call "turn.nsb"
TextIns "机の上には、古い<A HREF=\"祖父の形見。今でもよく鳴る。\">ラジオ</A>と小さなテレビ。<BR>（<FONT COLOR=\"#80C0FF\">青い言葉</FONT>はクリックできます）<BR>さて、何をしよう。" {"mes"} {TRUE}
Call "turn.nsb"
Label "choose"
Calc {place = "部屋：どうしよう"}
Menu PR_NAME={"choice"} PR_LEFT={200} PR_TOP={120} PR_TEXT={"テレビをつける\n窓を開ける\nひと休みする"} PR_ROWCOUNT={3} PR_COLOR={3153952} PR_BORDERWIDTH={2} PR_BORDERCOLOR={15777984} PR_HOVERCOLOR={8409120} PR_FONTCOLOR={16777215} PR_FONTHOVERCOLOR={65535} PR_FONTHEIGHT={20} PR_ANTIALIAS={TRUE} PR_MARGINX={16} PR_MARGINY={8} PR_LINESPACE={8} PR_DELAY={150} PR_HANDLEKEY={TRUE} PR_AUTOSCRAP={TRUE}
Wait {Exists("choice")}
If {@SelIndex == 0}
  Calc {place = "部屋：テレビ"}
  TextIns "スイッチを入れると、画面に光が踊りだした。" {"mes"} {TRUE}
  # The room holds still while the television plays (the movie is drawn for the still
  # picture), and drifts on from the loop's start afterwards. The motion leaves its last zoom
  # and hot spot on the picture: they go back to the picture's own.
  Calc {SetProp("roombg", 2, "cg\\room.bri")}
  Calc {SetProp("roombg", 7, 256)}
  Calc {SetProp("roombg", 132, 256)}
  Calc {SetProp("roombg", 13, 0)}
  Calc {SetProp("roombg", 14, 0)}
  Movie PR_NAME={"tv"} PR_LEFT={96} PR_TOP={132} PR_SOURCE={"movie\\tv.mpg"} PR_OVERLAY={FALSE}
  MediaPlay {"tv"}
  Call "turn.nsb"
  Wait {GetProp("tv", 138)}
  ObjDel {"tv"}
  Calc {SetProp("roombg", 2, "film\\room_loop.nmt")}
  Calc {SetProp("roombg", 44, 60)}
  TextIns "番組は終わってしまった。" {"mes"} {TRUE}
  Call "turn.nsb"
  Jump "room.nsb" "choose"
Elseif {@SelIndex == 1}
  Calc {place = "部屋：窓辺"}
  TextIns "窓を開けると、涼しい風が入ってきた。<BR>遠くで<FONT COLOR=\"#80C0FF\">電車</FONT>の音がする。" {"mes"} {TRUE}
  Call "turn.nsb"
  Jump "room.nsb" "choose"
TextIns "少し眠ろう……。<BR><FONT SIZE=\"28\">おやすみなさい。</FONT>" {"mes"} {TRUE}
Call "turn.nsb"
PCReset "title.nsb"
