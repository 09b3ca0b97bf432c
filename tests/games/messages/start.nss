VarNew "mesExists" flag {FALSE}
VarNew "pages" int {0}
VarNew "typed" str {""}
VarNew "page2" str {""}
VarNew "hist" int {0}
VarNew "wideRows" int {0}
VarNew "read" int {0}
MesNew PR_NAME={"mes"} PR_LEFT={16} PR_TOP={24} PR_WIDTH={288} PR_HEIGHT={44} PR_FONTCOLOR={16777215} PR_TEXTDELAY={64} PR_ANTIALIAS={TRUE} PR_ONPLAYSTART={"start.nsb:playstart"}
Calc {mesExists = Exists("mes")}
FormatHist {"mes"} {"wide"}
TextIns "こんにちは、<B>世界</B>！<BR>日本語の<RUBY VALUE=\"ぶんしょう\">文章</RUBY>を表示します。<BR>三行目は次のページへ。" {"mes"} {TRUE}
Wait {} {400}
Calc {pages = GetProp("mes", 45)}
Calc {typed = GetProp("mes", 50)}
Calc {SetProp("mes", 44, 1)}
Wait {} {250}
Calc {page2 = GetProp("mes", 50)}
TextClr {"mes"}
Calc {hist = @HistoryCount}
Calc {wideRows = GetHistoryCount("wide")}
CallHist {"mes"} {0} {1} {TRUE}
Exit {TRUE}
Label "playstart"
Calc {read = read + 1}
