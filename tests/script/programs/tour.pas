var
  i, j, k, n: Integer;
  s: String;
  a1: array[3] of Integer;
  a2: array[0..1, 0..2] of Integer;
  a3: array[2, 2, 2] of Integer;
  c: TComponent;

function Fact(N: Integer): Integer;
begin
  if N <= 1 then Result := 1 else Result := N * Fact(N - 1);
end;

procedure Twice(X: Integer; var Y: Integer);
begin
  X := X * 2;
  Y := X;
end;

function Greet(Name: String; Greeting: String = 'Hello'): String;
begin
  Result := Greeting + ', ' + Name;
end;

procedure Guarded;
begin
  try
    Print('in try');
    exit;
    Print('not printed');
  finally
    Print('finally');
  end;
  Print('not printed either');
end;

begin
  n := 0;
  for i := 1 to 5 do n := n + i;
  Print(n);
  for i := 3 downto 1 do Print(i);
  i := 0;
  while i < 3 do
  begin
    i := i + 1;
    if i = 2 then continue;
    Print(i);
  end;
  repeat i := i - 1 until i = 0;
  Print(i);
  for i := 1 to 10 do
  begin
    if i > 2 then break;
    Print(i * 10);
  end;
  case n of
    1..10: Print('small');
    15, 16: Print('fifteen');
  else
    Print('other');
  end;
  Guarded;
  try
    RaiseException('boom');
    Print('not printed');
  except
    Print('caught');
  end;
  Print(Fact(5));
  j := 1;
  k := 0;
  Twice(j, k);
  Print(j);
  Print(k);
  Print(Greet('World'));
  Print(Greet('you', 'Bye'));
  a1[2] := 5;
  a2[1, 2] := 6;
  a3[1, 1, 1] := 7;
  Print(a1[2]);
  Print(a2[1, 2]);
  Print(a3[1, 1, 1]);
  s := 'hello';
  s[1] := 'H';
  Print(s);
  Print(s[5]);
  c := TComponent.Create(nil);
  with c do
  begin
    Tag := 7;
    Name := 'Box';
  end;
  Print(c.Tag);
  Print(c.Name);
  c.Free;
  Print(7 / 2);
  Print(n > 10);
end.
