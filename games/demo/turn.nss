# Shows the message box's pages one after another. A click in the message window (or Return
# or Space) while a page is typing shows the rest of it at once; the next click turns the page;
# the click on the last page returns.
Calc {typed = FALSE}
Calc {SetProp("mes", 82, 256)}
WhileInit {}
While {TRUE}
  Call "click.nsb"
  If {typed == FALSE}
    Calc {SetProp("mes", 82, 0)}
    Continue {TRUE}
  Break {GetProp("mes", 44) + 1 >= GetProp("mes", 45)}
  Calc {typed = FALSE}
  Calc {SetProp("mes", 82, 256)}
  Calc {SetProp("mes", 44, GetProp("mes", 44) + 1)}
WhileLoop {}
