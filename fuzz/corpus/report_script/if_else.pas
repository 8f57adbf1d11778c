if x > 0 then y := 1 else y := 2
