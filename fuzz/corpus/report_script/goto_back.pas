begin
  i := 0;
  1: i := i + 1;
  if i < 3 then goto 1
end
