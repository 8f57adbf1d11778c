program Demo;
const
  N = 10;
  S = 'it''s';
var
  a, b: Integer = 5;
  arr: array[0..9, 5] of String;
  x: Variant;
procedure P(var X: Integer; const S: String; D: Integer = 5);
var t: Integer;
begin
  t := X + D;
end;
function F(a: Integer): String;
  function Inner: Integer;
  begin
    Result := 1;
  end;
begin
  Result := IntToStr(a) + #13#10'x' + $FF;
end;
begin
  a := -b * (a + 1) div 2 mod 3 shl 1 shr 1 and not a or b xor a;
  x := (a = b) or (a <> b) or (a < b) or (a > b) or (a <= b) or (a >= b);
  x := a in [1, 2..5];
  x := Sender is TObject;
  x := @P;
  x := <Data."Field">;
  x := 1.5E3 / 2;
  arr[1, 2] := 'z';
  Obj.Method(1, 'two')[3].Prop := nil;
  P(a, 'q');
  if a > 1 then b := 1 else b := 2;
  if a > 1 then else b := 3;
  case a of
    1: b := 1;
    2..5, 7: b := 2;
  else
    b := 3;
  end;
  repeat a := a + 1 until a > 10;
  while a > 0 do a := a - 1;
  for a := 1 to 10 do b := b + a;
  for a := 10 downto 1 do ;
  try
    b := 1;
  finally
    b := 2;
  end;
  try b := 1 except b := 2 end;
  with Obj, Obj2 do Prop := 1;
  begin break; continue; exit end;
end.
