repeat i := i + 1 until i > 5
