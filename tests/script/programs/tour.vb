Dim i, j, k, n As Integer
Dim s As String
Dim a1[3], a2[2, 3], a3[2, 2, 2] As Integer

Function Fact(N As Integer) As Integer
  If N <= 1 Then
    Return 1
  Else
    Return N * Fact(N - 1)
  End If
End Function

Sub Twice(ByVal X As Integer, ByRef Y As Integer)
  X = X * 2
  Y = X
End Sub

Function Greet(Name As String, Greeting As String = "Hello") As String
  Return Greeting & ", " & Name
End Function

Sub Guarded
  Try
    Print("in try")
    Exit
    Print("not printed")
  Finally
    Print("finally")
  End Try
  Print("not printed either")
End Sub

n = 0
For i = 1 To 5
  n += i
Next
Print(n)
For i = 3 To 1 Step -1
  Print(i)
Next
i = 0
While i < 3
  i = i + 1
  If i = 2 Then Continue
  Print(i)
Wend
Do
  i = i - 1
Loop Until i = 0
Print(i)
For i = 1 To 10
  If i > 2 Then Break
  Print(i * 10)
Next
Select Case n
Case 1..10:
  Print("small")
Case 15, 16:
  Print("fifteen")
Case Else:
  Print("other")
End Select
Guarded
Try
  RaiseException("boom")
  Print("not printed")
Catch
  Print("caught")
End Try
Print(Fact(5))
j = 1
k = 0
Twice(j, k)
Print(j)
Print(k)
Print(Greet("World"))
Print(Greet("you", "Bye"))
a1[2] = 5
a2[1, 2] = 6
a3[1, 1, 1] = 7
Print(a1[2])
Print(a2[1, 2])
Print(a3[1, 1, 1])
s = "hello"
s[1] = "H"
Print(s)
Print(s[5])
Set c = New TComponent(nil)
With c
  Tag = 7
  Name = "Box"
End With
Print(c.Tag)
Print(c.Name)
Delete c
Print(7 / 2)
Print(n > 10)
