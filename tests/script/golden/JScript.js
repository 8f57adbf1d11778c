var a, b[3] = 1, c;
function P(x, &y) {
  y = x + 1;
  return y;
}
a = -b[1] * (a + 1) / 2 % 3 << 1 >> 1
a = a div 2;
c = a && !b || a ^ b;
c = (a == b) || (a != b) || (a < b) || (a > b) || (a <= b) || (a >= b);
c = a in [1, 2..5];
c = &P;
c = <Data."Field">;
c = 0x1F + "x\n";
a += 1; a -= 1; a *= 2; a /= 2;
a++; a--;
o = new TObject(1);
delete o;
P(a, "q");
if (a > 1) b = 1; else { b = 2; }
switch (a) { case 1: b = 1; case 2..5, 7: { b = 2; } default: b = 3; }
do a++; while (a < 10);
while (a > 0) a--;
for (var i = 0, j = 0; i < 3; i++) s += i;
for (i = 0; i < 3; i++) {}
try { b = 1; } finally { b = 2; }
try { b = 1; } except { b = 2; }
with (o) { Prop = 1; }
{ break; continue; }
