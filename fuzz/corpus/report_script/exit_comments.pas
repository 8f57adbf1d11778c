begin
  x := 1;   { set first }
  exit;
  x := 2 // never
end
