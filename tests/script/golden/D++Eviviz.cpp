#define N 10
int a, b[10] = 0, c;
float f = 1.5;
void P(int &x, string s = "d") {
  x = x + 1;
}
int F(int a) {
  return a * 2;
}
{
  a = -b[1] * (a + 1) / 2 % 3 << 1 >> 1;
  a = a div 2;
  c = a && !b || a ^ b;
  c = (a == b) || (a != b) || (a < b) || (a > b) || (a <= b) || (a >= b);
  c = a in [1, 2..5];
  c = &P;
  c = <Data."Field">;
  c = 0x1F + "x\n\x41";
  a += 1; a -= 1; a *= 2; a /= 2;
  a++; a--;
  int d = 5;
  obj = new TObject(1);
  delete obj;
  P(a, "q");
  if (a > 1) b = 1; else { b = 2; }
  switch (a) {
    case 1: b = 1;
    case 2..5, 7: { b = 2; }
    default: b = 3;
  }
  do a++; while (a < 10);
  while (a > 0) a--;
  for (a = 0, c = 1; a < 10; a++, c++) b = b + a;
  for (int i = 0; i < 3; i++) ;
  try { b = 1; } finally { b = 2; }
  try { b = 1; } except { b = 2; }
  ;
  break; continue; exit;
}
