while i < 3 do i := i + 1
