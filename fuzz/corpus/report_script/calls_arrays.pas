begin
  A[i + 1] := ROUND(x * 100) / 100;
  Memo1.Visible := NOT (a = 1);
  ShowBand(Band2)
end
