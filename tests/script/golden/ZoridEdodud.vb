Dim a, b[10] As Integer = 5, c As decimal
Sub P(ByRef x, ByVal s As String = "d")
  x = x + 1
End Sub
Function F(a As Integer) As Integer
  Return a * 2
End Function
a = -b[1] * (a + 1) / 2 \ 3 Mod 2
c = a & "x" : c = Not a And b Or a Xor b
c = (a = b) Or (a <> b) Or (a < b) Or (a > b) Or (a <= b) Or (a >= b)
c = a In [1, 2..5]
c = AddressOf P
c = <Data."Field">
c = 0x1F + _
  1
Set o = New TObject(1)
Delete o
a += 1 : a -= 1 : a *= 2 : a /= 2
a++ : a--
P(a, "q")
If a > 1 Then b = 1
If a > 1 Then
  b = 1
ElseIf a > 0 Then
  b = 2
Else
  b = 3
End If
Select Case a
Case 1: b = 1
Case 2..5, 7:
  b = 2
Case Else:
  b = 3
End Select
Do
  a = a + 1
Loop Until a > 10
Do
  a = a - 1
Loop While a > 0
While a > 0
  a = a - 1
Wend
For i = 1 To 10 Step 2
  b = b + i
Next
Try
  b = 1
Finally
  b = 2
End Try
Try
  b = 1
Catch
  b = 2
End Try
With o
  Prop = 1
End With
' a comment
rem another
Exit
