for i := 1 to 3 do s := s + i
