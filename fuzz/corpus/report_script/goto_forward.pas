begin goto 20; x := 1; 20: y := 2 end
