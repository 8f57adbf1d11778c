int i, j, k, n;
string s;
int a1[3];
int a2[2][3];
int a3[2, 2, 2];
TComponent c;

int Fact(int N) {
  if (N <= 1) return 1; else return N * Fact(N - 1);
}

void Twice(int X, int &Y) {
  X = X * 2;
  Y = X;
}

string Greet(string Name, string Greeting = "Hello") {
  return Greeting + ", " + Name;
}

void Guarded() {
  try {
    Print("in try");
    exit;
    Print("not printed");
  } finally {
    Print("finally");
  }
  Print("not printed either");
}

{
  n = 0;
  for (i = 1; i <= 5; i++) n += i;
  Print(n);
  for (i = 3; i >= 1; i--) Print(i);
  i = 0;
  while (i < 3) {
    i++;
    if (i == 2) continue;
    Print(i);
  }
  do i--; while (i != 0);
  Print(i);
  for (i = 1; i <= 10; i++) {
    if (i > 2) break;
    Print(i * 10);
  }
  switch (n) {
    case 1..10: Print("small");
    case 15, 16: Print("fifteen");
    default: Print("other");
  }
  Guarded();
  try {
    RaiseException("boom");
    Print("not printed");
  } except {
    Print("caught");
  }
  Print(Fact(5));
  j = 1;
  k = 0;
  Twice(j, k);
  Print(j);
  Print(k);
  Print(Greet("World"));
  Print(Greet("you", "Bye"));
  a1[2] = 5;
  a2[1][2] = 6;
  a3[1, 1, 1] = 7;
  Print(a1[2]);
  Print(a2[1, 2]);
  Print(a3[1][1][1]);
  s = "hello";
  s[1] = "H";
  Print(s);
  Print(s[5]);
  c = new TComponent(nil);
  c.Tag = 7;
  c.Name = "Box";
  Print(c.Tag);
  Print(c.Name);
  delete c;
  Print(7 / 2);
  Print(n > 10);
}
