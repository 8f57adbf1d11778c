<?xml version="1.0"?>
<program>
<compoundstmt pos="1:1">
<assignstmt pos="2:3">
<dsgn pos="2:3">
<node text="x" pos="2:4"/>
</dsgn>
<expr pos="2:8" pos1="2:13">
<dsgn pos="2:8">
<node text="a" pos="2:9"/>
</dsgn>
<op text="+" pos="2:11"/>
<number text="1" pos="2:13"/>
</expr>
</assignstmt>
</compoundstmt>
<types/>
</program>
