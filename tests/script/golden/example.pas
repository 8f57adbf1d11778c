begin
  x := a + 1;
end.
