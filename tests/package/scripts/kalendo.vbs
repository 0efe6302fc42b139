' A script client of Marelco.Kalendo: creates the control without a container, reads and writes its text
' and format, steps the date and reads the selection. Prints "all checks passed" and exits with 0 when
' every check holds.
Option Explicit

Dim failures : failures = 0

Sub Check(description, actual, expected)
  If CStr(actual) <> CStr(expected) Then
    WScript.Echo "FAIL " & description & ": got [" & actual & "], expected [" & expected & "]"
    failures = failures + 1
  End If
End Sub

Dim k : Set k = CreateObject("Marelco.Kalendo")

' A new control shows today's date as dd/mm/yyyy; the control read as a value is its Text.
Check "default format", k.Formato, "dd/mm/yyyy"
Check "today", k.Text, Right("0" & Day(Date), 2) & "/" & Right("0" & Month(Date), 2) & "/" & Year(Date)
Check "default member", k, k.Text

k.Text = "31/01/2027"
Check "text", k.Text, "31/01/2027"
Check "default member after a write", k, "31/01/2027"

' The caret in the month: a step forwards lands on the last day of February and selects the month.
k.SelStart = 4
Dim forwards : forwards = True
k.CambiaFecha2 forwards
Check "stepped month", k.Text, "28/02/2027"
Check "selected month start", k.SelStart, 3
Check "selected month length", k.SelLength, 2
Check "increment left as it was", TypeName(forwards) & " " & forwards, "Boolean " & True

' A number as the increment: zero steps backwards and stays the number it was.
Dim backwards : backwards = 0
k.CambiaFecha2 backwards
Check "stepped back", k.Text, "28/01/2027"
Check "number left as it was", TypeName(backwards) & " " & backwards, "Integer 0"

' A value, not a variable; CambiaFecha steps the same way. (The caret stays off position 0: that step
' would first give the text box the focus, which a control without a container cannot take.)
k.SelStart = 1
k.CambiaFecha2 True
Check "stepped day", k.Text, "29/01/2027"
k.SelStart = 1
k.CambiaFecha -1
Check "stepped day by CambiaFecha", k.Text, "30/01/2027"

' The format rewrites the text with the month's name.
k.Formato = "dd/mmm/yyyy"
Check "format", k.Formato, "dd/mmm/yyyy"
Check "reformatted day", Left(k.Text, 3), "30/"
Check "reformatted year", Right(k.Text, 5), "/2027"
Check "reformatted length", Len(k.Text) > 10, True

' Refused values come back as the control's run-time errors.
On Error Resume Next
k.SelStart = -1
Check "invalid property value", Err.Number, 380
Check "error description", Len(Err.Description) > 0, True
Err.Clear
k.hdc = 5
Check "read-only property refused", Err.Number <> 0, True
Err.Clear
k.CambiaFecha2 "not a truth value"
Check "type mismatch", Err.Number <> 0, True
Err.Clear
On Error GoTo 0
Check "text kept after errors", Right(k.Text, 5), "/2027"

If failures = 0 Then WScript.Echo "all checks passed"
WScript.Quit failures
